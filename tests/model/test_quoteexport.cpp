// Quotes written in the native layout: the lines, the round trip through the native open,
// and what the layout cannot keep.

#include "quoteexport.h"

#include "quotedate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace korvala;

namespace {

std::string Written(const TFList &quotes)
{
    std::string text;
    WriteNativeQuotes(quotes, [&text](std::string_view piece) { text += piece; });
    return text;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

TEST(NativeWrite, LinesAndTheRoundTripThroughTheNativeOpen)
{
    TFList quotes;
    TFPoint &p = quotes.AddNew();
    p.DateTime = DaySerial(2020, 1, 2) + TimeOfDay(10, 5);
    p.Open = 1.5;
    p.High = 2;
    p.Low = 0.1;
    p.Close = -1.25;
    p.Volume = 1e21;
    EXPECT_EQ(NativeQuoteLine(p), "02.01.20;10:05;1,5;2;0,1;-1,25;1000000000000000000000");
    EXPECT_EQ(Written(quotes), "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
                               "02.01.20;10:05;1,5;2;0,1;-1,25;1000000000000000000000\r\n");
    p.Close = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(NativeQuoteLine(p), ConvertError);
    EXPECT_TRUE(NativeLayoutLosses(quotes).empty());

    // Random prices of every size and random minutes of 1950–2049 come back bit for bit.
    std::mt19937_64 rng(11);
    TFList many;
    for (int i = 0; i < 5000; ++i) {
        TFPoint &q = many.AddNew();
        const int year = 1950 + static_cast<int>(rng() % 100), month = 1 + static_cast<int>(rng() % 12);
        const int day = 1 + static_cast<int>(rng() % 28), minute = static_cast<int>(rng() % 1440);
        q.DateTime = CombineDateTime(DaySerial(year, month, day), TimeOfDay(minute / 60, minute % 60));
        double *fields[] = {&q.Open, &q.High, &q.Low, &q.Close, &q.Volume};
        for (double *f : fields) {
            const std::uint64_t bits = rng();
            std::memcpy(f, &bits, sizeof *f);
            if (!std::isfinite(*f))
                *f = static_cast<double>(rng() % 100000) / 1000;
        }
    }
    TFList back;
    back.LoadFromStream(Written(many));
    ASSERT_EQ(back.Count(), many.Count());
    for (int i = 0; i < many.Count(); ++i) {
        const TFPoint &a = *many.Items(i), &b = *back.Items(i);
        ASSERT_EQ(a.DateTime, b.DateTime) << i;
        for (auto field : {&TFPoint::Open, &TFPoint::High, &TFPoint::Low, &TFPoint::Close, &TFPoint::Volume})
            ASSERT_TRUE(SameBits(a.*field, b.*field)) << i << " " << NativeQuoteLine(a);
    }
}

TEST(NativeWrite, SaysWhatTheLayoutCannotKeep)
{
    TFList quotes;
    quotes.AddNew().DateTime = DaySerial(2020, 1, 2) + TimeOfDay(10, 0);
    quotes.AddNew().DateTime = DaySerial(2020, 1, 2) + TimeOfDay(10, 0, 30);
    quotes.AddNew().DateTime = DaySerial(2020, 1, 2) + TimeOfDay(10, 1, 0, 500);
    quotes.AddNew().DateTime = DaySerial(1949, 12, 31);
    quotes.AddNew().DateTime = DaySerial(2050, 1, 1);
    const std::vector<std::string> losses = NativeLayoutLosses(quotes);
    ASSERT_EQ(losses.size(), 2u);
    EXPECT_EQ(losses[0], "2 quotes have seconds, which the native layout cannot keep: its times are HH:MM "
                         "(the first: quote 2, 02.01.2020 10:00:30)");
    EXPECT_EQ(losses[1], "2 quotes have a year outside 1950-2049, which the native layout's two-digit years "
                         "read otherwise (the first: quote 4, 31.12.1949 00:00:00)");
    // The seconds are dropped, the minute kept.
    EXPECT_EQ(NativeQuoteLine(*quotes.Items(2)).substr(0, 14), "02.01.20;10:01");
}

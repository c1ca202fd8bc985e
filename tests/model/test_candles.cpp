#include "candles.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

using namespace korvala;

namespace {

using Indexes = std::vector<int>;
using Frames = std::vector<std::pair<int, int>>;

double Date(const char *date, const char *time = "00:00") { return ParseQuoteDateTime(date, time); }

// The range as a walk from the first quote: one dated before start is skipped, the first
// one dated after end stops the walk.
Indexes Walk(const std::vector<double> &dates, double start, double end)
{
    Indexes range;
    for (std::size_t i = 0; i < dates.size(); ++i) {
        if (dates[i] < start)
            continue;
        if (dates[i] > end)
            break;
        range.push_back(static_cast<int>(i));
    }
    return range;
}

// The frames (first index shown, one past the last) of a replay over count quotes.
Frames Replay(int count)
{
    CandleReplay r;
    r.Start();
    Frames frames;
    for (bool last = false; !last && frames.size() < 1000;) {
        last = r.Tick(count);
        frames.push_back(CandleReplay::FrameIndexes(r.FReplayFirst, r.FReplayLast, count));
    }
    return frames;
}

} // namespace

TEST(CandleRange, DailyQuotes222DaysBackAreInclusive)
{
    EXPECT_EQ(kCandlePickerInitial, Date("19.12.05", "15:26"));
    TFList list;
    for (double d = Date("01.01.04"); d <= Date("31.03.05"); d += 1)
        list.AddNew().DateTime = d;
    const double end = Date("31.03.05");
    EXPECT_EQ(CandleRangeStart(end, 222), Date("21.08.04"));
    const Indexes sel = SelectCandles(list, CandleRangeStart(end, 222), end);
    ASSERT_EQ(sel.size(), 223u); // 21.08.2004 … 31.03.2005, both ends included
    EXPECT_EQ(list.Items(sel.front())->DateTime, Date("21.08.04"));
    EXPECT_EQ(sel.back(), list.Count() - 1);
    // One day: the last day and the day before.
    EXPECT_EQ(SelectCandles(list, CandleRangeStart(end, 1), end),
              (Indexes{list.Count() - 2, list.Count() - 1}));
}

// Random lists, now and then a quote far before the range, far after it or inside it out
// of its place; some long enough to be searched in pieces on all cores.
TEST(CandleRange, RandomListsAgreeWithTheWalkFromTheFirstQuote)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int trial = 0; trial < 400 && !HasFailure(); ++trial) {
        const int n = trial % 80 == 0 ? 100000 + static_cast<int>(rng() % 1000) : static_cast<int>(rng() % 60);
        const double start = unit(rng) * n * 0.4, end = start + (unit(rng) - 0.1) * n * 0.1;
        std::vector<double> dates;
        TFList list;
        for (double d = 0; static_cast<int>(dates.size()) < n; d += static_cast<double>(rng() % 4) / 4) {
            const double outlier[] = {-1, 1e9, start + unit(rng) * (end - start)};
            dates.push_back(rng() % 40 ? d : outlier[rng() % 3]);
            list.AddNew().DateTime = dates.back();
        }
        ASSERT_EQ(SelectCandles(list, start, end), Walk(dates, start, end)) << "trial " << trial;
    }
    // Label7: "=" when the dates are exactly that many days apart, also in the time of day.
    const double end = Date("31.03.05", "15:26");
    EXPECT_EQ(CandleRangeSign(CandleRangeStart(end, 222), end, 222), "=");
    EXPECT_EQ(CandleRangeSign(end - 10, end, 222), "<>");
    EXPECT_EQ(CandleRangeSign(Date("21.08.04"), end, 222), "<>");
}

TEST(Replay, FramesOf61QuotesMoveOneQuotePerTickStartBeginsAgain)
{
    EXPECT_EQ(std::vector<long long>(
                  {ReplayIntervalMs(2), ReplayIntervalMs(100), ReplayIntervalMs(2147483647)}),
              std::vector<long long>({200, 10000, 214748364700LL}));
    // 62 quotes: one frame, indexes 2 to 61, and the timer stops.
    EXPECT_EQ(Replay(62), (Frames{{2, 62}}));
    // 100 quotes: frames start at 2, 3, …, 40; the frame at 39 is the last full one
    // (39 … 99); the timer stops with the frame at 40, which shows 60 quotes.
    const Frames frames = Replay(100);
    ASSERT_EQ(frames.size(), 39u);
    for (std::size_t k = 0; k < frames.size(); ++k)
        EXPECT_EQ(frames[k].first, static_cast<int>(k) + 2);
    EXPECT_EQ(frames[0], std::make_pair(2, 63));
    EXPECT_EQ(frames[37], std::make_pair(39, 100));
    EXPECT_EQ(frames[38], std::make_pair(40, 100));
    // An empty list stops at the first tick with nothing to show.
    const Frames none = Replay(0);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].first, none[0].second);

    CandleReplay r;
    r.Start();
    for (int i = 0; i < 5; ++i)
        r.Tick(100);
    r.Start();
    EXPECT_FALSE(r.Tick(100));
    EXPECT_EQ(std::make_pair(r.FReplayFirst, r.FReplayLast), std::make_pair(2, 62));
    EXPECT_EQ(CandleReplay::FrameIndexes(-3, 5, 10), std::make_pair(0, 6));
    EXPECT_EQ(CandleReplay::FrameIndexes(8, 2147483647, 10), std::make_pair(8, 10));
    const auto past = CandleReplay::FrameIndexes(12, 20, 10);
    EXPECT_EQ(past.first, past.second);
}

#include "numtext.h"
#include "uChartFin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace korvala;

namespace {

// Days since 30.12.1899 by the standard library's calendar, plus the time of day.
double Days(int y, unsigned m, unsigned d, int hour = 0, int minute = 0)
{
    using namespace std::chrono;
    const auto days = (sys_days{year{y} / month{m} / day{d}}
                       - sys_days{year{1899} / December / day{30}})
                          .count();
    return static_cast<double>(days) + (hour * 60 + minute) / 1440.0;
}

std::string ReadData(const std::string &name)
{
    std::ifstream in(std::string(KORVALA_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ConvertError &e) {
        return e.what();
    }
    return "<no ConvertError>";
}

// A quote file in memory: a header, then one line per close.
std::string FileOfCloses(const std::vector<std::string> &closes)
{
    std::string text = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    int day = 1;
    for (const auto &c : closes) {
        text += (day < 10 ? "0" : "") + std::to_string(day) + ".01.05;10:00;1;2;1;" + c + ";1\r\n";
        ++day;
    }
    return text;
}

} // namespace

// ---------------------------------------------------------------------------------------
// TFPoint and ParseLine
// ---------------------------------------------------------------------------------------

TEST(TFPoint, NewRecordIsAllZeroEmptyAndFalse)
{
    const TFPoint p;
    for (double v : {p.Close, p.Open, p.Low, p.Volume, p.High, p.XOP, p.COP, p.OP, p.MA3, p.Pivot,
                     p.Retrace681, p.Retrace382, p.DateTime})
        EXPECT_EQ(v, 0.0);
    EXPECT_EQ(p.Direction, 0);
    EXPECT_FALSE(p.PivotEnabled);
    EXPECT_TRUE(p.DateText.empty());
    EXPECT_TRUE(p.PeriodStart.empty());
    EXPECT_TRUE(p.PeriodEnd.empty());
}

TEST(ParseLine, TheExampleLine)
{
    TFPoint p;
    ASSERT_TRUE(p.ParseLine("01.12.05;10:00;1,5;2,5;1;2;100"));
    EXPECT_EQ(p.DateTime, 38687.416666666664);
    EXPECT_DOUBLE_EQ(p.DateTime, Days(2005, 12, 1, 10, 0));
    EXPECT_EQ(p.DateText, "01.12.05 10:00");
    EXPECT_EQ(p.Open, 1.5);
    EXPECT_EQ(p.High, 2.5);
    EXPECT_EQ(p.Low, 1.0);
    EXPECT_EQ(p.Close, 2.0);
    EXPECT_EQ(p.Volume, 100.0);
}

TEST(ParseLine, FieldCount)
{
    TFPoint eight;
    ASSERT_TRUE(eight.ParseLine("01.12.05;10:00;1,5;2,5;1;2;100;x"));
    EXPECT_EQ(eight.Volume, 100.0);
    TFPoint many;
    ASSERT_TRUE(many.ParseLine("01.12.05;10:00;1;2;3;4;5;6;7;8;9;;;"));
    EXPECT_EQ(many.Volume, 5.0);

    // Six fields: rejected, the record unchanged.
    TFPoint six;
    six.Close = 42;
    six.DateText = "keep";
    EXPECT_FALSE(six.ParseLine("01.12.05;10:00;1,5;2,5;1;2"));
    EXPECT_EQ(six.Close, 42.0);
    EXPECT_EQ(six.DateText, "keep");
    EXPECT_EQ(six.DateTime, 0.0);
    EXPECT_FALSE(six.ParseLine(""));
    EXPECT_FALSE(six.ParseLine(";;;;;"));
    EXPECT_EQ(six.DateText, "keep");

    // A trailing separator makes the seventh field: empty, so a bad number.
    TFPoint empty7;
    EXPECT_EQ(ErrorOf([&] { empty7.ParseLine("01.12.05;10:00;1;2;1;2;"); }),
              "'' is not a valid floating point value");
    // Seven separators, the text after the last is an ignored eighth field.
    TFPoint trailing;
    EXPECT_TRUE(trailing.ParseLine("01.12.05;10:00;1;2;1;2;3;"));
    EXPECT_EQ(trailing.Volume, 3.0);
}

TEST(ParseLine, BlanksBelongToTheField)
{
    TFPoint p;
    ASSERT_TRUE(p.ParseLine("01.12.05;10:00; 1,5 ;2,5;1;2; 100"));
    EXPECT_EQ(p.Open, 1.5);
    EXPECT_EQ(p.Volume, 100.0);
    EXPECT_EQ(p.DateText, "01.12.05 10:00");
    TFPoint q;
    ASSERT_TRUE(q.ParseLine("01.12.05;10:00 ;1;2;1;2;1"));
    EXPECT_EQ(q.DateText, "01.12.05 10:00 ");
}

TEST(ParseLine, BadNumbersNameTheTextAndKeepWhatWasAssigned)
{
    TFPoint p;
    EXPECT_EQ(ErrorOf([&] { p.ParseLine("01.12.05;10:00;;2;1;2;100"); }),
              "'' is not a valid floating point value");
    EXPECT_EQ(p.DateText, "01.12.05 10:00"); // assigned before the failing field
    EXPECT_EQ(p.DateTime, Days(2005, 12, 1, 10, 0));

    TFPoint q;
    EXPECT_EQ(ErrorOf([&] { q.ParseLine("01.12.05;10:00;1;2;1;12.5;100"); }),
              "'12.5' is not a valid floating point value");
    EXPECT_EQ(q.Open, 1.0);
    EXPECT_EQ(q.High, 2.0);
    EXPECT_EQ(q.Low, 1.0);
    EXPECT_EQ(q.Close, 0.0);

    for (const char *bad : {"1 000", "inf", "nan", "1e999", "1,5,5", "--1", "1.5"}) {
        TFPoint r;
        const std::string line = std::string("01.12.05;10:00;1;2;1;") + bad + ";1";
        EXPECT_EQ(ErrorOf([&] { r.ParseLine(line); }),
                  std::string("'") + bad + "' is not a valid floating point value");
    }
    TFPoint ok;
    ASSERT_TRUE(ok.ParseLine("01.12.05;10:00;,5;1,;-2;1e3;+0"));
    EXPECT_EQ(ok.Open, 0.5);
    EXPECT_EQ(ok.High, 1.0);
    EXPECT_EQ(ok.Low, -2.0);
    EXPECT_EQ(ok.Close, 1000.0);
    EXPECT_EQ(ok.Volume, 0.0);
}

TEST(ParseLine, NoCheckBetweenPrices)
{
    TFPoint p;
    ASSERT_TRUE(p.ParseLine("01.12.05;10:00;5;1;9;-3;-7"));
    EXPECT_EQ(p.High, 1.0);
    EXPECT_EQ(p.Low, 9.0);
    EXPECT_EQ(p.Close, -3.0);
    EXPECT_EQ(p.Volume, -7.0);
}

TEST(ParseLine, RussianTextComesOutAsUtf8)
{
    TFPoint p;
    // cp1251 "МСК" in the time field: the minute part is not a number, so it counts as 0.
    ASSERT_TRUE(p.ParseLine("01.12.05;10:00 \xCC\xD1\xCA;1;2;1;2;1"));
    EXPECT_EQ(p.DateText, "01.12.05 10:00 МСК");
    EXPECT_DOUBLE_EQ(p.DateTime, Days(2005, 12, 1, 10, 0));

    // A bad number is reported as the user sees it.
    TFPoint q;
    EXPECT_EQ(ErrorOf([&] { q.ParseLine("01.12.05;10:00;1;2;1;\xF1\xF2\xEE;1"); }),
              "'сто' is not a valid floating point value");
    // So is an impossible date.
    TFPoint r;
    const std::string message = ErrorOf([&] { r.ParseLine("01.\xE4\xE5\xEA.05;10:00;1;2;1;2;1"); });
    EXPECT_NE(message.find("01.дек.05"), std::string::npos) << message;
}

// ---------------------------------------------------------------------------------------
// ParseQuoteDateTime
// ---------------------------------------------------------------------------------------

TEST(DateTime, TwoDigitYearsPivotAtFifty)
{
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.49", "00:00"), Days(2049, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.50", "00:00"), Days(1950, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.99", "00:00"), Days(1999, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.00", "00:00"), Days(2000, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.05", "00:00"), Days(2005, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("1.1.5", "0:0"), Days(2005, 1, 1));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.01.2005", "00:00"), Days(3905, 1, 1));
}

TEST(DateTime, IncompleteTextsGiveZeroWithoutError)
{
    EXPECT_EQ(ParseQuoteDateTime("01.12.05", "1000"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01.12.05", ""), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01.12.05", ":00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01.12.05", "10:"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("011205", "10:00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01.1205", "10:00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime(".12.05", "10:00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01..05", "10:00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("01.12.", "10:00"), 0.0);
    EXPECT_EQ(ParseQuoteDateTime("", ""), 0.0);

    TFPoint p;
    ASSERT_TRUE(p.ParseLine("01.12.05;1000;1;2;1;2;1"));
    EXPECT_EQ(p.DateTime, 0.0);
    EXPECT_EQ(p.DateText, "01.12.05 1000");
}

TEST(DateTime, PartsThatAreNotWholeNumbersCountAsZero)
{
    // Seconds make the minute part "30:15": minute 0.
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.12.05", "10:30:15"), Days(2005, 12, 1, 10, 0));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.12.05", "1x:30"), Days(2005, 12, 1, 0, 30));
    // A third dot: the year is "05.7", not a number, so year 0 → 2000.
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("01.12.05.7", "10:00"), Days(2000, 12, 1, 10, 0));
    // Day or month 0 is impossible.
    EXPECT_NE(ErrorOf([] { ParseQuoteDateTime("aa.12.05", "10:00"); }), "<no ConvertError>");
    EXPECT_NE(ErrorOf([] { ParseQuoteDateTime("01.1a.05", "10:00"); }), "<no ConvertError>");
}

TEST(DateTime, ImpossibleDatesAndTimesAreErrorsNamingThem)
{
    const std::string message = ErrorOf([] { ParseQuoteDateTime("31.02.05", "10:00"); });
    EXPECT_NE(message.find("31.02.05"), std::string::npos) << message;
    EXPECT_NE(message.find("10:00"), std::string::npos) << message;

    for (auto [d, t] : std::vector<std::pair<const char *, const char *>>{
             {"00.12.05", "10:00"}, {"32.12.05", "10:00"}, {"01.13.05", "10:00"},
             {"01.00.05", "10:00"}, {"29.02.05", "10:00"}, {"31.04.05", "10:00"},
             {"01.12.05", "24:00"}, {"01.12.05", "10:60"}, {"01.12.05", "-1:00"},
             {"-1.12.05", "10:00"}})
        EXPECT_NE(ErrorOf([&] { ParseQuoteDateTime(d, t); }), "<no ConvertError>") << d << ' ' << t;

    TFPoint p;
    EXPECT_NE(ErrorOf([&] { p.ParseLine("31.02.05;10:00;1;2;1;2;100"); }), "<no ConvertError>");
}

TEST(DateTime, LimitsThatDoExist)
{
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("29.02.04", "00:00"), Days(2004, 2, 29));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("29.02.00", "00:00"), Days(2000, 2, 29));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("31.12.99", "23:59"), Days(1999, 12, 31, 23, 59));
    EXPECT_DOUBLE_EQ(ParseQuoteDateTime("30.04.05", "00:00"), Days(2005, 4, 30));
    // Every minute of a day, spot-checked against the calendar.
    for (int h = 0; h < 24; ++h)
        for (int m = 0; m < 60; m += 7) {
            const std::string t = std::to_string(h) + ":" + std::to_string(m);
            EXPECT_NEAR(ParseQuoteDateTime("15.06.07", t), Days(2007, 6, 15, h, m), 1e-9) << t;
        }
}

// ---------------------------------------------------------------------------------------
// TFList basics
// ---------------------------------------------------------------------------------------

TEST(TFList, StartValues)
{
    TFList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxLow, 0.0);
    EXPECT_EQ(list.MaxClose, 0.0);
    EXPECT_EQ(list.MaxHigh, 0.0);
    EXPECT_EQ(list.MaxOpen, 0.0);
    EXPECT_EQ(list.MinLow, 1e9);
    EXPECT_EQ(list.MinOpen, 1e9);
    EXPECT_EQ(list.MinClose, 1e9);
    EXPECT_EQ(list.MinHigh, 1e9);
    EXPECT_EQ(list.AvgChange, -1.0);
    EXPECT_EQ(list.MaxVolume, 0.0);
    EXPECT_EQ(list.LevelDepth, 0);
}

TEST(TFList, ItemsIsNoneOutsideTheList)
{
    TFList list;
    EXPECT_EQ(list.Items(0), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
    TFPoint &a = list.AddNew();
    EXPECT_EQ(a.Close, 0.0);
    EXPECT_FALSE(a.PivotEnabled);
    a.Close = 1;
    list.AddNew().Close = 2;
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Close, 1.0);
    EXPECT_EQ(list.Items(1)->Close, 2.0);
    EXPECT_EQ(list.Items(2), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
    EXPECT_EQ(list.Items(std::numeric_limits<int>::min()), nullptr);
    EXPECT_EQ(list.Items(std::numeric_limits<int>::max()), nullptr);
    const TFList &constList = list;
    EXPECT_EQ(constList.Items(5), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Items(0), nullptr);
}

TEST(TFList, RecordsStayPutWhileTheListGrows)
{
    TFList list;
    TFPoint *first = &list.AddNew();
    first->Close = 123;
    for (int i = 1; i < 20000; ++i)
        list.AddNew().Close = i;
    EXPECT_EQ(list.Items(0), first);
    EXPECT_EQ(first->Close, 123.0);
    for (int i = 1; i < 20000; i += 997)
        EXPECT_EQ(list.Items(i)->Close, i);
    int visited = 0;
    list.ForEach([&](const TFPoint &p, int i) {
        EXPECT_EQ(p.Close, i == 0 ? 123.0 : i);
        ++visited;
    });
    EXPECT_EQ(visited, 20000);
}

TEST(TFList, SetLevelDepthOnlyStores)
{
    TFList list;
    ASSERT_TRUE(list.LoadFromStream(FileOfCloses({"105", "100", "120", "110", "90", "95"})));
    std::vector<double> before;
    list.ForEach([&](const TFPoint &p, int) { before.push_back(p.Retrace382); });
    list.SetLevelDepth(7);
    EXPECT_EQ(list.LevelDepth, 7);
    std::vector<double> after;
    list.ForEach([&](const TFPoint &p, int) { after.push_back(p.Retrace382); });
    EXPECT_EQ(before, after);
}

TEST(TFList, SharedRecordOutlivesClear)
{
    TFList list;
    for (int i = 0; i < 5000; ++i) {
        TFPoint &p = list.AddNew();
        p.Close = i;
        p.PeriodEnd = "end " + std::to_string(i);
    }
    auto kept = list.Share(4500);
    auto early = list.Share(3);
    ASSERT_TRUE(kept);
    EXPECT_EQ(list.Share(5000), nullptr);
    EXPECT_EQ(list.Share(-1), nullptr);
    list.Clear();
    for (int i = 0; i < 9000; ++i)
        list.AddNew().Close = -1; // new records must not land on the kept ones
    EXPECT_EQ(kept->Close, 4500.0);
    EXPECT_EQ(kept->PeriodEnd, "end 4500");
    EXPECT_EQ(early->Close, 3.0);
}

// ---------------------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------------------

TEST(Load, HeaderIsAlwaysSkippedAndShortLinesToo)
{
    TFList list;
    // The header holds a valid quote: it is still skipped.
    ASSERT_TRUE(list.LoadFromStream("01.12.05;10:00;1;2;1;7;1\n"
                                    "02.12.05;10:00;1;2;1;8;1\n"
                                    "\n"
                                    "a;b;c\n"
                                    "03.12.05;10:00;1;2;1;9;1\n"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Close, 8.0);
    EXPECT_EQ(list.Items(1)->Close, 9.0);
}

TEST(Load, LineEndsCrLfCrAndLfMixed)
{
    TFList list;
    ASSERT_TRUE(list.LoadFromStream(ReadData("mixed_eol.txt")));
    ASSERT_EQ(list.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.Items(i)->Close, i + 1.0);
        EXPECT_EQ(list.Items(i)->Volume, 10.0 * (i + 1));
        EXPECT_EQ(list.Items(i)->DateText, "0" + std::to_string(i + 1) + ".12.05 10:00");
    }
    // The line ends never reach a field.
    EXPECT_EQ(list.MaxVolume, 40.0);

    TFList crOnly;
    ASSERT_TRUE(crOnly.LoadFromStream("h\r01.12.05;10:00;1;2;1;3;5\r02.12.05;10:00;1;2;1;4;6\r"));
    ASSERT_EQ(crOnly.Count(), 2);
    EXPECT_EQ(crOnly.Items(1)->Volume, 6.0);
}

TEST(Load, EmptyAndHeaderOnlyFilesAreNoError)
{
    for (const std::string &bytes : {std::string(), std::string("\r\n"), ReadData("header_only.txt"),
                                     std::string("h\r\n\r\n\r\nx;y\r\n")}) {
        TFList list;
        ASSERT_TRUE(list.LoadFromStream(bytes));
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(list.AvgChange, 0.0);
        EXPECT_EQ(list.MaxClose, 0.0);
        EXPECT_EQ(list.MinClose, 1e9);
        EXPECT_EQ(list.MinLow, 1e9);
        EXPECT_EQ(list.MaxVolume, 0.0);
    }
}

TEST(Load, OneLine)
{
    TFList list;
    ASSERT_TRUE(list.LoadFromStream("h\n01.12.05;10:00;1,5;2,5;1;2;100"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.MaxOpen, 1.5);
    EXPECT_EQ(list.MinOpen, 1.5);
    EXPECT_EQ(list.MaxHigh, 2.5);
    EXPECT_EQ(list.MinHigh, 2.5);
    EXPECT_EQ(list.MaxLow, 1.0);
    EXPECT_EQ(list.MinLow, 1.0);
    EXPECT_EQ(list.MaxClose, 2.0);
    EXPECT_EQ(list.MinClose, 2.0);
    EXPECT_EQ(list.MaxVolume, 100.0);
    EXPECT_EQ(list.AvgChange, 0.0);
    EXPECT_EQ(list.Items(0)->MA3, 2.0);
    EXPECT_EQ(list.Items(0)->Pivot, 0.0);
    EXPECT_FALSE(list.Items(0)->PivotEnabled);
}

TEST(Load, AFaultyLineEndsTheLoadKeepingTheQuotesBeforeIt)
{
    TFList list;
    list.SetLevelDepth(3);
    EXPECT_EQ(ErrorOf([&] { list.LoadFromStream(ReadData("bad_number.txt")); }),
              "'12.5' is not a valid floating point value");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Close, 1.5);
    EXPECT_EQ(list.Items(1)->Close, 1.7);
    EXPECT_EQ(list.Items(2), nullptr);
    // No statistics: the list-wide fields hold their start values.
    EXPECT_EQ(list.MaxClose, 0.0);
    EXPECT_EQ(list.MinClose, 1e9);
    EXPECT_EQ(list.MaxOpen, 0.0);
    EXPECT_EQ(list.MinHigh, 1e9);
    EXPECT_EQ(list.MaxVolume, 0.0);
    EXPECT_EQ(list.AvgChange, -1.0);
    EXPECT_EQ(list.LevelDepth, 3);
    EXPECT_FALSE(list.HasStatistics());

    TFList dates;
    const std::string message = ErrorOf([&] { dates.LoadFromStream(ReadData("bad_date.txt")); });
    EXPECT_NE(message.find("31.02.05"), std::string::npos) << message;
    EXPECT_EQ(dates.Count(), 1);
}

TEST(Load, ASecondLoadReplacesEverything)
{
    TFList list;
    list.SetLevelDepth(2);
    ASSERT_TRUE(list.LoadFromStream(ReadData("pf_example.txt")));
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.MaxClose, 13.0);
    ASSERT_TRUE(list.LoadFromStream(ReadData("small.txt")));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.MaxClose, 6.5);
    EXPECT_EQ(list.MinClose, 5.5);
    EXPECT_EQ(list.MaxHigh, 7.0);
    EXPECT_EQ(list.MinHigh, 6.0);
    EXPECT_EQ(list.MaxLow, 5.0);
    EXPECT_EQ(list.MinLow, 4.0);
    EXPECT_EQ(list.MaxOpen, 5.5);
    EXPECT_EQ(list.MinOpen, 5.0);
    EXPECT_EQ(list.MaxVolume, 20.0);
    EXPECT_EQ(list.AvgChange, 0.5);
    EXPECT_EQ(list.LevelDepth, 2); // kept across loads

    // A load of a file with larger values after a smaller one, too.
    ASSERT_TRUE(list.LoadFromStream(ReadData("pf_example.txt")));
    EXPECT_EQ(list.MinClose, 9.0);
    EXPECT_EQ(list.MinLow, 8.5);

    // Statistics again over the same items gives the same extremes.
    const double maxHigh = list.MaxHigh, minLow = list.MinLow, avg = list.AvgChange;
    list.Statistics();
    EXPECT_EQ(list.MaxHigh, maxHigh);
    EXPECT_EQ(list.MinLow, minLow);
    EXPECT_EQ(list.AvgChange, avg);

    // And a failed load after a good one leaves no value of the good one behind.
    EXPECT_NE(ErrorOf([&] { list.LoadFromStream(ReadData("bad_number.txt")); }), "<no ConvertError>");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.MaxClose, 0.0);
    EXPECT_EQ(list.MinClose, 1e9);
}

TEST(Load, TheBundledExamplesLoad)
{
    for (const char *name : {"daily.txt", "intraday.txt"}) {
        std::ifstream in(std::string(KORVALA_EXAMPLES_DIR) + "/" + name, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        TFList list;
        ASSERT_TRUE(list.LoadFromStream(bytes)) << name;
        EXPECT_GT(list.Count(), 100) << name;
        EXPECT_TRUE(list.HasStatistics());
        EXPECT_GT(list.AvgChange, 0.0);
        EXPECT_GE(list.MaxClose, list.MinClose);
    }
}

// ---------------------------------------------------------------------------------------
// Statistics: the worked examples
// ---------------------------------------------------------------------------------------

namespace {

void Fill(TFList &list, const std::vector<double> &closes)
{
    list.Clear();
    for (double c : closes) {
        TFPoint &p = list.AddNew();
        p.Close = c;
        p.Open = c;
        p.High = c;
        p.Low = c;
    }
}

std::vector<double> Pivots(const TFList &list)
{
    std::vector<double> v;
    list.ForEach([&](const TFPoint &p, int) { v.push_back(p.Pivot); });
    return v;
}

} // namespace

TEST(Statistics, PivotsMa3AndAverageChange)
{
    TFList list;
    Fill(list, {10, 11, 12, 11, 10, 13});
    list.Statistics();
    EXPECT_EQ(Pivots(list), (std::vector<double>{0, 0, 12, 0, 10, 13}));
    const double ma3[] = {10, 11, 11, 34.0 / 3, 11, 34.0 / 3};
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(list.Items(i)->MA3, ma3[i]) << i;
    EXPECT_DOUBLE_EQ(list.AvgChange, 7.0 / 6);
    EXPECT_FALSE(list.Items(0)->PivotEnabled);
    for (int i = 1; i < 6; ++i)
        EXPECT_TRUE(list.Items(i)->PivotEnabled) << i;
}

TEST(Statistics, AnEqualCloseLeavesTheEarlierMarkStanding)
{
    TFList list;
    Fill(list, {1, 2, 2, 3});
    list.Statistics();
    EXPECT_EQ(Pivots(list), (std::vector<double>{0, 2, 0, 3}));
}

TEST(Statistics, ExtremesAreStrictAndStartFromTheSentinels)
{
    TFList negative;
    Fill(negative, {-5, -3, -4});
    negative.Statistics();
    EXPECT_EQ(negative.MaxClose, 0.0); // never above the start value 0
    EXPECT_EQ(negative.MinClose, -5.0);
    EXPECT_EQ(negative.MaxVolume, 0.0);

    TFList huge;
    Fill(huge, {2e9, 3e9});
    huge.Statistics();
    EXPECT_EQ(huge.MinClose, 1e9); // a price at or above 10^9 never becomes a minimum
    EXPECT_EQ(huge.MaxClose, 3e9);
    EXPECT_EQ(huge.MinLow, 1e9);
}

TEST(Statistics, RerunningSetsPivotEnabledBack)
{
    TFList list;
    Fill(list, {1, 3, 2, 4, 1});
    list.Statistics();
    list.ForEach([](TFPoint &p, int) { p.PivotEnabled = false; });
    list.Statistics();
    EXPECT_FALSE(list.Items(0)->PivotEnabled);
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(list.Items(i)->PivotEnabled);
}

TEST(CalcLevels, TheWorkedTriple)
{
    // Pivots 100, 120, 110 on the three newest items.
    TFList list;
    Fill(list, {105, 100, 120, 110});
    list.Statistics();
    ASSERT_EQ(Pivots(list), (std::vector<double>{0, 100, 120, 110}));
    const TFPoint &p = *list.Items(3);
    EXPECT_DOUBLE_EQ(p.Retrace382, 113.82);
    EXPECT_DOUBLE_EQ(p.Retrace681, 116.81);
    EXPECT_DOUBLE_EQ(p.OP, 110);
    EXPECT_DOUBLE_EQ(p.COP, 106.18);
    EXPECT_DOUBLE_EQ(p.XOP, 116.18);
}

TEST(CalcLevels, FourItemsGetLevelsOnTheLastOnlyWhateverTheDepth)
{
    for (int depth : {0, 1, 5, 100}) {
        TFList list;
        Fill(list, {105, 100, 120, 110});
        list.SetLevelDepth(depth);
        list.Statistics();
        for (int i = 0; i < 3; ++i) {
            const TFPoint &p = *list.Items(i);
            EXPECT_EQ(p.Retrace382, 0.0) << depth << ' ' << i;
            EXPECT_EQ(p.OP, 0.0) << depth << ' ' << i;
            EXPECT_EQ(p.XOP, 0.0) << depth << ' ' << i;
        }
        EXPECT_DOUBLE_EQ(list.Items(3)->Retrace382, 113.82) << depth;
    }
}

TEST(CalcLevels, ThreeItemsOrFewerGetNone)
{
    TFList list;
    Fill(list, {1, 5, 2});
    list.SetLevelDepth(4);
    list.Statistics();
    list.ForEach([](const TFPoint &p, int i) {
        EXPECT_EQ(p.Retrace382, 0.0) << i;
        EXPECT_EQ(p.Retrace681, 0.0) << i;
        EXPECT_EQ(p.OP, 0.0) << i;
        EXPECT_EQ(p.COP, 0.0) << i;
        EXPECT_EQ(p.XOP, 0.0) << i;
    });
}

TEST(CalcLevels, ItemsNotChosenKeepTheirLevels)
{
    TFList list;
    Fill(list, {105, 100, 120, 110, 130, 90, 95});
    list.Statistics();
    list.Items(1)->Retrace382 = 777;
    list.Items(2)->OP = 555;
    list.SetLevelDepth(0);
    list.CalcLevels();
    EXPECT_EQ(list.Items(1)->Retrace382, 777.0);
    EXPECT_EQ(list.Items(2)->OP, 555.0);
}

// ---------------------------------------------------------------------------------------
// Statistics and levels against a literal re-implementation
// ---------------------------------------------------------------------------------------

namespace ref {

struct Item
{
    double open = 0, high = 0, low = 0, close = 0, volume = 0;
    double ma3 = 0, pivot = 0;
    bool pivotEnabled = false;
    double r382 = 0, r681 = 0, op = 0, cop = 0, xop = 0;
};

struct List
{
    std::vector<Item> items;
    double maxLow = 0, maxClose = 0, maxHigh = 0, maxOpen = 0;
    double minLow = 1000000000, minOpen = 1000000000, minClose = 1000000000, minHigh = 1000000000;
    double avgChange = -1, maxVolume = 0;
    int levelDepth = 0;
};

bool Qualifies(const List &l, int k) { return l.items[k].pivot != 0 && l.items[k].pivotEnabled; }

int ScanDown(const List &l, int k)
{
    while (k > 2 && !Qualifies(l, k))
        k = k - 1;
    return k;
}

void CalcLevels(List &l)
{
    const int count = static_cast<int>(l.items.size());
    if (count - 1 <= 2)
        return;
    int k1 = count - 1;
    int remaining = l.levelDepth;
    for (;;) {
        k1 = ScanDown(l, k1);
        const int k2 = ScanDown(l, k1 - 1);
        const int k3 = ScanDown(l, k2 - 1);
        const double p1 = l.items[k1].pivot, p2 = l.items[k2].pivot, p3 = l.items[k3].pivot;
        Item &it = l.items[k1];
        it.r382 = p1 - 0.382 * (p1 - p2);
        it.r681 = p1 - 0.681 * (p1 - p2);
        it.op = p3 + (p2 - p1);
        it.cop = p3 + 0.618 * (p2 - p1);
        it.xop = p3 + 1.618 * (p2 - p1);
        k1 = k2 - 1;
        remaining = remaining - 1;
        if (remaining < 0)
            return;
        if (!(k1 > 2))
            return;
    }
}

void Statistics(List &l)
{
    l.maxLow = l.maxClose = l.maxHigh = l.maxOpen = 0;
    l.minLow = l.minOpen = l.minClose = l.minHigh = 1000000000;
    l.maxVolume = 0;
    double sum = 0;
    bool rising = true;
    double e = 0;
    const int count = static_cast<int>(l.items.size());
    for (int i = 0; i < count; ++i) {
        Item &it = l.items[i];
        if (it.open > l.maxOpen) l.maxOpen = it.open;
        if (it.open < l.minOpen) l.minOpen = it.open;
        if (it.high > l.maxHigh) l.maxHigh = it.high;
        if (it.high < l.minHigh) l.minHigh = it.high;
        if (it.low > l.maxLow) l.maxLow = it.low;
        if (it.low < l.minLow) l.minLow = it.low;
        if (it.close > l.maxClose) l.maxClose = it.close;
        if (it.close < l.minClose) l.minClose = it.close;
        if (it.volume > l.maxVolume) l.maxVolume = it.volume;
        if (i >= 1)
            sum += std::fabs(l.items[i - 1].close - it.close);
        if (i >= 2)
            it.ma3 = (l.items[i - 2].close + l.items[i - 1].close + it.close) / 3;
        else
            it.ma3 = it.close;
        if (i == 0) {
            e = it.close;
            continue;
        }
        it.pivotEnabled = true;
        const double c = it.close;
        if ((rising && c > e) || (!rising && c < e)) {
            e = c;
            it.pivot = c;
            l.items[i - 1].pivot = 0;
        } else if ((rising && c < e) || (!rising && c > e)) {
            e = c;
            it.pivot = c;
            rising = !rising;
        } else {
            it.pivot = 0;
        }
    }
    CalcLevels(l);
    l.avgChange = count >= 1 ? sum / count : 0;
}

} // namespace ref

namespace {

void ExpectSame(const ref::List &r, const TFList &m, const std::string &where)
{
    ASSERT_EQ(static_cast<int>(r.items.size()), m.Count()) << where;
    EXPECT_EQ(r.maxOpen, m.MaxOpen) << where;
    EXPECT_EQ(r.minOpen, m.MinOpen) << where;
    EXPECT_EQ(r.maxHigh, m.MaxHigh) << where;
    EXPECT_EQ(r.minHigh, m.MinHigh) << where;
    EXPECT_EQ(r.maxLow, m.MaxLow) << where;
    EXPECT_EQ(r.minLow, m.MinLow) << where;
    EXPECT_EQ(r.maxClose, m.MaxClose) << where;
    EXPECT_EQ(r.minClose, m.MinClose) << where;
    EXPECT_EQ(r.maxVolume, m.MaxVolume) << where;
    EXPECT_EQ(r.avgChange, m.AvgChange) << where;
    for (int i = 0; i < m.Count(); ++i) {
        const ref::Item &a = r.items[static_cast<std::size_t>(i)];
        const TFPoint &b = *m.Items(i);
        ASSERT_EQ(a.ma3, b.MA3) << where << " item " << i;
        ASSERT_EQ(a.pivot, b.Pivot) << where << " item " << i;
        ASSERT_EQ(a.pivotEnabled, b.PivotEnabled) << where << " item " << i;
        ASSERT_EQ(a.r382, b.Retrace382) << where << " item " << i;
        ASSERT_EQ(a.r681, b.Retrace681) << where << " item " << i;
        ASSERT_EQ(a.op, b.OP) << where << " item " << i;
        ASSERT_EQ(a.cop, b.COP) << where << " item " << i;
        ASSERT_EQ(a.xop, b.XOP) << where << " item " << i;
    }
}

} // namespace

TEST(StatisticsDifferential, RandomListsAgreeWithTheLiteralSteps)
{
    std::mt19937 rng(424242);
    for (int trial = 0; trial < 3000; ++trial) {
        const int count = static_cast<int>(rng() % 40);
        ref::List r;
        TFList m;
        const int style = static_cast<int>(rng() % 4);
        for (int i = 0; i < count; ++i) {
            ref::Item it;
            auto price = [&] {
                switch (style) {
                case 0: return static_cast<double>(rng() % 4);               // many equal closes
                case 1: return (static_cast<int>(rng() % 2001) - 1000) / 100.0; // negatives too
                case 2: return 1e9 + (rng() % 5) * 1e8;                      // at the sentinel
                default: return std::ldexp(static_cast<double>(rng()), -static_cast<int>(rng() % 40));
                }
            };
            it.open = price();
            it.high = price();
            it.low = price();
            it.close = price();
            it.volume = static_cast<double>(rng() % 1000) - 100;
            r.items.push_back(it);
            TFPoint &p = m.AddNew();
            p.Open = it.open;
            p.High = it.high;
            p.Low = it.low;
            p.Close = it.close;
            p.Volume = it.volume;
        }
        const int depth = static_cast<int>(rng() % 6) - 1;
        r.levelDepth = depth;
        m.SetLevelDepth(depth);
        ref::Statistics(r);
        m.Statistics();
        ExpectSame(r, m, "trial " + std::to_string(trial));
        if (HasFailure())
            return;

        // The analysis window's use: switch pivots off and on, change the depth, recompute.
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < count; ++i)
                if (rng() % 3 == 0) {
                    const bool on = rng() % 2;
                    r.items[static_cast<std::size_t>(i)].pivotEnabled = on;
                    m.Items(i)->PivotEnabled = on;
                }
            const int d = static_cast<int>(rng() % 8);
            r.levelDepth = d;
            m.SetLevelDepth(d);
            ref::CalcLevels(r);
            m.CalcLevels();
            ExpectSame(r, m, "trial " + std::to_string(trial) + " round " + std::to_string(round));
            if (HasFailure())
                return;
        }
        // Statistics again over the same items.
        ref::Statistics(r);
        m.Statistics();
        ExpectSame(r, m, "rerun " + std::to_string(trial));
        if (HasFailure())
            return;
    }
}

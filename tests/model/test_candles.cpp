#include "candles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

using namespace korvala;

namespace {

double Date(const char *date, const char *time = "00:00") { return ParseQuoteDateTime(date, time); }

// Quotes one per day at 00:00 from first to last inclusive.
void FillDaily(TFList &list, double first, double last)
{
    for (double d = first; d <= last; d += 1) {
        TFPoint &q = list.AddNew();
        q.DateTime = d;
        q.Close = d;
    }
}

void FillDates(TFList &list, std::initializer_list<double> dates)
{
    for (double d : dates)
        list.AddNew().DateTime = d;
}

void FillCount(TFList &list, int n)
{
    for (int i = 0; i < n; ++i)
        list.AddNew().DateTime = 38000 + i;
}

} // namespace

TEST(CandleRange, PickersStartAtTheLayoutDate)
{
    EXPECT_EQ(kCandlePickerInitial, Date("19.12.05", "15:26"));
    EXPECT_EQ(kCandleDaysInitial, 222);
    EXPECT_EQ(kReplaySpeedInitial, 2);
}

TEST(CandleRange, DailyQuotes222DaysBackAreInclusive)
{
    TFList list;
    FillDaily(list, Date("01.01.04"), Date("31.03.05"));
    const double end = list.Items(list.Count() - 1)->DateTime;
    const double start = CandleRangeStart(end, 222);
    EXPECT_EQ(start, Date("21.08.04"));

    const std::vector<int> sel = SelectCandles(list, start, end);
    ASSERT_EQ(sel.size(), 223u); // 21.08.2004 … 31.03.2005, both ends included
    EXPECT_EQ(list.Items(sel.front())->DateTime, Date("21.08.04"));
    EXPECT_EQ(list.Items(sel.back())->DateTime, Date("31.03.05"));
    for (std::size_t k = 1; k < sel.size(); ++k)
        EXPECT_EQ(sel[k], sel[k - 1] + 1);
}

TEST(CandleRange, OneDayShowsTheLastDayAndTheDayBefore)
{
    TFList list;
    FillDaily(list, Date("01.01.05"), Date("31.03.05"));
    const double end = Date("31.03.05");
    const std::vector<int> sel = SelectCandles(list, CandleRangeStart(end, 1), end);
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(list.Items(sel[0])->DateTime, Date("30.03.05"));
    EXPECT_EQ(list.Items(sel[1])->DateTime, Date("31.03.05"));
}

TEST(CandleRange, BoundsCompareTheFullDateTime)
{
    TFList list;
    // Minutes round the start 21.08.04 15:26 and the end 31.03.05 15:26.
    FillDates(list, {Date("21.08.04", "15:25"), Date("21.08.04", "15:26"), Date("22.08.04", "10:00"),
                     Date("31.03.05", "15:26"), Date("31.03.05", "15:27")});
    const double end = Date("31.03.05", "15:26");
    const double start = CandleRangeStart(end, 222);
    EXPECT_EQ(start, Date("21.08.04", "15:26"));
    EXPECT_EQ(SelectCandles(list, start, end), (std::vector<int>{1, 2, 3}));
}

TEST(CandleRange, WalkStopsAtTheFirstQuoteAfterTheEnd)
{
    TFList list;
    FillDates(list, {11, 10, 12, 15, 11.5, 12});
    // 10 is skipped (before the start); 15 ends the walk, so 11.5 and 12 never show.
    EXPECT_EQ(SelectCandles(list, 11, 12), (std::vector<int>{0, 2}));
}

TEST(CandleRange, ZeroNegativeAndEmptyRanges)
{
    TFList list;
    FillDates(list, {9.5, 10, 10, 10.5});
    // 0 days: start = end, only the quotes stamped exactly at the end.
    EXPECT_EQ(SelectCandles(list, CandleRangeStart(10, 0), 10), (std::vector<int>{1, 2}));
    // A negative number of days puts the start after the end: nothing.
    EXPECT_TRUE(SelectCandles(list, CandleRangeStart(10, -1), 10).empty());
    // A range between the quotes.
    EXPECT_TRUE(SelectCandles(list, 10.1, 10.4).empty());
    TFList empty;
    EXPECT_TRUE(SelectCandles(empty, 0, 1e9).empty());
}

TEST(CandleRange, SignComparesTheDifferenceWithTheDays)
{
    const double end = kCandlePickerInitial;
    EXPECT_EQ(CandleRangeSign(CandleRangeStart(end, 222), end, 222), "=");
    // Start set by hand 10 days back while the days say 222.
    EXPECT_EQ(CandleRangeSign(end - 10, end, 222), "<>");
    EXPECT_EQ(CandleRangeSign(end - 10, end, 10), "=");
    // A start at another time of day is not a whole number of days back.
    EXPECT_EQ(CandleRangeSign(Date("21.08.04"), Date("31.03.05", "15:26"), 222), "<>");
}

TEST(Replay, IntervalIsSpeedTimesATenthOfASecond)
{
    EXPECT_EQ(ReplayIntervalMs(2), 200);
    EXPECT_EQ(ReplayIntervalMs(100), 10000);
    EXPECT_EQ(ReplayIntervalMs(0), 0);
    EXPECT_EQ(ReplayIntervalMs(2147483647), 214748364700LL);
}

TEST(Replay, SixtyTwoQuotesGiveOneFrameAndStop)
{
    TCandleReplay r;
    r.Start();
    EXPECT_EQ(r.FReplayFirst, 1);
    EXPECT_EQ(r.FReplayWidth, 60);
    EXPECT_TRUE(r.Tick(62));
    EXPECT_EQ(r.FReplayFirst, 2);
    EXPECT_EQ(r.FReplayLast, 62);
    EXPECT_EQ(TCandleReplay::FrameIndexes(r.FReplayFirst, r.FReplayLast, 62), std::make_pair(2, 62));
}

TEST(Replay, HundredQuotesMoveOneQuotePerTick)
{
    TCandleReplay r;
    r.Start();
    std::vector<std::pair<int, int>> frames;
    bool last = false;
    while (!last) {
        last = r.Tick(100);
        frames.push_back(TCandleReplay::FrameIndexes(r.FReplayFirst, r.FReplayLast, 100));
        ASSERT_LT(frames.size(), 200u);
    }
    ASSERT_EQ(frames.size(), 39u); // frames start at 2, 3, …, 40
    for (std::size_t k = 0; k < frames.size(); ++k)
        EXPECT_EQ(frames[k].first, static_cast<int>(k) + 2);
    EXPECT_EQ(frames[0], std::make_pair(2, 63));     // 61 quotes: 2 … 62
    EXPECT_EQ(frames[37], std::make_pair(39, 100));  // the last full frame, 39 … 99
    EXPECT_EQ(frames[38], std::make_pair(40, 100));  // the timer stops here: 60 quotes
    EXPECT_EQ(r.FReplayLast, 100);
}

TEST(Replay, EmptyListStopsAtTheFirstTickWithNothingToShow)
{
    TCandleReplay r;
    r.Start();
    EXPECT_TRUE(r.Tick(0));
    const auto frame = TCandleReplay::FrameIndexes(r.FReplayFirst, r.FReplayLast, 0);
    EXPECT_EQ(frame.first, frame.second);
}

TEST(Replay, StartBeginsAgainFromTheFirstFrame)
{
    TFList list;
    FillCount(list, 100);
    TCandleReplay r;
    r.Start();
    for (int i = 0; i < 5; ++i)
        r.Tick(list.Count());
    EXPECT_EQ(r.FReplayFirst, 6);
    r.Start();
    EXPECT_FALSE(r.Tick(list.Count()));
    EXPECT_EQ(r.FReplayFirst, 2);
    EXPECT_EQ(r.FReplayLast, 62);
}

TEST(Replay, FrameNeverReachesOutsideTheList)
{
    EXPECT_EQ(TCandleReplay::FrameIndexes(-3, 5, 10), std::make_pair(0, 6));
    EXPECT_EQ(TCandleReplay::FrameIndexes(8, 2147483647, 10), std::make_pair(8, 10));
    const auto past = TCandleReplay::FrameIndexes(12, 20, 10);
    EXPECT_EQ(past.first, past.second);
}

#include "candles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

using namespace korvala;

namespace {

using Indexes = std::vector<int>;
using Frames = std::vector<std::pair<int, int>>;

double Date(const char *date, const char *time = "00:00") { return ParseQuoteDateTime(date, time); }

// The indexes of the candles between start and end of quotes at the given date-times.
Indexes Select(std::initializer_list<double> dates, double start, double end)
{
    TFList list;
    for (double d : dates)
        list.AddNew().DateTime = d;
    return SelectCandles(list, start, end);
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

TEST(CandleRange, BoundsTheWalkAndTheSign)
{
    // The full date-time is compared: minutes round the start 21.08.04 15:26 and the end.
    const double end = Date("31.03.05", "15:26");
    EXPECT_EQ(Select({Date("21.08.04", "15:25"), Date("21.08.04", "15:26"), Date("22.08.04", "10:00"), end,
                      Date("31.03.05", "15:27")},
                     CandleRangeStart(end, 222), end),
              (Indexes{1, 2, 3}));
    // 10 is skipped (before the start); 15 ends the walk, so 11.5 and 12 never show.
    EXPECT_EQ(Select({11, 10, 12, 15, 11.5, 12}, 11, 12), (Indexes{0, 2}));
    // 0 days: only the quotes stamped exactly at the end; a negative number: nothing.
    EXPECT_EQ(Select({9.5, 10, 10, 10.5}, CandleRangeStart(10, 0), 10), (Indexes{1, 2}));
    EXPECT_TRUE(Select({9.5, 10, 10, 10.5}, CandleRangeStart(10, -1), 10).empty());
    EXPECT_TRUE(Select({}, 0, 1e9).empty());
    // Label7: "=" when the dates are exactly that many days apart, also in the time of day.
    EXPECT_EQ(CandleRangeSign(CandleRangeStart(end, 222), end, 222), "=");
    EXPECT_EQ(CandleRangeSign(end - 10, end, 222), "<>");
    EXPECT_EQ(CandleRangeSign(end - 10, end, 10), "=");
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

// A list long enough to be searched in pieces on all cores: the first quote inside the
// range decides where the walk starts, wherever it lies, even far before the others.
TEST(CandleRange, LongListsStartAtTheirFirstQuoteInRange)
{
    TFList list;
    for (int i = 0; i < 100000; ++i)
        list.AddNew().DateTime = i;
    Indexes expected;
    for (int i = 70000; i <= 90000; ++i)
        expected.push_back(i);
    EXPECT_EQ(SelectCandles(list, 70000, 90000), expected);
    EXPECT_TRUE(SelectCandles(list, 200000, 300000).empty());
    EXPECT_EQ(SelectCandles(list, 99999, 1e9), (Indexes{99999}));

    list.Items(5)->DateTime = 80000.5; // in range: the walk starts here
    list.Items(40000)->DateTime = 95000; // after the range: the walk stops here
    EXPECT_EQ(SelectCandles(list, 70000, 90000), (Indexes{5}));
    list.Items(40000)->DateTime = 40000;
    expected.insert(expected.begin(), 5);
    EXPECT_EQ(SelectCandles(list, 70000, 90000), expected);
}

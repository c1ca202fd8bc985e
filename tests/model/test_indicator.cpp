#include "indicator.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace korvala;

namespace {

using Values = std::vector<double>;

IndicatorSeries Calc(const Values &closes, int period, int offset)
{
    TFList list;
    test::SetCloses(list, closes);
    return CalcIndicatorSeries(list, period, offset);
}

// Irregular closes, so that positions cannot mix up.
Values Closes(int n)
{
    Values c;
    for (int i = 0; i < n; ++i)
        c.push_back(100 + (i * 7 % 11) - 0.25 * i);
    return c;
}

} // namespace

TEST(Indicator, WorkedExamplePeriod2Offset1AndPeriodOne)
{
    const IndicatorSeries s = Calc({10, 11, 12, 13}, 2, 1);
    EXPECT_EQ(s.Series1, (Values{10, 11, 12, 13}));
    EXPECT_EQ(s.Series2, (Values{10, 10, 10.5, 11.25, 12.125}));
    // P = 1: the closes repeated S positions later, after the first S raw closes.
    const Values c = Closes(6);
    EXPECT_EQ(Calc(c, 1, 3).Series2, (Values{c[0], c[1], c[2], c[0], c[1], c[2], c[3], c[4], c[5]}));
}

TEST(Indicator, CreationValuesWithTwentyAndWithThreeQuotes)
{
    const Values c = Closes(20);
    const IndicatorSeries s = Calc(c, kIndicatorPeriodInitial, kIndicatorOffsetInitial);
    EXPECT_EQ(s.Series1, c);
    ASSERT_EQ(s.Series2.size(), 25u); // last position 24
    EXPECT_EQ(Values(s.Series2.begin(), s.Series2.begin() + 6), Values(c.begin(), c.begin() + 6));
    double avg = c[0];
    for (int i = 6; i < 25; ++i) {
        avg = avg + (c[i - 5] - avg) / 7; // position i consumes close[i − 5], from close[0]
        EXPECT_DOUBLE_EQ(s.Series2[i], avg) << i;
    }
    const double a1 = 5 + (8 - 5) / 7.0;
    EXPECT_EQ(Calc({5, 8, 6}, 7, 5).Series2, (Values{5, 8, 6, a1, a1 + (6 - a1) / 7.0}));
    EXPECT_TRUE(Calc({}, 7, 5).Series2.empty());
}

TEST(Indicator, PeriodZeroStopsNegativeAndHugeOffsetsAndPeriodsStayInsideTheList)
{
    // Positions 0 … 4 are raw closes; position 5 would divide by zero.
    const Values c = Closes(20);
    // The error carries the series as far as they got.
    const auto stopped = [](const Values &closes, int period, int offset) {
        try {
            Calc(closes, period, offset);
        } catch (const IndicatorError &e) {
            EXPECT_STREQ(e.what(), "Floating point division by zero");
            return e.Partial;
        }
        ADD_FAILURE() << "no error at period " << period;
        return IndicatorSeries{};
    };
    const IndicatorSeries s = stopped(c, 0, 5);
    EXPECT_EQ(s.Series1, Values(c.begin(), c.begin() + 5));
    EXPECT_EQ(s.Series2, s.Series1);
    const IndicatorSeries now = stopped(c, 0, 0);
    EXPECT_TRUE(now.Series1.empty() && now.Series2.empty());

    // A negative offset: steps i = 0 … 2; position i consumes close[i + 2].
    const IndicatorSeries back = Calc({10, 11, 12, 13, 14}, 2, -2);
    EXPECT_EQ(back.Series1, (Values{10, 11, 12}));
    EXPECT_EQ(back.Series2, (Values{10, 11.5, 12.75}));
    EXPECT_TRUE(Calc({10, 11, 12, 13, 14}, 2, -5).Series1.empty());
    EXPECT_TRUE(Calc({10, 11, 12, 13, 14}, 2, INT_MIN).Series2.empty());
    for (int offset : {1000000, INT_MAX}) // the average of close[0], close[1], close[2]
        EXPECT_EQ(Calc({5, 8, 6}, 2, offset).Series2, (Values{5, 8, 6, 5, 6.5, 6.25})) << offset;
    EXPECT_EQ(Calc({5, 8, 6}, INT_MAX, 1).Series2, (Values{5, 8, 6})); // never defined
    EXPECT_EQ(Calc({5, 8, 6}, -1, 0).Series2, (Values{5, 5 - (8 - 5), 2 - (6 - 2)}));
}

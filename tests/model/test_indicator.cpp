#include "indicator.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace korvala;

namespace {

void Fill(TFList &list, const std::vector<double> &closes)
{
    for (double c : closes)
        list.AddNew().Close = c;
}

std::vector<double> Closes(int n)
{
    std::vector<double> c;
    for (int i = 0; i < n; ++i)
        c.push_back(100 + (i * 7 % 11) - 0.25 * i); // irregular, so positions cannot mix up
    return c;
}

} // namespace

TEST(Indicator, WorkedExamplePeriod2Offset1)
{
    TFList list;
    Fill(list, {10, 11, 12, 13});
    const TIndicatorSeries s = CalcIndicatorSeries(list, 2, 1);
    EXPECT_EQ(s.Series1, (std::vector<double>{10, 11, 12, 13}));
    EXPECT_EQ(s.Series2, (std::vector<double>{10, 10, 10.5, 11.25, 12.125}));
    EXPECT_TRUE(s.Error.empty());
}

TEST(Indicator, PeriodOneRepeatsTheClosesOffsetLater)
{
    const std::vector<double> c = Closes(6);
    TFList list;
    Fill(list, c);
    const TIndicatorSeries s = CalcIndicatorSeries(list, 1, 3);
    EXPECT_EQ(s.Series1, c);
    EXPECT_EQ(s.Series2, (std::vector<double>{c[0], c[1], c[2], c[0], c[1], c[2], c[3], c[4], c[5]}));
}

TEST(Indicator, CreationValuesWithTwentyQuotes)
{
    const std::vector<double> c = Closes(20);
    TFList list;
    Fill(list, c);
    const TIndicatorSeries s = CalcIndicatorSeries(list, kIndicatorPeriodInitial, kIndicatorOffsetInitial);
    EXPECT_EQ(s.Series1, c);
    ASSERT_EQ(s.Series2.size(), 25u); // last position 24
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(s.Series2[i], c[i]) << i;
    double avg = c[0] + (c[1] - c[0]) / 7;
    EXPECT_EQ(s.Series2[6], avg);
    for (int i = 7; i < 25; ++i) {
        avg = avg + (c[i - 5] - avg) / 7; // position i consumes close[i − 5]
        EXPECT_DOUBLE_EQ(s.Series2[i], avg) << i;
    }
}

TEST(Indicator, ThreeQuotesWithTheCreationValues)
{
    const std::vector<double> c{5, 8, 6};
    TFList list;
    Fill(list, c);
    const TIndicatorSeries s = CalcIndicatorSeries(list, 7, 5);
    EXPECT_EQ(s.Series1, c);
    const double a1 = 5 + (8 - 5) / 7.0;
    const double a2 = a1 + (6 - a1) / 7.0;
    EXPECT_EQ(s.Series2, (std::vector<double>{5, 8, 6, a1, a2}));
}

TEST(Indicator, EmptyListLeavesBothEmpty)
{
    TFList list;
    const TIndicatorSeries s = CalcIndicatorSeries(list, 7, 5);
    EXPECT_TRUE(s.Series1.empty());
    EXPECT_TRUE(s.Series2.empty());
    EXPECT_TRUE(s.Error.empty());
}

TEST(Indicator, PeriodZeroStopsAtTheFirstSmoothingStep)
{
    const std::vector<double> c = Closes(20);
    TFList list;
    Fill(list, c);
    // Positions 0 … 4 are raw closes; position 5 would divide by zero.
    const TIndicatorSeries s = CalcIndicatorSeries(list, 0, 5);
    EXPECT_EQ(s.Error, "Floating point division by zero");
    EXPECT_EQ(s.Series1, (std::vector<double>{c[0], c[1], c[2], c[3], c[4]}));
    EXPECT_EQ(s.Series2, s.Series1);

    const TIndicatorSeries now = CalcIndicatorSeries(list, 0, 0);
    EXPECT_FALSE(now.Error.empty());
    EXPECT_TRUE(now.Series1.empty());
    EXPECT_TRUE(now.Series2.empty());
}

TEST(Indicator, NegativeOffsetShortensBothAndReadsInsideTheList)
{
    TFList list;
    Fill(list, {10, 11, 12, 13, 14});
    // Steps i = 0 … 2; position i consumes close[i + 2].
    const TIndicatorSeries s = CalcIndicatorSeries(list, 2, -2);
    EXPECT_EQ(s.Series1, (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(s.Series2, (std::vector<double>{10, 11.5, 12.75}));

    const TIndicatorSeries none = CalcIndicatorSeries(list, 2, -5);
    EXPECT_TRUE(none.Series1.empty());
    EXPECT_TRUE(none.Series2.empty());
    EXPECT_TRUE(CalcIndicatorSeries(list, 2, INT_MIN).Series2.empty());
}

TEST(Indicator, LargeOffsetsAndPeriodsStayBounded)
{
    const std::vector<double> c{5, 8, 6};
    TFList list;
    Fill(list, c);
    const double a0 = 5; // consumes close[0]
    const double a1 = a0 + (8 - a0) / 2;
    const double a2 = a1 + (6 - a1) / 2;
    for (int offset : {1000000, INT_MAX}) {
        const TIndicatorSeries s = CalcIndicatorSeries(list, 2, offset);
        EXPECT_EQ(s.Series1, c);
        EXPECT_EQ(s.Series2, (std::vector<double>{5, 8, 6, a0, a1, a2})) << offset;
    }
    // A period longer than the list: the average never becomes defined.
    const TIndicatorSeries longP = CalcIndicatorSeries(list, INT_MAX, 1);
    EXPECT_EQ(longP.Series2, c);
    // A negative period divides by it like any other.
    const TIndicatorSeries negP = CalcIndicatorSeries(list, -1, 0);
    EXPECT_EQ(negP.Series2, (std::vector<double>{5, 5 - (8 - 5), 2 - (6 - 2)}));
}

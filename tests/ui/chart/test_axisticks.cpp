// Axis ticks and texts: date-time conversion, calendar tick steps, index steps and the
// program's number format on the value axis and in value marks.

#include "axisticks.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

using namespace korvala::chart;

namespace {

constexpr double k31Mar2005 = 38442; // days since 30.12.1899, as counted by hand

QStringList Labels(const std::vector<double> &ticks, TickStep step)
{
    QStringList labels;
    for (const double tick : ticks)
        labels << DateTickLabel(tick, step);
    return labels;
}

} // namespace

TEST(DayDates, KnownDaysConvertBothWays)
{
    EXPECT_EQ(DayToDateTime(25569).date(), QDate(1970, 1, 1));
    EXPECT_EQ(DayToDateTime(36526).date(), QDate(2000, 1, 1));
    EXPECT_EQ(DayToDateTime(0).date(), QDate(1899, 12, 30));
    const QDateTime noon = DayToDateTime(k31Mar2005 + 0.5);
    EXPECT_EQ(noon.date(), QDate(2005, 3, 31));
    EXPECT_EQ(noon.time(), QTime(12, 0));
    EXPECT_DOUBLE_EQ(DateTimeToDay(noon), k31Mar2005 + 0.5);
}

TEST(DayDates, TimeOfDayRoundsToTheMillisecondNotBelowIt)
{
    // 10:00 as a fraction is not exact in binary; it must not read as 09:59:59.999.
    EXPECT_EQ(DayToDateTime(k31Mar2005 + 10.0 / 24).time(), QTime(10, 0));
    // A hair before midnight belongs to the next day.
    EXPECT_EQ(DayToDateTime(k31Mar2005 + 1 - 1e-12).date(), QDate(2005, 4, 1));
    EXPECT_FALSE(DayToDateTime(std::nan("")).isValid());
}

TEST(DateTickSteps, FinestStepWithinTheTickCount)
{
    // One day into at most 10 ticks: 2 hours would give 12, 3 hours gives 8.
    const TickStep day = ChooseDateTickStep(1, 10);
    EXPECT_EQ(day.unit, TickUnit::Hour);
    EXPECT_EQ(day.count, 3);
    // A year into 12 ticks: monthly.
    const TickStep year = ChooseDateTickStep(365, 12);
    EXPECT_EQ(year.unit, TickUnit::Month);
    EXPECT_EQ(year.count, 1);
    // Ten minutes into 10 ticks: one a minute.
    EXPECT_EQ(ChooseDateTickStep(10.0 / 1440, 10).unit, TickUnit::Minute);
    // Millennia still find a step.
    const TickStep huge = ChooseDateTickStep(365.25 * 3000, 10);
    EXPECT_EQ(huge.unit, TickUnit::Year);
    EXPECT_GE(huge.count, 300);
}

TEST(DateTicks, IntradayTicksStartAtMidnightAndShowTheDateThere)
{
    const TickStep sixHours{TickUnit::Hour, 6};
    const std::vector<double> ticks = DateTicks(k31Mar2005 + 0.1, k31Mar2005 + 1.0, sixHours);
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_EQ(Labels(ticks, sixHours),
              (QStringList{QStringLiteral("06:00"), QStringLiteral("12:00"),
                           QStringLiteral("18:00"), QStringLiteral("01.04.05")}));
}

TEST(DateTicks, WeeksBeginOnMondayMonthsOnTheFirst)
{
    const TickStep week{TickUnit::Day, 7};
    const std::vector<double> weeks = DateTicks(k31Mar2005, k31Mar2005 + 30, week);
    ASSERT_FALSE(weeks.empty());
    for (const double tick : weeks)
        EXPECT_EQ(DayToDateTime(tick).date().dayOfWeek(), 1) << DateTickLabel(tick, week).toStdString();
    EXPECT_EQ(DateTickLabel(weeks.front(), week), QStringLiteral("04.04.05"));

    const TickStep quarter{TickUnit::Month, 3};
    const std::vector<double> quarters = DateTicks(k31Mar2005, k31Mar2005 + 365, quarter);
    EXPECT_EQ(Labels(quarters, quarter),
              (QStringList{QStringLiteral("04.2005"), QStringLiteral("07.2005"),
                           QStringLiteral("10.2005"), QStringLiteral("01.2006")}));

    const TickStep years{TickUnit::Year, 5};
    EXPECT_EQ(Labels(DateTicks(36526 - 3000, 36526 + 3000, years), years),
              (QStringList{QStringLiteral("1995"), QStringLiteral("2000"),
                           QStringLiteral("2005")}));
}

TEST(DateTicks, DegenerateRangesGiveNoTicks)
{
    EXPECT_TRUE(DateTicks(10, 5, {TickUnit::Day, 1}).empty());
    EXPECT_TRUE(DateTicks(std::nan(""), 5, {TickUnit::Day, 1}).empty());
    EXPECT_TRUE(DateTicks(0, 1e9, {TickUnit::Minute, 1}).size() <= 2000);
}

TEST(IndexTicks, StepsOfOneTwoFiveAndNeverBelowOne)
{
    EXPECT_EQ(IndexTickStep(100, 10), 10);
    EXPECT_EQ(IndexTickStep(101, 10), 20);
    EXPECT_EQ(IndexTickStep(250, 10), 50);
    EXPECT_EQ(IndexTickStep(3, 10), 1);
    EXPECT_EQ(IndexTickStep(1e6, 8), 200'000);
    EXPECT_EQ(IndexTicks(-0.5, 10.5, 5), (std::vector<double>{0, 5, 10}));
    EXPECT_EQ(IndexTicks(-7.5, -1, 5), (std::vector<double>{-5}));
}

TEST(ValueTexts, DecimalsFollowTheTickStep)
{
    EXPECT_EQ(ValueTickLabel(1234.5, 0.5), QStringLiteral("1 234,5"));
    EXPECT_EQ(ValueTickLabel(0.25, 0.25), QStringLiteral("0,25"));
    EXPECT_EQ(ValueTickLabel(1000, 200), QStringLiteral("1 000"));
    EXPECT_EQ(ValueTickLabel(2.5, 2.5), QStringLiteral("2,5"));
    // A tick that should be zero but carries rounding noise reads 0, not -0.
    EXPECT_EQ(ValueTickLabel(-1e-17, 0.1), QStringLiteral("0,0"));
}

TEST(ValueTexts, MarksDropTrailingZeros)
{
    EXPECT_EQ(MarkValueText(12.125), QStringLiteral("12,125"));
    EXPECT_EQ(MarkValueText(10), QStringLiteral("10"));
    EXPECT_EQ(MarkValueText(-0.5), QStringLiteral("-0,5"));
    EXPECT_EQ(MarkValueText(1.23456), QStringLiteral("1,2346"));
    EXPECT_EQ(MarkValueText(1234567.5), QStringLiteral("1 234 567,5"));
    EXPECT_EQ(MarkValueText(-0.00001), QStringLiteral("0"));
}

// Axis ticks and texts: date-time conversion, calendar tick steps, index steps and the
// program's number format on the value axis and in value marks.

#include "axisticks.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

using namespace korvala::chart;

namespace {

constexpr double k31Mar2005 = 38442; // days since 30.12.1899, as counted by hand

std::string Labels(double first, double last, TickStep step)
{
    QStringList labels;
    for (const double tick : DateTicks(first, last, step))
        labels << DateTickLabel(tick, step);
    return labels.join(QLatin1Char(' ')).toStdString();
}

bool Is(TickStep step, TickUnit unit, int count) { return step.unit == unit && step.count == count; }

} // namespace

TEST(DateTicks, DaysConvertToTheMillisecond)
{
    EXPECT_EQ(DayToDateTime(0).date(), QDate(1899, 12, 30));
    const QDateTime noon = DayToDateTime(k31Mar2005 + 0.5);
    EXPECT_EQ(noon, QDateTime(QDate(2005, 3, 31), QTime(12, 0)));
    EXPECT_DOUBLE_EQ(DateTimeToDay(noon), k31Mar2005 + 0.5);
    // 10:00 as a fraction is not exact in binary; it must not read as 09:59:59.999.
    EXPECT_EQ(DayToDateTime(k31Mar2005 + 10.0 / 24).time(), QTime(10, 0));
    EXPECT_EQ(DayToDateTime(k31Mar2005 + 1 - 1e-12).date(), QDate(2005, 4, 1));
    EXPECT_FALSE(DayToDateTime(std::nan("")).isValid());
}

TEST(DateTicks, StepsAndLabels)
{
    // The finest step within the tick count: one day into 10 ticks takes 3 hours (2 would
    // give 12); millennia still find a step.
    EXPECT_TRUE(Is(ChooseDateTickStep(1, 10), TickUnit::Hour, 3));
    EXPECT_EQ(ChooseDateTickStep(365.25 * 3000, 10).unit, TickUnit::Year);
    // Intraday ticks start at midnight and show the date there; weeks begin on Monday,
    // months on the first, years on whole multiples.
    EXPECT_EQ(Labels(k31Mar2005 + 0.1, k31Mar2005 + 1, {TickUnit::Hour, 6}), "06:00 12:00 18:00 01.04.05");
    EXPECT_EQ(Labels(k31Mar2005, k31Mar2005 + 30, {TickUnit::Day, 7}), "04.04.05 11.04.05 18.04.05 25.04.05");
    EXPECT_EQ(Labels(k31Mar2005, k31Mar2005 + 365, {TickUnit::Month, 3}), "04.2005 07.2005 10.2005 01.2006");
    // Degenerate ranges give no ticks, or not too many.
    EXPECT_TRUE(DateTicks(10, 5, {TickUnit::Day, 1}).empty());
    EXPECT_TRUE(DateTicks(NAN, 5, {TickUnit::Day, 1}).empty());
    EXPECT_LE(DateTicks(0, 1e9, {TickUnit::Minute, 1}).size(), 2000u);
    // Index axes: steps of 1, 2 and 5 times a power of ten, never below one.
    EXPECT_EQ(std::vector<long long>({IndexTickStep(101, 10), IndexTickStep(250, 10), IndexTickStep(3, 10)}),
              std::vector<long long>({20, 50, 1}));
    EXPECT_EQ(IndexTicks(-0.5, 10.5, 5), (std::vector<double>{0, 5, 10}));
}

TEST(ValueTexts, TickDecimalsFollowTheStepAndMarksDropTrailingZeros)
{
    const std::pair<QString, const char *> cases[] = {
        {ValueTickLabel(1234.5, 0.5), "1 234,5"}, {ValueTickLabel(0.25, 0.25), "0,25"},
        {ValueTickLabel(1000, 200), "1 000"},     {ValueTickLabel(-1e-17, 0.1), "0,0"}, // noise is no -0
        {MarkValueText(12.125), "12,125"},        {MarkValueText(10), "10"},
        {MarkValueText(-0.5), "-0,5"},            {MarkValueText(1.23456), "1,2346"},
        {MarkValueText(1234567.5), "1 234 567,5"}, {MarkValueText(-0.00001), "0"}};
    for (const auto &[got, want] : cases)
        EXPECT_EQ(got.toStdString(), want);
}

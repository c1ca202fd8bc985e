#pragma once

// Where the chart puts its axis ticks and what they read. Plain functions, no plotting
// library: the axis adapters in tickers.h only pass their results on.

#include <QDateTime>
#include <QString>

#include <vector>

namespace korvala::chart {

// Date-times are days since 30.12.1899 with the time of day as the fraction. The
// conversion is exact to the millisecond and ignores time zones.
QDateTime DayToDateTime(double day);
double DateTimeToDay(const QDateTime &dateTime);

enum class TickUnit { Minute, Hour, Day, Month, Year };

struct TickStep
{
    TickUnit unit = TickUnit::Day;
    int count = 1;
};

// The average length of a step in days (a month is 30.44 days).
double ApproxDays(TickStep step);
// The finest calendar step that puts at most maxTicks ticks into spanDays.
TickStep ChooseDateTickStep(double spanDays, int maxTicks);
// Ticks from first to last inclusive, on calendar boundaries: whole minutes and hours
// counted from midnight, days (weeks begin on Monday), the first of a month, 1 January.
std::vector<double> DateTicks(double first, double last, TickStep step);
// "hh:mm" within a day ("dd.MM.yy" at midnight), "dd.MM.yy" for days, "MM.yyyy" for
// months, "yyyy" for years.
QString DateTickLabel(double day, TickStep step);

// Index axes: the smallest step of 1, 2 or 5 times a power of ten (at least 1) that puts
// at most maxTicks ticks into span, and the multiples of it from first to last.
long long IndexTickStep(double span, int maxTicks);
std::vector<double> IndexTicks(double first, double last, long long step);

// A value tick with just the decimals its step needs, in the program's number format
// ("1 234,5" for a step of 0.5).
QString ValueTickLabel(double value, double step);
// A value mark: up to four decimals, trailing zeros dropped ("12,125", "10", "-0,5").
QString MarkValueText(double value);

} // namespace korvala::chart

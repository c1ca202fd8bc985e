#include "axisticks.h"

#include "numtext.h"

#include <QDate>
#include <QTime>

#include <array>
#include <cmath>

namespace korvala::chart {

namespace {

constexpr double kMinutesPerDay = 1440.0;
constexpr long long kMsPerDay = 86'400'000;
constexpr int kFirstMonday = 2; // 1 January 1900, two days after the zero date
constexpr std::size_t kMaxTicks = 2000;

QDate ZeroDate()
{
    return {1899, 12, 30};
}

double DateToDay(const QDate &date)
{
    return static_cast<double>(ZeroDate().daysTo(date));
}

long long FloorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::vector<double> MinuteTicks(double first, double last, int stepMinutes)
{
    std::vector<double> ticks;
    const double perTick = stepMinutes / kMinutesPerDay;
    const auto from = static_cast<long long>(std::ceil(first / perTick - 1e-9));
    const auto to = static_cast<long long>(std::floor(last / perTick + 1e-9));
    for (long long k = from; k <= to && ticks.size() < kMaxTicks; ++k)
        ticks.push_back(static_cast<double>(k * stepMinutes) / kMinutesPerDay);
    return ticks;
}

std::vector<double> DayTicks(double first, double last, int count)
{
    std::vector<double> ticks;
    const auto from = static_cast<long long>(std::ceil(first - 1e-9));
    const auto to = static_cast<long long>(std::floor(last + 1e-9));
    const long long origin = count % 7 == 0 ? kFirstMonday : 0;
    long long day = from + ((count - (from - origin) % count) % count);
    for (; day <= to && ticks.size() < kMaxTicks; day += count)
        ticks.push_back(static_cast<double>(day));
    return ticks;
}

std::vector<double> MonthTicks(double first, double last, int monthsPerTick)
{
    std::vector<double> ticks;
    const QDate start = DayToDateTime(std::floor(first)).date();
    long long month = FloorDiv(static_cast<long long>(start.year()) * 12 + start.month() - 1,
                               monthsPerTick) * monthsPerTick;
    for (; ticks.size() < kMaxTicks; month += monthsPerTick) {
        const long long year = FloorDiv(month, 12);
        const QDate date(static_cast<int>(year), static_cast<int>(month - year * 12) + 1, 1);
        if (!date.isValid())
            break;
        const double day = DateToDay(date);
        if (day > last + 1e-9)
            break;
        if (day >= first - 1e-9)
            ticks.push_back(day);
    }
    return ticks;
}

} // namespace

QDateTime DayToDateTime(double day)
{
    if (!std::isfinite(day))
        return {};
    double whole = std::floor(day);
    auto ms = static_cast<long long>(std::llround((day - whole) * static_cast<double>(kMsPerDay)));
    if (ms >= kMsPerDay) {
        whole += 1;
        ms -= kMsPerDay;
    }
    const QDate date = ZeroDate().addDays(static_cast<qint64>(whole));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::UTC);
}

double DateTimeToDay(const QDateTime &dateTime)
{
    const double time = dateTime.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
    return DateToDay(dateTime.date()) + time;
}

double ApproxDays(TickStep step)
{
    switch (step.unit) {
    case TickUnit::Minute: return step.count / kMinutesPerDay;
    case TickUnit::Hour: return step.count / 24.0;
    case TickUnit::Day: return step.count;
    case TickUnit::Month: return step.count * 30.44;
    case TickUnit::Year: return step.count * 365.25;
    }
    return step.count;
}

TickStep ChooseDateTickStep(double spanDays, int maxTicks)
{
    static constexpr std::array<TickStep, 22> ladder{{
        {TickUnit::Minute, 1}, {TickUnit::Minute, 2}, {TickUnit::Minute, 5},
        {TickUnit::Minute, 10}, {TickUnit::Minute, 15}, {TickUnit::Minute, 30},
        {TickUnit::Hour, 1}, {TickUnit::Hour, 2}, {TickUnit::Hour, 3}, {TickUnit::Hour, 6},
        {TickUnit::Hour, 12}, {TickUnit::Day, 1}, {TickUnit::Day, 2}, {TickUnit::Day, 7},
        {TickUnit::Day, 14}, {TickUnit::Month, 1}, {TickUnit::Month, 2},
        {TickUnit::Month, 3}, {TickUnit::Month, 6}, {TickUnit::Year, 1},
        {TickUnit::Year, 2}, {TickUnit::Year, 5},
    }};
    const double limit = std::max(1, maxTicks);
    for (const TickStep step : ladder) {
        if (spanDays / ApproxDays(step) <= limit)
            return step;
    }
    for (int power = 10; power < 100'000'000; power *= 10) {
        for (const int mantissa : {1, 2, 5}) {
            const TickStep years{TickUnit::Year, mantissa * power};
            if (spanDays / ApproxDays(years) <= limit)
                return years;
        }
    }
    return {TickUnit::Year, 100'000'000};
}

std::vector<double> DateTicks(double first, double last, TickStep step)
{
    if (!std::isfinite(first) || !std::isfinite(last) || last < first || step.count < 1)
        return {};
    switch (step.unit) {
    case TickUnit::Minute: return MinuteTicks(first, last, step.count);
    case TickUnit::Hour: return MinuteTicks(first, last, step.count * 60);
    case TickUnit::Day: return DayTicks(first, last, step.count);
    case TickUnit::Month: return MonthTicks(first, last, step.count);
    case TickUnit::Year: return MonthTicks(first, last, step.count * 12);
    }
    return {};
}

QString DateTickLabel(double day, TickStep step)
{
    const QDateTime dateTime = DayToDateTime(day);
    switch (step.unit) {
    case TickUnit::Minute:
    case TickUnit::Hour:
        if (dateTime.time().msecsSinceStartOfDay() != 0)
            return dateTime.time().toString(QStringLiteral("hh:mm"));
        return dateTime.date().toString(QStringLiteral("dd.MM.yy"));
    case TickUnit::Day: return dateTime.date().toString(QStringLiteral("dd.MM.yy"));
    case TickUnit::Month: return dateTime.date().toString(QStringLiteral("MM.yyyy"));
    case TickUnit::Year: return dateTime.date().toString(QStringLiteral("yyyy"));
    }
    return {};
}

long long IndexTickStep(double span, int maxTicks)
{
    const double raw = span / std::max(1, maxTicks);
    long long power = 1;
    while (true) {
        for (const long long mantissa : {1LL, 2LL, 5LL}) {
            if (static_cast<double>(mantissa * power) >= raw)
                return mantissa * power;
        }
        if (power > 100'000'000'000'000LL)
            return power * 10;
        power *= 10;
    }
}

std::vector<double> IndexTicks(double first, double last, long long step)
{
    std::vector<double> ticks;
    if (!std::isfinite(first) || !std::isfinite(last) || step < 1)
        return ticks;
    const auto from = static_cast<long long>(std::ceil(first / static_cast<double>(step)));
    const auto to = static_cast<long long>(std::floor(last / static_cast<double>(step)));
    for (long long k = from; k <= to && ticks.size() < kMaxTicks; ++k)
        ticks.push_back(static_cast<double>(k * step));
    return ticks;
}

QString ValueTickLabel(double value, double step)
{
    int decimals = 0;
    if (step > 0 && std::isfinite(step)) {
        while (decimals < 8) {
            const double scaled = step * std::pow(10.0, decimals);
            if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled)
                break;
            ++decimals;
        }
        if (std::abs(value) < step * 1e-6)
            value = 0;
    }
    return QString::fromStdString(FormatN(value, decimals));
}

QString MarkValueText(double value)
{
    std::string text = FormatN(value, 4);
    if (const auto comma = text.find(','); comma != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == ',')
            text.pop_back();
    }
    if (text == "-0")
        return QStringLiteral("0");
    return QString::fromStdString(text);
}

} // namespace korvala::chart

#include "quotedate.h"

#include "codec.h"
#include "numtext.h"

#include <cmath>
#include <cstring>
#include <string>

namespace korvala {

namespace {

// A part of a date or time: a whole number, or 0 when the text is not one.
int DatePart(std::string_view text) { return StrToIntDef(text, 0); }

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The inverse of DaysFromCivil.
void CivilFromDays(long long z, long long &year, int &month, int &day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<long long>(yoe) + era * 400 + (month <= 2);
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);

[[noreturn]] void ThrowBadDateTime(std::string_view date, std::string_view time)
{
    throw ConvertError("'" + ShortText(Cp1251ToUtf8(date), 100) + " " + ShortText(Cp1251ToUtf8(time), 100)
                       + "' is not a valid date and time");
}

} // namespace

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool IsValidDate(long long y, int m, int d)
{
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1
           && d <= DaysInMonth(static_cast<int>(y), m);
}

double DaySerial(int y, int m, int d)
{
    return static_cast<double>(
        DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) - kEpoch);
}

namespace {

double ParseQuoteDateTimeSlow(std::string_view dateText, std::string_view timeText)
{
    const auto dot1 = dateText.find('.');
    if (dot1 == std::string_view::npos)
        return 0;
    const auto dot2 = dateText.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos)
        return 0;
    const auto colon = timeText.find(':');
    if (colon == std::string_view::npos)
        return 0;
    const std::string_view dayText = dateText.substr(0, dot1);
    const std::string_view monthText = dateText.substr(dot1 + 1, dot2 - dot1 - 1);
    const std::string_view yearText = dateText.substr(dot2 + 1);
    const std::string_view hourText = timeText.substr(0, colon);
    const std::string_view minuteText = timeText.substr(colon + 1);
    if (dayText.empty() || monthText.empty() || yearText.empty() || hourText.empty()
        || minuteText.empty())
        return 0;

    const int day = DatePart(dayText);
    const int month = DatePart(monthText);
    const long long yearValue = DatePart(yearText);
    const long long year = yearValue < 50 ? 2000 + yearValue : 1900 + yearValue;
    const int hour = DatePart(hourText);
    const int minute = DatePart(minuteText);

    if (!IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        ThrowBadDateTime(dateText, timeText);

    return CombineDateTime(DaySerial(static_cast<int>(year), month, day), TimeOfDay(hour, minute));
}

int TwoDigits(const char *p)
{
    const unsigned a = static_cast<unsigned>(p[0] - '0');
    const unsigned b = static_cast<unsigned>(p[1] - '0');
    return a < 10 && b < 10 ? static_cast<int>(a * 10 + b) : -1;
}

} // namespace

double ParseQuoteDateTime(std::string_view dateText, std::string_view timeText)
{
    // Fast path for the usual DD.MM.YY and HH:MM; consecutive quotes mostly share a
    // date, so the day number of the last date text is kept.
    if (dateText.size() == 8 && timeText.size() == 5 && dateText[2] == '.' && dateText[5] == '.'
        && timeText[2] == ':') {
        const int hour = TwoDigits(timeText.data());
        const int minute = TwoDigits(timeText.data() + 3);
        thread_local char lastDate[8] = {};
        thread_local double lastDay = -1;
        double day = -1;
        if (lastDay >= 0 && std::memcmp(lastDate, dateText.data(), 8) == 0) {
            day = lastDay;
        } else {
            const int d = TwoDigits(dateText.data());
            const int m = TwoDigits(dateText.data() + 3);
            const int y = TwoDigits(dateText.data() + 6);
            if (d >= 1 && m >= 1 && m <= 12 && y >= 0) {
                const int year = y < 50 ? 2000 + y : 1900 + y;
                if (d <= DaysInMonth(year, m)) {
                    day = DaySerial(year, m, d);
                    std::memcpy(lastDate, dateText.data(), 8);
                    lastDay = day;
                }
            }
        }
        if (day >= 0 && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59)
            return day + (hour * 60 + minute) / 1440.0;
    }
    return ParseQuoteDateTimeSlow(dateText, timeText);
}

CivilDateTime DecodeDateTime(double dateTime)
{
    CivilDateTime c;
    if (!std::isfinite(dateTime))
        return c;
    // Before day 0 the whole days count down and the time of day counts up.
    double whole = std::trunc(dateTime);
    long long ms = std::llround(std::fabs(dateTime - whole) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000; // rounded up to the next midnight
        whole += 1;
    }
    CivilFromDays(static_cast<long long>(whole) + kEpoch, c.year, c.month, c.day);
    c.millisecond = static_cast<int>(ms % 1000);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.minute = static_cast<int>(ms / 60000 % 60);
    c.hour = static_cast<int>(ms / 3600000);
    return c;
}

} // namespace korvala

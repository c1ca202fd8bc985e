#pragma once

// The date rule of quote files: DD.MM.YY and HH:MM texts into a date-time (days since
// 30.12.1899, the fraction the time of day), the calendar arithmetic behind it, and the
// way back from a date-time to a calendar date and a time.

#include <string_view>

namespace korvala {

// Date texts DD.MM.YY and HH:MM into a date-time. An incomplete text gives 0; a part
// that is not a whole number counts as 0; years below 50 are 20xx, others 19xx.
// Throws ConvertError naming the date and time when they do not exist.
double ParseQuoteDateTime(std::string_view dateText, std::string_view timeText);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// A day of the proleptic Gregorian calendar between the years 1 and 9999.
bool IsValidDate(long long year, int month, int day);
// The date-time of midnight of a valid date.
double DaySerial(int year, int month, int day);

// The fraction of a day: (hour * 60 + minute) / 1440 when there are no seconds, so that
// a quote without seconds gets the very double the quote file reader gives it.
inline double TimeOfDay(int hour, int minute, int second = 0, int millisecond = 0)
{
    if (second == 0 && millisecond == 0)
        return (hour * 60 + minute) / 1440.0;
    return ((hour * 60 + minute) * 60 + second + millisecond / 1000.0) / 86400.0;
}

// A day and a time of day as one date-time. Before 30.12.1899 the day counts down while
// the time of day still counts up.
inline double CombineDateTime(double day, double timeOfDay)
{
    return day < 0 ? day - timeOfDay : day + timeOfDay;
}

// The calendar date and the time of a date-time, to the nearest millisecond.
struct CivilDateTime
{
    long long year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
CivilDateTime DecodeDateTime(double dateTime);

} // namespace korvala

#pragma once

// The date rule of quote files: DD.MM.YY and HH:MM texts into a date-time (days since
// 30.12.1899, the fraction the time of day), and the calendar arithmetic behind it.

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

} // namespace korvala

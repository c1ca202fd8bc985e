// Calendar dates: day numbers, the combination with the time of day, the way back.

#include "quotedate.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace korvala;

TEST(QuoteDates, DayNumbersAndTheirInverse)
{
    // Spreadsheet serials: 01.01.1900 is day 2 (the program counts from 30.12.1899 and
    // knows no 29.02.1900), 01.01.2015 day 42005.
    EXPECT_EQ(DaySerial(1899, 12, 30), 0);
    EXPECT_EQ(DaySerial(1900, 1, 1), 2);
    EXPECT_EQ(DaySerial(2015, 1, 1), 42005);
    EXPECT_EQ(DaySerial(1899, 12, 29), -1);
    EXPECT_TRUE(IsValidDate(2020, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_FALSE(IsValidDate(2015, 13, 1));
    EXPECT_FALSE(IsValidDate(0, 1, 1));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));

    // The combination matches the quote file reader's, down to the bit.
    EXPECT_EQ(CombineDateTime(DaySerial(2005, 12, 1), TimeOfDay(10, 0)), ParseQuoteDateTime("01.12.05", "10:00"));
    // Before day 0 the time of day still counts up: the year -101 is 2000 - 101.
    EXPECT_EQ(CombineDateTime(DaySerial(1899, 12, 29), TimeOfDay(12, 0)), ParseQuoteDateTime("29.12.-101", "12:00"));
    EXPECT_EQ(ParseQuoteDateTime("29.12.-101", "12:00"), -1.5);
    EXPECT_EQ(TimeOfDay(0, 0, 30), 30 / 86400.0);
    EXPECT_EQ(TimeOfDay(23, 59, 59, 500), 86399.5 / 86400);

    const struct
    {
        double dateTime;
        CivilDateTime civil;
    } cases[] = {
        {0, {1899, 12, 30, 0, 0, 0, 0}},
        {42005 + 0.5, {2015, 1, 1, 12, 0, 0, 0}},
        {42005 + TimeOfDay(10, 30, 15), {2015, 1, 1, 10, 30, 15, 0}},
        {42005 + TimeOfDay(23, 59, 59, 999), {2015, 1, 1, 23, 59, 59, 999}},
        {42005 + 0.9999999999, {2015, 1, 2, 0, 0, 0, 0}}, // rounds to the next midnight
        {-1 - 0.25, {1899, 12, 29, 6, 0, 0, 0}},
        {-1.9999999999, {1899, 12, 30, 0, 0, 0, 0}}, // day -1 at 24:00 is day 0
    };
    for (const auto &c : cases) {
        const CivilDateTime d = DecodeDateTime(c.dateTime);
        EXPECT_EQ(std::make_tuple(d.year, d.month, d.day, d.hour, d.minute, d.second, d.millisecond),
                  std::make_tuple(c.civil.year, c.civil.month, c.civil.day, c.civil.hour, c.civil.minute,
                                  c.civil.second, c.civil.millisecond))
            << c.dateTime;
    }
}

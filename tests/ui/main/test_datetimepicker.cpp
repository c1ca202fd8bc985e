#include "datetimepicker.h"

#include "quotes.h"

#include <QCalendarWidget>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "qtestapp.h"

using namespace korvala;

TEST(DateTimePicker, DateAndTimeOfADateTime)
{
    const double v = ParseQuoteDateTime("19.12.05", "15:26");
    EXPECT_EQ(DateOfDateTime(v), QDate(2005, 12, 19));
    EXPECT_NEAR(TimeOfDateTime(v), 926.0 / 1440, 1e-9);
    EXPECT_EQ(DateTimeOf(QDate(2005, 12, 19), TimeOfDateTime(v)), v);
    // Before the day zero the days count down, the time still up: 28.12.1899 06:00.
    EXPECT_EQ(DateOfDateTime(-2.25), QDate(1899, 12, 28));
    EXPECT_EQ(TimeOfDateTime(-2.25), 0.25);
    EXPECT_EQ(DateTimeOf(QDate(1899, 12, 28), 0.25), -2.25);
}

TEST(DateTimePicker, ShowsTheDateHoldsTheDateTime)
{
    const double v = ParseQuoteDateTime("19.12.05", "15:26");
    DateTimePicker picker(v);
    EXPECT_EQ(picker.text(), QStringLiteral("19.12.2005"));
    QSignalSpy changed(&picker, &DateTimePicker::Changed);
    picker.SetValue(v - 222); // from code: no change event
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(picker.text(), QStringLiteral("11.05.2005"));
    EXPECT_EQ(picker.Value(), v - 222);
    picker.setDate(QDate(2005, 5, 12)); // the user picks the next day
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(picker.Value(), ParseQuoteDateTime("12.05.05", "15:26"));
    // A value beyond the calendar is kept.
    for (double far : {38442.0 - 2000000, 1e300}) {
        picker.SetValue(far);
        EXPECT_EQ(picker.Value(), far);
    }
}

// The calendar that drops down speaks Russian, as the labels beside it do.
TEST(DateTimePicker, TheCalendarIsRussian)
{
    DateTimePicker picker(ParseQuoteDateTime("15.03.05", "10:00"));
    QCalendarWidget *calendar = picker.calendarWidget();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->locale().language(), QLocale::Russian);
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Monday);
}

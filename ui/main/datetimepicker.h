#pragma once

// The candle tab's date pickers: a date edit with a calendar that holds a full
// date-time value.

#include <QDate>
#include <QDateEdit>

namespace korvala {

// The calendar date of a date-time (days since 30.12.1899, fraction = time of day;
// before that day the count runs down while the time still runs up).
QDate DateOfDateTime(double dateTime);
// The time-of-day fraction of a date-time, 0 ≤ t < 1.
double TimeOfDateTime(double dateTime);
// A date with a time-of-day fraction.
double DateTimeOf(QDate date, double timeOfDay);

// A date picker that holds a full date-time but shows only its date, "dd.MM.yyyy"; its
// calendar is Russian.
// Setting the value from code changes nothing else; when the user picks another date
// the time of day is kept and Changed() is emitted.
class DateTimePicker final : public QDateEdit
{
    Q_OBJECT

public:
    DateTimePicker(double value, QWidget *parent = nullptr);

    double Value() const { return m_value; }
    void SetValue(double value);

signals:
    void Changed();

private:
    void DateEdited(QDate date);

    double m_value;
};

} // namespace korvala

#include "datetimepicker.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace korvala {

namespace {

const QDate kDayZero(1899, 12, 30);
// Far beyond any date the edit can show, well inside a 64-bit day count.
constexpr double kDayLimit = 1e8;

} // namespace

QDate DateOfDateTime(double dateTime)
{
    const double days = std::isnan(dateTime) ? 0 : std::clamp(std::trunc(dateTime), -kDayLimit, kDayLimit);
    return kDayZero.addDays(static_cast<qint64>(days));
}

double TimeOfDateTime(double dateTime)
{
    return std::fabs(dateTime - std::trunc(dateTime));
}

double DateTimeOf(QDate date, double timeOfDay)
{
    const auto days = static_cast<double>(kDayZero.daysTo(date));
    return days < 0 ? days - timeOfDay : days + timeOfDay;
}

DateTimePicker::DateTimePicker(double value, QWidget *parent)
    : QDateEdit(parent), m_value(value)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    // The calendar speaks the language of the window: Russian month and day names, weeks
    // from Monday.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    setLocale(russian);
    calendarWidget()->setLocale(russian);
    calendarWidget()->setFirstDayOfWeek(russian.firstDayOfWeek());
    setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    SetValue(value);
    connect(this, &QDateEdit::dateChanged, this, &DateTimePicker::DateEdited);
}

// A date beyond what the edit can show is kept as the value; the edit shows its nearest
// date.
void DateTimePicker::SetValue(double value)
{
    m_value = value;
    const QSignalBlocker block(this);
    setDate(DateOfDateTime(value));
    update();
}

void DateTimePicker::DateEdited(QDate date)
{
    m_value = DateTimeOf(date, TimeOfDateTime(m_value));
    emit Changed();
}

} // namespace korvala

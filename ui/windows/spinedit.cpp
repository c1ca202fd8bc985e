#include "spinedit.h"

#include "numtext.h"

#include <QLineEdit>

#include <algorithm>

namespace korvala {

int SpinTextValue(const QString &text) { return StrToIntDef(text.toStdString(), 1); }

SpinEdit::SpinEdit(int minValue, int maxValue, int value, QWidget *parent)
    : QAbstractSpinBox(parent), m_min(minValue), m_max(maxValue), m_settled(value)
{
    lineEdit()->setText(QString::number(value));
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::Changed);
    connect(this, &QAbstractSpinBox::editingFinished, this, &SpinEdit::Settle);
}

int SpinEdit::Value() const { return SpinTextValue(lineEdit()->text()); }

void SpinEdit::SetValue(int value)
{
    m_settled = value;
    SetText(QString::number(value));
}

void SpinEdit::Settle()
{
    const std::optional<int> value = SpinEditSettledValue(Text().toStdString(), m_min, m_max);
    SetValue(value.value_or(m_settled));
}

QString SpinEdit::Text() const { return lineEdit()->text(); }

void SpinEdit::SetText(const QString &text) { lineEdit()->setText(text); }

void SpinEdit::stepBy(int steps)
{
    const long long next = static_cast<long long>(Value()) + steps;
    SetValue(static_cast<int>(std::clamp<long long>(next, m_min, m_max)));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    const int v = Value();
    StepEnabled e = StepNone;
    if (v < m_max)
        e |= StepUpEnabled;
    if (v > m_min)
        e |= StepDownEnabled;
    return e;
}

// Digits and signs only, as in the numeric edits of the program; "-" or "1-2" may be
// typed and then count as 1.
QValidator::State SpinEdit::validate(QString &input, int &) const
{
    for (const QChar c : input)
        if ((c < u'0' || c > u'9') && c != u'-' && c != u'+')
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

QSize SpinEdit::sizeHint() const
{
    const QSize base = QAbstractSpinBox::sizeHint();
    const int digits = fontMetrics().horizontalAdvance(QString::number(m_max)) + 24;
    return {std::max(base.width(), digits), base.height()};
}

} // namespace korvala

namespace korvala {

SettlingSpinBox::SettlingSpinBox(QWidget *parent) : QSpinBox(parent) {}

void SettlingSpinBox::fixup(QString &input) const
{
    const std::optional<int> settled = SpinEditSettledValue(input.toStdString(), minimum(), maximum());
    input = textFromValue(settled.value_or(value()));
}

} // namespace korvala

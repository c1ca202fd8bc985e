#pragma once

// The spin edit of the program's windows (days, speed, period and offset spins).

#include <QAbstractSpinBox>
#include <QSpinBox>
#include <QString>

namespace korvala {

// A spin edit whose value is the whole number in its text. The arrows keep the value
// within the range; while the user types, a number outside it is used unchanged and a
// text that is not a whole number counts as 1. Leaving the field (or Enter) settles the
// text on the value in use from then on: a number outside the range becomes the nearest
// bound, a text that is not a number goes back to the last settled value. Changed() is
// emitted at every change of the text, typed or set.
class SpinEdit final : public QAbstractSpinBox
{
    Q_OBJECT

public:
    SpinEdit(int minValue, int maxValue, int value, QWidget *parent = nullptr);

    int Value() const;
    void SetValue(int value);
    QString Text() const;
    void SetText(const QString &text);
    int MinValue() const { return m_min; }
    int MaxValue() const { return m_max; }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    QSize sizeHint() const override;

signals:
    void Changed();

protected:
    StepEnabled stepEnabled() const override;

private:
    void Settle();

    int m_min;
    int m_max;
    int m_settled;
};

// A QSpinBox that settles its text in the same way when the user leaves it: a number
// outside the range (a typed 0) becomes the nearest bound and is shown, any other text
// (an empty one) goes back to the value in force.
class SettlingSpinBox final : public QSpinBox
{
    Q_OBJECT

public:
    explicit SettlingSpinBox(QWidget *parent = nullptr);

protected:
    void fixup(QString &input) const override;
};

// The value of a spin edit's text: the whole number in it, else 1.
int SpinTextValue(const QString &text);

} // namespace korvala

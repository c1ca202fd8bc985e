#pragma once

// The spin edit of the program's windows (days, speed, period and offset spins).

#include <QAbstractSpinBox>
#include <QString>

namespace korvala {

// A spin edit whose value is the whole number in its text. The arrows keep the value
// within the range; a typed number outside it is used unchanged, and a text that is not
// a whole number counts as 1. Changed() is emitted at every change of the text, typed
// or set.
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
    int m_min;
    int m_max;
};

// The value of a spin edit's text: the whole number in it, else 1.
int SpinTextValue(const QString &text);

} // namespace korvala

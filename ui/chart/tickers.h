#pragma once

// Axis tickers of the chart: thin adapters that hand the plotting library the ticks and
// texts of axisticks.h.

#include "axisticks.h"

#include <qcustomplot.h>

#include <functional>

namespace korvala::chart {

// Date-time axis over days since 30.12.1899.
class DateTicker final : public QCPAxisTicker
{
public:
    void generate(const QCPRange &range, const QLocale &locale, QChar formatChar, int precision,
                  QVector<double> &ticks, QVector<double> *subTicks,
                  QVector<QString> *tickLabels) override;
};

// Index axis: whole-number steps; with a label source, the labels of the points instead
// of their numbers (asked only for the ticks in view).
class IndexTicker final : public QCPAxisTicker
{
public:
    using Labels = std::function<QString(long long index)>;
    void SetLabels(Labels labels, long long count);
    bool HasLabels() const { return static_cast<bool>(m_labels); }
    QString LabelAt(long long index) const;

    void generate(const QCPRange &range, const QLocale &locale, QChar formatChar, int precision,
                  QVector<double> &ticks, QVector<double> *subTicks,
                  QVector<QString> *tickLabels) override;

private:
    Labels m_labels;
    long long m_count = 0;
};

// Value axis: the library's tick steps, the program's number format.
class ValueTicker final : public QCPAxisTicker
{
public:
    void generate(const QCPRange &range, const QLocale &locale, QChar formatChar, int precision,
                  QVector<double> &ticks, QVector<double> *subTicks,
                  QVector<QString> *tickLabels) override;
};

} // namespace korvala::chart

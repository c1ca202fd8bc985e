#include "tickers.h"

#include "numtext.h"

namespace korvala::chart {

void DateTicker::generate(const QCPRange &range, const QLocale &, QChar, int,
                          QVector<double> &ticks, QVector<double> *subTicks,
                          QVector<QString> *tickLabels)
{
    const TickStep step = ChooseDateTickStep(range.size(), tickCount());
    const std::vector<double> days = DateTicks(range.lower, range.upper, step);
    ticks = QVector<double>(days.begin(), days.end());
    if (subTicks)
        subTicks->clear();
    if (tickLabels) {
        tickLabels->clear();
        tickLabels->reserve(ticks.size());
        for (const double day : days)
            tickLabels->append(DateTickLabel(day, step));
    }
}

void IndexTicker::SetLabels(Labels labels, long long count)
{
    m_labels = std::move(labels);
    m_count = count;
}

QString IndexTicker::LabelAt(long long index) const
{
    if (!m_labels || index < 0 || index >= m_count)
        return {};
    return m_labels(index);
}

void IndexTicker::generate(const QCPRange &range, const QLocale &, QChar, int,
                           QVector<double> &ticks, QVector<double> *subTicks,
                           QVector<QString> *tickLabels)
{
    const long long step = IndexTickStep(range.size(), tickCount());
    const std::vector<double> indexes = IndexTicks(range.lower, range.upper, step);
    ticks = QVector<double>(indexes.begin(), indexes.end());
    if (subTicks)
        subTicks->clear();
    if (tickLabels) {
        tickLabels->clear();
        tickLabels->reserve(ticks.size());
        for (const double index : indexes) {
            const auto i = static_cast<long long>(index);
            tickLabels->append(m_labels ? LabelAt(i) : QString::fromStdString(FormatN(index, 0)));
        }
    }
}

void ValueTicker::generate(const QCPRange &range, const QLocale &locale, QChar formatChar,
                           int precision, QVector<double> &ticks, QVector<double> *subTicks,
                           QVector<QString> *tickLabels)
{
    QCPAxisTicker::generate(range, locale, formatChar, precision, ticks, subTicks, nullptr);
    if (!tickLabels)
        return;
    tickLabels->clear();
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : range.size();
    for (const double tick : ticks)
        tickLabels->append(ValueTickLabel(tick, step));
}

} // namespace korvala::chart

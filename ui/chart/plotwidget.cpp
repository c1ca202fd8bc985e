#include "plotwidget.h"

namespace korvala::chart {

PlotWidget::PlotWidget(QWidget *parent)
    : QCustomPlot(parent)
{
}

void PlotWidget::SetLayoutHooks(std::function<bool()> before, std::function<bool()> after)
{
    m_before = std::move(before);
    m_after = std::move(after);
}

void PlotWidget::updateLayout()
{
    if (m_before)
        m_before();
    QCustomPlot::updateLayout();
    // The tickers were chosen for the size of the previous layout: a plot that has just
    // grown (a tab shown for the first time) wants more ticks. Fitting may widen the
    // tick labels, which narrows the plot, which moves the fit: a few passes settle it.
    for (int pass = 0; pass < 3; ++pass) {
        const bool tickers = m_before && m_before();
        const bool ranges = m_after && m_after();
        if (!tickers && !ranges)
            break;
        QCustomPlot::updateLayout();
    }
    if (m_laidOut)
        m_laidOut();
}

void PlotWidget::Relayout()
{
    Relayout(size());
}

void PlotWidget::Relayout(QSize size)
{
    setViewport(QRect(QPoint(0, 0), size));
    updateLayout();
}

} // namespace korvala::chart

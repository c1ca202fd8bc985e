#include "plotwidget.h"

namespace korvala::chart {

PlotWidget::PlotWidget(QWidget *parent)
    : QCustomPlot(parent)
{
}

void PlotWidget::SetLayoutHooks(std::function<void()> before, std::function<bool()> after)
{
    m_before = std::move(before);
    m_after = std::move(after);
}

void PlotWidget::updateLayout()
{
    if (m_before)
        m_before();
    QCustomPlot::updateLayout();
    // Fitting may widen the tick labels, which narrows the plot, which moves the fit:
    // a few passes settle it.
    for (int pass = 0; pass < 3 && m_after && m_after(); ++pass)
        QCustomPlot::updateLayout();
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

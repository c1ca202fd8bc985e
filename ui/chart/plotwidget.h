#pragma once

// The plotting library's widget with one addition: the chart gets a word in each layout
// pass of a replot, before it (to choose the tickers and their density for the plot's
// size) and after it (to fit the ranges to the plot's new size).

#include <qcustomplot.h>

#include <functional>

namespace korvala::chart {

class PlotWidget final : public QCustomPlot
{
public:
    explicit PlotWidget(QWidget *parent);

    // before returns true when it changed the tickers; after when it changed a range.
    // Either calls for another layout pass (the tick labels may have changed width).
    void SetLayoutHooks(std::function<bool()> before, std::function<bool()> after);
    // Called once the layout is settled, before anything is drawn.
    void SetLaidOutHook(std::function<void()> laidOut) { m_laidOut = std::move(laidOut); }
    // A layout pass without drawing, for the current size or for a picture of size.
    void Relayout();
    void Relayout(QSize size);

protected:
    void updateLayout() override;

private:
    std::function<bool()> m_before;
    std::function<bool()> m_after;
    std::function<void()> m_laidOut;
};

} // namespace korvala::chart

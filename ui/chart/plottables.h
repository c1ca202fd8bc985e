#pragma once

// The chart's two kinds of series as plottables of the plotting library.

#include "candle.h"
#include "chartgeometry.h"

#include <qcustomplot.h>

#include <QColor>
#include <QString>

#include <functional>
#include <vector>

namespace korvala::chart {

// Candlesticks 4 pixels wide: a white body when the close is above the open (or equal to
// it), red when below, black outline and wick. Candles closer together than the width
// of a candle and a gap are merged bin by bin, so a zoomed-out view stays readable and
// draws in time proportional to its width, not to the number of candles.
class CandlePlottable final : public QCPFinancial
{
public:
    CandlePlottable(QCPAxis *keyAxis, QCPAxis *valueAxis);

    void SetIndexPlaced(bool indexPlaced) { m_indexPlaced = indexPlaced; }
    // Lowest and highest price of the candles whose x lies within keys; false when none.
    bool ValueSpan(const QCPRange &keys, double &lo, double &hi) const;

    static QColor RisingColor() { return Qt::white; }
    static QColor FallingColor() { return Qt::red; }
    static QColor OutlineColor() { return Qt::black; }

protected:
    void draw(QCPPainter *painter) override;

private:
    std::vector<Candle> CandlesInView() const;
    void DrawCandle(QCPPainter *painter, const Candle &candle) const;

    bool m_indexPlaced = true;
};

// A line through y values at indexes 0, 1, 2 …, with value marks: a text above a peak or
// below a trough of the points in view, joined to its point by a short arrow. The chart
// places the marks of all its lines together (PlaceMarks: inside the plot, off every line,
// apart from each other). The texts are asked for only for points in view: the two ends
// (to size the labels) and the points that may get a mark.
class LinePlottable final : public QCPGraph
{
public:
    using MarkText = std::function<QString(int index, double value)>;
    static constexpr int kArrowLength = 8;

    LinePlottable(QCPAxis *keyAxis, QCPAxis *valueAxis);

    void SetMarksVisible(bool visible) { m_marksVisible = visible; }
    bool MarksVisible() const { return m_marksVisible; }
    void SetArrowColor(const QColor &color) { m_arrowColor = color; }
    void SetMarkText(MarkText text) { m_markText = std::move(text); }
    // Pixels a mark needs above (or below) its point.
    int MarkHeight() const;
    bool ValueSpan(const QCPRange &keys, double &lo, double &hi) const;

    // Where the line runs in view, and, when its marks are shown, the marks it may get:
    // in each run of step points (from a multiple of step, step points about a label's
    // width) its highest point, marked above, and its lowest, marked below.
    void CollectMarks(int series, LineFootprint &footprint, std::vector<MarkCandidate> &candidates) const;
    // The marks to draw, as the chart placed them.
    void SetPlacedMarks(std::vector<PlacedMark> marks) { m_placed = std::move(marks); }
    const std::vector<PlacedMark> &PlacedMarks() const { return m_placed; }

protected:
    void draw(QCPPainter *painter) override;

private:
    void DrawMarks(QCPPainter *painter) const;
    QString TextAt(long long index) const;

    bool m_marksVisible = false;
    QColor m_arrowColor = QColor(128, 128, 128);
    MarkText m_markText;
    std::vector<PlacedMark> m_placed;
};

} // namespace korvala::chart

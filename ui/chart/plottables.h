#pragma once

// The chart's two kinds of series as plottables of the plotting library.

#include "candle.h"

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

// A line through y values at indexes 0, 1, 2 …, with value marks: for the points in view,
// a short arrow up from the point and a text above it, thinned to one label per label
// width of pixels; a mark that would be cut at the left or right edge is left out. The
// texts are asked for only for points in view: the two ends (to size the labels) and the
// points that get a mark.
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
    // Pixels a mark needs above its point.
    int MarkHeight() const;
    bool ValueSpan(const QCPRange &keys, double &lo, double &hi) const;

protected:
    void draw(QCPPainter *painter) override;

private:
    void DrawMarks(QCPPainter *painter) const;

    bool m_marksVisible = false;
    QColor m_arrowColor = QColor(128, 128, 128);
    MarkText m_markText;
};

} // namespace korvala::chart

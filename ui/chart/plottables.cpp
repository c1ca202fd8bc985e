#include "plottables.h"

#include "chartgeometry.h"

#include <algorithm>
#include <cmath>

namespace korvala::chart {

namespace {

void Widen(double v, double &lo, double &hi)
{
    if (std::isfinite(v)) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
}

bool Finite(const Candle &c)
{
    return std::isfinite(c.x) && std::isfinite(c.open) && std::isfinite(c.high)
        && std::isfinite(c.low) && std::isfinite(c.close);
}

} // namespace

CandlePlottable::CandlePlottable(QCPAxis *keyAxis, QCPAxis *valueAxis)
    : QCPFinancial(keyAxis, valueAxis)
{
    // These settings serve the legend icon; the candles themselves are drawn below.
    setChartStyle(csCandlestick);
    setTwoColored(true);
    setBrushPositive(RisingColor());
    setBrushNegative(FallingColor());
    setPenPositive(QPen(OutlineColor()));
    setPenNegative(QPen(OutlineColor()));
    setWidthType(wtAbsolute);
    setWidth(kCandleWidth);
    setSelectable(QCP::stNone);
}

bool CandlePlottable::ValueSpan(const QCPRange &keys, double &lo, double &hi) const
{
    lo = INFINITY;
    hi = -INFINITY;
    const auto end = mDataContainer->findEnd(keys.upper, false);
    for (auto it = mDataContainer->findBegin(keys.lower, false); it != end; ++it) {
        Widen(it->open, lo, hi);
        Widen(it->high, lo, hi);
        Widen(it->low, lo, hi);
        Widen(it->close, lo, hi);
    }
    return lo <= hi;
}

void CandlePlottable::draw(QCPPainter *painter)
{
    if (!mKeyAxis || !mValueAxis || mDataContainer->isEmpty())
        return;
    painter->setAntialiasing(false);
    for (const Candle &candle : CandlesInView())
        DrawCandle(painter, candle);
}

// The candles in view, merged bin by bin when they lie closer than a candle slot.
std::vector<Candle> CandlePlottable::CandlesInView() const
{
    const QCPAxis *keyAxis = mKeyAxis.data();
    const QCPRange keys = keyAxis->range();
    const auto begin = mDataContainer->findBegin(keys.lower, true);
    const auto end = mDataContainer->findEnd(keys.upper, true);
    const auto count = end - begin;
    if (count <= 0)
        return {};

    double binWidth = 0;
    if (count >= 2) {
        const double spanPx = std::abs(keyAxis->coordToPixel((end - 1)->key)
                                       - keyAxis->coordToPixel(begin->key));
        const double pxPerKey = keyAxis->axisRect()->width() / keys.size();
        if (spanPx / static_cast<double>(count - 1) < kCandleSlot && pxPerKey > 0)
            binWidth = kCandleSlot / pxPerKey;
    }
    CandleBinner binner(binWidth, m_indexPlaced);
    for (auto it = begin; it != end; ++it) {
        const Candle candle{it->key, it->open, it->high, it->low, it->close};
        if (Finite(candle))
            binner.Add(candle);
    }
    return binner.Take();
}

void CandlePlottable::DrawCandle(QCPPainter *painter, const Candle &c) const
{
    const QCPAxis *keyAxis = mKeyAxis.data();
    const QCPAxis *valueAxis = mValueAxis.data();
    const CandleShape shape = CandleShapeAt(
        keyAxis->coordToPixel(c.x), valueAxis->coordToPixel(c.open),
        valueAxis->coordToPixel(c.high), valueAxis->coordToPixel(c.low),
        valueAxis->coordToPixel(c.close));
    const bool falling = c.close < c.open;
    painter->fillRect(shape.wick, OutlineColor());
    // A body too flat for an inside shows its colour whole when it falls.
    painter->fillRect(shape.body,
                      falling && shape.inside.isEmpty() ? FallingColor() : OutlineColor());
    if (!shape.inside.isEmpty())
        painter->fillRect(shape.inside, falling ? FallingColor() : RisingColor());
}

LinePlottable::LinePlottable(QCPAxis *keyAxis, QCPAxis *valueAxis)
    : QCPGraph(keyAxis, valueAxis)
{
    setLineStyle(lsLine);
    setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    setSelectable(QCP::stNone);
    setAdaptiveSampling(true);
}

int LinePlottable::MarkHeight() const
{
    return QFontMetrics(mParentPlot->font()).height() + kArrowLength + 4;
}

bool LinePlottable::ValueSpan(const QCPRange &keys, double &lo, double &hi) const
{
    lo = INFINITY;
    hi = -INFINITY;
    const auto end = mDataContainer->findEnd(keys.upper, false);
    for (auto it = mDataContainer->findBegin(keys.lower, false); it != end; ++it)
        Widen(it->value, lo, hi);
    return lo <= hi;
}

void LinePlottable::draw(QCPPainter *painter)
{
    QCPGraph::draw(painter);
    if (m_marksVisible && m_markText)
        DrawMarks(painter);
}

void LinePlottable::DrawMarks(QCPPainter *painter) const
{
    QCPAxis *keyAxis = mKeyAxis.data();
    QCPAxis *valueAxis = mValueAxis.data();
    if (!keyAxis || !valueAxis || mDataContainer->isEmpty())
        return;
    const QCPRange keys = keyAxis->range();
    const auto count = static_cast<long long>(mDataContainer->size());
    const long long first = std::max(0LL, static_cast<long long>(std::ceil(keys.lower)));
    const long long last = std::min(count - 1, static_cast<long long>(std::floor(keys.upper)));
    if (first > last)
        return;

    const auto valueAt = [this](long long i) { return (mDataContainer->constBegin() + i)->value; };
    const auto textAt = [this, &valueAt](long long i) {
        return m_markText(static_cast<int>(i), valueAt(i));
    };
    const QFont font = mParentPlot->font();
    const QFontMetrics metrics(font);
    const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
    const int sampleWidth = std::max(metrics.horizontalAdvance(textAt(first)),
                                     metrics.horizontalAdvance(textAt(last)));
    const double pxPerPoint = std::abs(keyAxis->coordToPixel(1) - keyAxis->coordToPixel(0));
    const int step = MarkStep(pxPerPoint, sampleWidth + gap);

    painter->setFont(font);
    const QPen arrowPen(m_arrowColor, 1);
    const QPen textPen(mPen.color().darker(125));
    const QRect area = clipRect();
    double lastRight = -INFINITY;
    for (long long i = FirstMarkIndex(first, step); i <= last; i += step) {
        const double value = valueAt(i);
        if (!std::isfinite(value))
            continue;
        const double x = keyAxis->coordToPixel(static_cast<double>(i));
        const double y = valueAxis->coordToPixel(value);
        const QString text = textAt(i);
        const int width = metrics.horizontalAdvance(text);
        const QRectF box(x - width / 2.0, y - kArrowLength - 1 - metrics.height(), width,
                         metrics.height());
        if (box.left() < lastRight + gap / 2.0 || box.left() < area.left()
            || box.right() > area.right() + 1)
            continue;
        lastRight = box.right();
        painter->setAntialiasing(false);
        painter->setPen(arrowPen);
        painter->drawLine(QPointF(x, y - 1), QPointF(x, y - kArrowLength));
        painter->setAntialiasing(true);
        painter->setPen(textPen);
        painter->drawText(box, Qt::AlignCenter | Qt::TextDontClip, text);
    }
}

} // namespace korvala::chart

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

QString LinePlottable::TextAt(long long index) const
{
    return m_markText(static_cast<int>(index), (mDataContainer->constBegin() + index)->value);
}

void LinePlottable::CollectMarks(int series, LineFootprint &footprint,
                                 std::vector<MarkCandidate> &candidates) const
{
    QCPAxis *keyAxis = mKeyAxis.data();
    QCPAxis *valueAxis = mValueAxis.data();
    if (!keyAxis || !valueAxis || mDataContainer->isEmpty() || !visible())
        return;
    // Points lie at their indexes; both axes are linear: pixels by multiply and add.
    const double x0 = keyAxis->coordToPixel(0);
    const double dx = keyAxis->coordToPixel(1) - x0;
    const double y0 = valueAxis->coordToPixel(0);
    const double dy = valueAxis->coordToPixel(1) - y0;
    const QCPGraphData *data = &*mDataContainer->constBegin();
    const auto count = static_cast<long long>(mDataContainer->size());
    const QCPRange keys = keyAxis->range();
    const auto pixel = [&](long long i) {
        return QPointF(x0 + dx * static_cast<double>(i), y0 + dy * data[i].value);
    };
    // The segments in view, with the ones that leave it at either end.
    const long long from = std::clamp(static_cast<long long>(std::floor(keys.lower)), 0LL, count - 1);
    const long long to = std::clamp(static_cast<long long>(std::ceil(keys.upper)), 0LL, count - 1);
    footprint.AddIndexedPolyline(from, to - from + 1, x0, dx, y0, dy, [data](long long i) { return data[i].value; });

    if (!m_marksVisible || !m_markText)
        return;
    const long long first = std::max(0LL, static_cast<long long>(std::ceil(keys.lower)));
    const long long last = std::min(count - 1, static_cast<long long>(std::floor(keys.upper)));
    if (first > last)
        return;
    const QFontMetrics metrics(mParentPlot->font());
    const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
    const int sampleWidth = std::max(metrics.horizontalAdvance(TextAt(first)),
                                     metrics.horizontalAdvance(TextAt(last)));
    const int step = MarkStep(std::abs(dx), sampleWidth + gap);
    const auto add = [&](long long i, bool above) {
        const QString text = TextAt(i);
        candidates.push_back({series, i, pixel(i), QSizeF(metrics.horizontalAdvance(text), metrics.height()),
                              above});
    };
    for (long long window = FirstMarkIndex(first, step) - step; window <= last; window += step) {
        long long high = -1;
        long long low = -1;
        double highValue = -INFINITY;
        double lowValue = INFINITY;
        const long long end = std::min(window + step - 1, last);
        for (long long i = std::max(window, first); i <= end; ++i) {
            const double v = data[i].value;
            if (v > highValue) {
                highValue = v;
                high = i;
            }
            if (v < lowValue) {
                lowValue = v;
                low = i;
            }
        }
        if (high >= 0)
            add(high, true);
        if (low >= 0 && low != high)
            add(low, false);
    }
}

void LinePlottable::DrawMarks(QCPPainter *painter) const
{
    if (mDataContainer->isEmpty())
        return;
    const QFont font = mParentPlot->font();
    painter->setFont(font);
    const QPen arrowPen(m_arrowColor, 1);
    const QPen textPen(mPen.color().darker(125));
    const auto count = static_cast<long long>(mDataContainer->size());
    for (const PlacedMark &mark : m_placed) {
        if (mark.index < 0 || mark.index >= count)
            continue;
        const QPointF p = mark.point;
        const double towards = mark.box.center().y() < p.y() ? -1 : 1;
        painter->setAntialiasing(false);
        painter->setPen(arrowPen);
        painter->drawLine(QPointF(p.x(), p.y() + towards), QPointF(p.x(), p.y() + towards * kArrowLength));
        painter->setAntialiasing(true);
        painter->setPen(textPen);
        painter->drawText(mark.box, Qt::AlignCenter | Qt::TextDontClip, TextAt(mark.index));
    }
}

} // namespace korvala::chart

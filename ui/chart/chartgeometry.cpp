#include "chartgeometry.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace korvala::chart {

Span FitKeySpan(double lo, double hi, double minSpan, double widthPx, double padPx)
{
    if (hi < lo)
        std::swap(lo, hi);
    if (hi - lo < minSpan) {
        const double middle = (lo + hi) / 2;
        lo = middle - minSpan / 2;
        hi = middle + minSpan / 2;
    }
    const double usable = widthPx - 2 * padPx;
    if (usable < 1)
        return {lo, hi};
    const double pad = padPx * (hi - lo) / usable;
    return {lo - pad, hi + pad};
}

Span FitValueSpan(double lo, double hi, double heightPx, double topPx, double bottomPx)
{
    if (hi < lo)
        std::swap(lo, hi);
    if (hi - lo <= std::abs(hi) * 1e-12) {
        const double band = lo == 0 ? 1.0 : std::abs(lo) * 0.05;
        lo -= band;
        hi += band;
    }
    const double usable = heightPx - topPx - bottomPx;
    if (usable < 1)
        return {lo, hi};
    const double perPx = (hi - lo) / usable;
    return {lo - bottomPx * perPx, hi + topPx * perPx};
}

Span ClampView(Span view, Span full, double minSpan)
{
    if (view.last < view.first)
        std::swap(view.first, view.last);
    if (view.Width() >= full.Width())
        return full;
    if (view.Width() < minSpan) {
        const double middle = (view.first + view.last) / 2;
        view = {middle - minSpan / 2, middle + minSpan / 2};
        if (view.Width() >= full.Width())
            return full;
    }
    if (view.first < full.first)
        view = {full.first, full.first + view.Width()};
    else if (view.last > full.last)
        view = {full.last - view.Width(), full.last};
    return view;
}

CandleShape CandleShapeAt(double xPx, double openPx, double highPx, double lowPx, double closePx)
{
    const int left = static_cast<int>(std::lround(xPx)) - kCandleWidth / 2;
    const int top = static_cast<int>(std::lround(std::min(openPx, closePx)));
    const int bottom = static_cast<int>(std::lround(std::max(openPx, closePx)));
    const int wickTop = static_cast<int>(std::lround(std::min(highPx, lowPx)));
    const int wickBottom = static_cast<int>(std::lround(std::max(highPx, lowPx)));

    CandleShape shape;
    shape.body = QRect(left, top, kCandleWidth, bottom - top + 1);
    if (shape.body.height() >= 3)
        shape.inside = shape.body.adjusted(1, 1, -1, -1);
    shape.wick = QRect(left + kCandleWidth / 2 - 1, wickTop, 1, wickBottom - wickTop + 1);
    return shape;
}

int MarkStep(double pxPerPoint, double labelPx)
{
    if (!(pxPerPoint > 0) || !std::isfinite(pxPerPoint))
        return 1;
    const double step = std::ceil(labelPx / pxPerPoint - 1e-9);
    if (step > 1e9)
        return 1'000'000'000;
    return std::max(1, static_cast<int>(step));
}

long long FirstMarkIndex(long long firstInView, int step)
{
    const long long q = firstInView / step;
    long long first = q * step;
    if (first < firstInView)
        first += step;
    return first;
}

LineFootprint::LineFootprint(int left, int width)
    : m_left(left)
    , m_top(static_cast<std::size_t>(std::max(0, width)), INFINITY)
    , m_bottom(static_cast<std::size_t>(std::max(0, width)), -INFINITY)
{
}

void LineFootprint::AddSegment(QPointF a, QPointF b)
{
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    if (b.x() < a.x())
        std::swap(a, b);
    const double right = m_left + static_cast<double>(m_top.size());
    if (b.x() < m_left || a.x() >= right)
        return;
    const double dx = b.x() - a.x();
    const auto yAt = [&](double x) { return dx > 0 ? a.y() + (b.y() - a.y()) * (x - a.x()) / dx : a.y(); };
    const long long first = static_cast<long long>(std::floor(std::max(a.x(), double(m_left))));
    const long long last = static_cast<long long>(std::floor(std::min(b.x(), right - 1)));
    for (long long column = first; column <= last; ++column) {
        const double x0 = std::max(a.x(), static_cast<double>(column));
        const double x1 = std::min(b.x(), static_cast<double>(column + 1));
        const double y0 = dx > 0 ? yAt(x0) : std::min(a.y(), b.y());
        const double y1 = dx > 0 ? yAt(x1) : std::max(a.y(), b.y());
        const auto i = static_cast<std::size_t>(column - m_left);
        m_top[i] = std::min(m_top[i], static_cast<float>(std::min(y0, y1)));
        m_bottom[i] = std::max(m_bottom[i], static_cast<float>(std::max(y0, y1)));
    }
}

void LineFootprint::AddColumnSpan(double column, double lo, double hi)
{
    if (!(column >= m_left && column < m_left + static_cast<double>(m_top.size())))
        return;
    const auto i = static_cast<std::size_t>(column - m_left);
    m_top[i] = std::min(m_top[i], static_cast<float>(lo));
    m_bottom[i] = std::max(m_bottom[i], static_cast<float>(hi));
}

bool LineFootprint::Crosses(const QRectF &rect) const
{
    const long long first = std::max<long long>(m_left, static_cast<long long>(std::floor(rect.left())));
    const long long last = std::min<long long>(m_left + static_cast<long long>(m_top.size()) - 1,
                                               static_cast<long long>(std::floor(rect.right())));
    for (long long column = first; column <= last; ++column) {
        const auto i = static_cast<std::size_t>(column - m_left);
        if (m_top[i] <= rect.bottom() && m_bottom[i] >= rect.top())
            return true;
    }
    return false;
}

std::vector<PlacedMark> PlaceMarks(const std::vector<MarkCandidate> &candidates,
                                   const std::vector<const LineFootprint *> &lines, const QRectF &area,
                                   double gap, int arrowLength)
{
    std::vector<PlacedMark> placed;
    const auto fits = [&](const QRectF &box) {
        if (!area.contains(box))
            return false;
        // A pixel clear of every line, whose pen draws about its path.
        const QRectF clear = box.adjusted(-1, -1, 1, 1);
        for (const LineFootprint *line : lines)
            if (line->Crosses(clear))
                return false;
        const QRectF apart = box.adjusted(-gap, -gap, gap, gap);
        return std::none_of(placed.begin(), placed.end(),
                            [&](const PlacedMark &m) { return m.box.intersects(apart); });
    };
    for (const MarkCandidate &c : candidates) {
        const double w = c.size.width();
        const double h = c.size.height();
        const double top[2] = {c.point.y() - arrowLength - 1 - h, c.point.y() + arrowLength + 1};
        // Centred over the point, else ending or starting at it (a line that rises or
        // falls through the point leaves one of those corners free).
        const double left[3] = {c.point.x() - w / 2, c.point.x() - w + 1, c.point.x() - 1};
        bool done = false;
        for (int side = 0; side < 2 && !done; ++side) {
            const double y = top[c.above ? side : 1 - side];
            for (int k = 0; k < 3 && !done; ++k) {
                const QRectF box(left[k], y, w, h);
                if (fits(box)) {
                    placed.push_back({c.series, c.index, c.point, box});
                    done = true;
                }
            }
        }
    }
    return placed;
}

CandleBinner::CandleBinner(double binWidth, bool integralKeys)
    : m_binWidth(integralKeys && binWidth > 0 ? std::ceil(binWidth) : binWidth)
    , m_integral(integralKeys)
{
}

double CandleBinner::BinCentre(long long bin) const
{
    if (m_integral)
        return static_cast<double>(bin) * m_binWidth + (m_binWidth - 1) / 2;
    return (static_cast<double>(bin) + 0.5) * m_binWidth;
}

void CandleBinner::Add(const Candle &candle)
{
    if (m_binWidth <= 0 || (m_integral && m_binWidth <= 1)) {
        m_out.push_back(candle);
        return;
    }
    const auto bin = static_cast<long long>(std::floor(candle.x / m_binWidth));
    if (m_open && bin == m_bin) {
        m_current.high = std::max({m_current.high, candle.high, candle.low});
        m_current.low = std::min({m_current.low, candle.low, candle.high});
        m_current.close = candle.close;
        return;
    }
    if (m_open)
        m_out.push_back(m_current);
    m_open = true;
    m_bin = bin;
    m_current = candle;
    m_current.x = BinCentre(bin);
    m_current.high = std::max(candle.high, candle.low);
    m_current.low = std::min(candle.high, candle.low);
}

std::vector<Candle> CandleBinner::Take()
{
    if (m_open)
        m_out.push_back(m_current);
    m_open = false;
    return std::move(m_out);
}

std::vector<Candle> SampleCandles(int n, std::uint32_t seed)
{
    std::vector<Candle> candles;
    if (n <= 0)
        return candles;
    candles.reserve(static_cast<std::size_t>(n));
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, 1.0);
    const auto cents = [](double v) { return std::round(v * 100) / 100; };

    double close = 100;
    for (int i = 0; i < n; ++i) {
        const double scale = std::max(close, 1.0) * 0.012;
        Candle c;
        c.x = i;
        c.open = cents(std::max(1.0, close + normal(random) * scale * 0.3));
        c.close = cents(std::max(1.0, c.open + normal(random) * scale));
        c.high = cents(std::max(c.open, c.close) + std::abs(normal(random)) * scale * 0.6);
        c.low = cents(std::max(0.5, std::min(c.open, c.close) - std::abs(normal(random)) * scale * 0.6));
        c.low = std::min({c.low, c.open, c.close});
        c.high = std::max({c.high, c.open, c.close});
        candles.push_back(c);
        close = c.close;
    }
    return candles;
}

} // namespace korvala::chart

#include "finchartgeom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvala {

long long RoundHalfEven(double value)
{
    constexpr double kLimit = 1099511627776.0; // 2^40: far beyond any screen
    if (std::isnan(value))
        return 0;
    value = std::clamp(value, -kLimit, kLimit);
    const double whole = std::floor(value);
    const double fraction = value - whole; // exact below 2^52
    long long result = static_cast<long long>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

TFinChartGeometry::TFinChartGeometry(int width, int height, double minLow, double maxHigh,
                                     long long visibleCount)
    : m_width(width)
    , m_height(height)
    , m_left(kMarginLeft)
    , m_top(kMarginTop)
    , m_right(width - kMarginRight)
    , m_bottom(height - kMarginBottom)
    , m_minLow(minLow)
    , m_range(maxHigh - minLow)
    , m_scale(0)
    , m_steps(std::max(1.0, static_cast<double>(visibleCount) + 1))
{
    if (m_range != 0)
        m_scale = static_cast<double>(m_bottom - m_top) / m_range;
    if (!std::isfinite(m_scale))
        m_scale = 0;
}

long long TFinChartGeometry::Y(double price) const
{
    return m_bottom - RoundHalfEven((price - m_minLow) * m_scale);
}

double TFinChartGeometry::PriceAtY(long long y) const
{
    if (m_bottom == m_top)
        return m_minLow;
    return m_range * static_cast<double>(m_bottom - y) / static_cast<double>(m_bottom - m_top)
           + m_minLow;
}

long long TFinChartGeometry::X(long long k) const
{
    return m_right
           - RoundHalfEven(static_cast<double>(k) * static_cast<double>(m_right - m_left) / m_steps);
}

long long TFinChartGeometry::GridY(int i) const
{
    return m_bottom - RoundHalfEven(m_scale * (m_range * i / 10));
}

double TFinChartGeometry::GridPrice(int i) const { return m_minLow + m_range * i / 10; }

namespace {

// Pixels this far outside the control can still not be touched by a 1-pixel line.
constexpr long long kPad = 2;
// Coordinates within this bound go to the painter unchanged.
constexpr long long kSafe = 1 << 20;

// The control's pixels with a margin, and the segment clipping against them.
class ClipBox final
{
public:
    explicit ClipBox(const TFinChartGeometry &g)
        : m_left(-kPad)
        , m_top(-kPad)
        , m_right(g.Width() - 1 + kPad)
        , m_bottom(g.Height() - 1 + kPad)
    {
    }

    bool Empty() const { return m_right - m_left < 2 * kPad || m_bottom - m_top < 2 * kPad; }
    long long LeftEdge() const { return m_left; }
    long long RightEdge() const { return m_right; }

    void Add(std::vector<TChartSegment> &out, TChartSegment s) const
    {
        if (std::max(s.X1, s.X2) < m_left || std::min(s.X1, s.X2) > m_right
            || std::max(s.Y1, s.Y2) < m_top || std::min(s.Y1, s.Y2) > m_bottom)
            return;
        if (s.X1 == s.X2) {
            s.Y1 = std::clamp(s.Y1, m_top, m_bottom);
            s.Y2 = std::clamp(s.Y2, m_top, m_bottom);
        } else if (s.Y1 == s.Y2) {
            s.X1 = std::clamp(s.X1, m_left, m_right);
            s.X2 = std::clamp(s.X2, m_left, m_right);
        } else if (!InSafeRange(s) && !ClipFar(s)) {
            return;
        }
        out.push_back(s);
    }

private:
    static bool InSafeRange(const TChartSegment &s)
    {
        return std::max({std::llabs(s.X1), std::llabs(s.X2), std::llabs(s.Y1), std::llabs(s.Y2)})
               <= kSafe;
    }

    // A slanted segment with far-away ends: cut to the box (Liang–Barsky). The part
    // inside can shift by a pixel against the uncut line; such lines only arise from
    // prices thousands of plot heights away.
    bool ClipFar(TChartSegment &s) const
    {
        const double x1 = static_cast<double>(s.X1), y1 = static_cast<double>(s.Y1);
        const double dx = static_cast<double>(s.X2) - x1, dy = static_cast<double>(s.Y2) - y1;
        double t0 = 0, t1 = 1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x1 - static_cast<double>(m_left), static_cast<double>(m_right) - x1,
                             y1 - static_cast<double>(m_top), static_cast<double>(m_bottom) - y1};
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    return false;
                continue;
            }
            const double t = q[k] / p[k];
            if (p[k] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
        if (t0 > t1)
            return false;
        s = {RoundHalfEven(x1 + t0 * dx), RoundHalfEven(y1 + t0 * dy), RoundHalfEven(x1 + t1 * dx),
             RoundHalfEven(y1 + t1 * dy)};
        return true;
    }

    long long m_left;
    long long m_top;
    long long m_right;
    long long m_bottom;
};

// Takes the vertices of one polyline in drawing order and keeps its pixels with fewer
// segments: consecutive vertices in one column become a single vertical segment from
// their lowest to their highest row, the other segments stay as they are.
class PolylineSink final
{
public:
    PolylineSink(std::vector<TChartSegment> &out, const ClipBox &clip) : m_out(out), m_clip(clip) {}

    void Point(long long x, long long y)
    {
        if (m_points > 0 && x == m_x) {
            m_lastY = y;
            m_minY = std::min(m_minY, y);
            m_maxY = std::max(m_maxY, y);
            ++m_points;
            return;
        }
        if (m_points > 0) {
            Flush();
            m_clip.Add(m_out, {m_x, m_lastY, x, y});
        }
        m_x = x;
        m_lastY = m_minY = m_maxY = y;
        m_points = 1;
    }

    // Ends the polyline: hands over the column still open.
    void Flush()
    {
        if (m_points >= 2)
            m_clip.Add(m_out, {m_x, m_minY, m_x, m_maxY});
        m_points = 0;
    }

private:
    std::vector<TChartSegment> &m_out;
    const ClipBox &m_clip;
    long long m_x = 0;
    long long m_lastY = 0;
    long long m_minY = 0;
    long long m_maxY = 0;
    long long m_points = 0;
};

class LayerBuilder final
{
public:
    LayerBuilder(const TFList &quotes, const TFinChartGeometry &g)
        : m_quotes(quotes)
        , m_g(g)
        , m_clip(g)
        , m_count(quotes.Count())
        , m_width(static_cast<long long>(g.Right()) - g.Left())
    {
    }

    bool Empty() const { return m_clip.Empty(); }

    // True when x and every column further along the walk (older quotes) lie beyond
    // the control's edge.
    bool Beyond(long long x) const
    {
        return (m_width > 0 && x < m_clip.LeftEdge()) || (m_width < 0 && x > m_clip.RightEdge());
    }

    void ResSup(std::vector<TChartSquare> &out) const
    {
        // Every mark is the same opaque square, so each position is filled once.
        const long long w = m_g.Width() + 3, h = m_g.Height() + 3;
        std::vector<bool> filled(static_cast<std::size_t>(w * h));
        auto add = [&](long long x, long long y) {
            if (x < -1 || x > m_g.Width() + 1 || y < -1 || y > m_g.Height() + 1)
                return;
            const auto cell = static_cast<std::size_t>((y + 1) * w + (x + 1));
            if (filled[cell])
                return;
            filled[cell] = true;
            out.push_back({x, y});
        };
        for (int i = m_count - 1; i >= 0; --i) {
            const long long x = m_g.X(m_count - 1 - i);
            if (Beyond(x))
                break;
            const TFPoint &q = *m_quotes.Items(i);
            if (q.Pivot > 0 && q.PivotEnabled) {
                add(x, m_g.Y(q.Retrace382));
                add(x, m_g.Y(q.Retrace681));
            }
        }
    }

    void Targets(std::vector<TChartSegment> &out, int period) const
    {
        // Every line runs from its pivot's column to 10 pixels right of the plot, so
        // the lines of one row together cover one span.
        const long long end = static_cast<long long>(m_g.Right()) + 10;
        const long long rows = m_g.Height() + 2 * kPad;
        std::vector<long long> lo(static_cast<std::size_t>(rows), std::numeric_limits<long long>::max());
        std::vector<long long> hi(static_cast<std::size_t>(rows), std::numeric_limits<long long>::min());
        auto add = [&](long long x, long long y) {
            if (y < -kPad || y >= m_g.Height() + kPad)
                return;
            const auto row = static_cast<std::size_t>(y + kPad);
            lo[row] = std::min({lo[row], x, end});
            hi[row] = std::max({hi[row], x, end});
        };
        int n = 0;
        for (int i = m_count - 1; i >= 0 && n < period; --i) {
            const TFPoint &q = *m_quotes.Items(i);
            if (!(q.Pivot > 0 && q.PivotEnabled))
                continue;
            const long long x = m_g.X(m_count - i);
            add(x, m_g.Y(q.OP));
            add(x, m_g.Y(q.COP));
            add(x, m_g.Y(q.XOP));
            ++n;
        }
        for (std::size_t row = 0; row < lo.size(); ++row)
            if (lo[row] <= hi[row]) {
                const long long y = static_cast<long long>(row) - kPad;
                m_clip.Add(out, {lo[row], y, hi[row], y});
            }
    }

    void Close(std::vector<TChartSegment> &out) const
    {
        PolylineSink line(out, m_clip);
        for (int j = 0; j <= m_count - 2; ++j) {
            const long long x = m_g.X(j + 1);
            line.Point(x, m_g.Y(m_quotes.Items(m_count - 1 - j)->Close));
            if (Beyond(x))
                break;
        }
        line.Flush();
    }

    void Zigzag(std::vector<TChartSegment> &out) const
    {
        if (m_count < 2)
            return;
        PolylineSink line(out, m_clip);
        const double newest = m_quotes.Items(m_count - 1)->Pivot;
        if (newest != 0)
            line.Point(m_g.X(1), m_g.Y(newest));
        for (int j = 1; j <= m_count - 2; ++j) {
            const TFPoint &q = *m_quotes.Items(m_count - 1 - j);
            if (!(q.PivotEnabled && q.Pivot > 0))
                continue;
            const long long x = m_g.X(j + 1);
            line.Point(x, m_g.Y(q.Pivot));
            if (Beyond(x))
                break;
        }
        line.Flush();
    }

    void Average(std::vector<TChartSegment> &out) const
    {
        if (m_count < 4)
            return;
        PolylineSink line(out, m_clip);
        line.Point(m_g.X(1), m_g.Y(m_quotes.Items(m_count - 3)->MA3));
        for (int j = 3; j <= m_count - 2; ++j) {
            const long long x = m_g.X(j + 1);
            line.Point(x, m_g.Y(m_quotes.Items(m_count - 1 - j)->MA3));
            if (Beyond(x))
                break;
        }
        line.Flush();
    }

private:
    const TFList &m_quotes;
    const TFinChartGeometry &m_g;
    ClipBox m_clip;
    int m_count;
    long long m_width;
};

} // namespace

TChartLayers BuildChartLayers(const TFList &quotes, const TFinChartGeometry &geometry,
                              const TChartOptions &options)
{
    TChartLayers layers;
    const LayerBuilder builder(quotes, geometry);
    if (builder.Empty())
        return layers;
    if (options.ShowResSup)
        builder.ResSup(layers.ResSup);
    if (options.ShowTargets)
        builder.Targets(layers.Targets, options.Period);
    if (options.ShowClose)
        builder.Close(layers.Close);
    if (options.ShowZigzag)
        builder.Zigzag(layers.Zigzag);
    if (options.ShowMA3x3)
        builder.Average(layers.Average);
    return layers;
}

} // namespace korvala

#include "finchartgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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

FinChartGeometry::FinChartGeometry(int width, int height, double minLow, double maxHigh,
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

long long FinChartGeometry::Y(double price) const
{
    return m_bottom - RoundHalfEven((price - m_minLow) * m_scale);
}

double FinChartGeometry::PriceAtY(long long y) const
{
    if (m_bottom == m_top)
        return m_minLow;
    return m_range * static_cast<double>(m_bottom - y) / static_cast<double>(m_bottom - m_top)
           + m_minLow;
}

long long FinChartGeometry::X(long long k) const
{
    return m_right
           - RoundHalfEven(static_cast<double>(k) * static_cast<double>(m_right - m_left) / m_steps);
}

long long FinChartGeometry::GridY(int i) const
{
    return m_bottom - RoundHalfEven(m_scale * (m_range * i / 10));
}

double FinChartGeometry::GridPrice(int i) const { return m_minLow + m_range * i / 10; }

namespace {

// Pixels this far outside the control can still not be touched by a 1-pixel line.
constexpr long long kPad = 2;
// Coordinates within this bound go to the painter unchanged.
constexpr long long kSafe = 1 << 20;

// The control's pixels with a margin, and the segment clipping against them.
class ClipBox final
{
public:
    explicit ClipBox(const FinChartGeometry &g)
        : m_left(-kPad)
        , m_top(-kPad)
        , m_right(g.Width() - 1 + kPad)
        , m_bottom(g.Height() - 1 + kPad)
    {
    }

    bool Empty() const { return m_right - m_left < 2 * kPad || m_bottom - m_top < 2 * kPad; }
    long long LeftEdge() const { return m_left; }
    long long RightEdge() const { return m_right; }

    void Add(std::vector<ChartSegment> &out, ChartSegment s) const
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
    static bool InSafeRange(const ChartSegment &s)
    {
        return std::max({std::llabs(s.X1), std::llabs(s.X2), std::llabs(s.Y1), std::llabs(s.Y2)})
               <= kSafe;
    }

    // A slanted segment with far-away ends: cut to the box (Liang–Barsky). The part
    // inside can shift by a pixel against the uncut line; such lines only arise from
    // prices thousands of plot heights away.
    bool ClipFar(ChartSegment &s) const
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
    PolylineSink(std::vector<ChartSegment> &out, const ClipBox &clip) : m_out(out), m_clip(clip) {}

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
    std::vector<ChartSegment> &m_out;
    const ClipBox &m_clip;
    long long m_x = 0;
    long long m_lastY = 0;
    long long m_minY = 0;
    long long m_maxY = 0;
    long long m_points = 0;
};

// Marks of one colour: each position is filled once.
class SquareSink final
{
public:
    SquareSink(std::vector<ChartSquare> &out, const FinChartGeometry &g)
        : m_out(out)
        , m_width(g.Width())
        , m_height(g.Height())
        , m_filled(static_cast<std::size_t>((m_width + 3) * (m_height + 3)))
    {
    }

    void Add(long long x, long long y)
    {
        // The square covers x - 2 … x + 1 and y - 2 … y + 1.
        if (x < -1 || x > m_width + 1 || y < -1 || y > m_height + 1)
            return;
        const auto cell = static_cast<std::size_t>((y + 1) * (m_width + 3) + (x + 1));
        if (m_filled[cell])
            return;
        m_filled[cell] = true;
        m_out.push_back({x, y});
    }

private:
    std::vector<ChartSquare> &m_out;
    long long m_width;
    long long m_height;
    std::vector<bool> m_filled;
};

// Horizontal lines that all end in one column: the lines of one row cover one span.
class SpanSink final
{
public:
    SpanSink(const FinChartGeometry &g, long long end)
        : m_end(end)
        , m_rows(g.Height() + 2 * kPad)
        , m_lo(static_cast<std::size_t>(std::max(0LL, m_rows)), std::numeric_limits<long long>::max())
        , m_hi(m_lo.size(), std::numeric_limits<long long>::min())
    {
    }

    void Add(long long x, long long y)
    {
        if (y < -kPad || y >= m_rows - kPad)
            return;
        const auto row = static_cast<std::size_t>(y + kPad);
        m_lo[row] = std::min({m_lo[row], x, m_end});
        m_hi[row] = std::max({m_hi[row], x, m_end});
    }

    void Flush(std::vector<ChartSegment> &out, const ClipBox &clip) const
    {
        for (std::size_t row = 0; row < m_lo.size(); ++row)
            if (m_lo[row] <= m_hi[row]) {
                const long long y = static_cast<long long>(row) - kPad;
                clip.Add(out, {m_lo[row], y, m_hi[row], y});
            }
    }

private:
    long long m_end;
    long long m_rows;
    std::vector<long long> m_lo;
    std::vector<long long> m_hi;
};

} // namespace

ChartLayers BuildChartLayers(const TFList &quotes, const FinChartGeometry &g,
                              const ChartOptions &options)
{
    ChartLayers layers;
    const ClipBox clip(g);
    if (clip.Empty())
        return layers;
    const int n = quotes.Count();
    const long long width = static_cast<long long>(g.Right()) - g.Left();
    // Columns move away from the right edge as the walk goes to older quotes; once a
    // layer has passed the control's far edge nothing more of it can show.
    auto beyond = [&](long long x) {
        return (width > 0 && x < clip.LeftEdge()) || (width < 0 && x > clip.RightEdge());
    };

    PolylineSink close(layers.Close, clip);
    PolylineSink zigzag(layers.Zigzag, clip);
    PolylineSink average(layers.Average, clip);
    std::optional<SquareSink> marks;
    if (options.ShowResSup)
        marks.emplace(layers.ResSup, g);
    SpanSink targets(g, static_cast<long long>(g.Right()) + 10);

    bool closeOn = options.ShowClose && n >= 2;
    bool zigzagOn = options.ShowZigzag && n >= 2;
    bool averageOn = options.ShowMA3x3 && n >= 4;
    bool marksOn = options.ShowResSup;
    long long targetsLeft = options.ShowTargets ? std::max(0, options.Period) : 0;

    // The zigzag starts at the newest quote's pivot; a newest quote without one (Pivot
    // 0) is passed over, as a start at price 0 would only add a line from below the
    // plot. The average's first vertex is the MA3 of quote n - 3 placed in the newest
    // quote's column.
    if (zigzagOn) {
        const double newest = quotes.Items(n - 1)->Pivot;
        if (newest != 0)
            zigzag.Point(g.X(1), g.Y(newest));
    }
    if (averageOn)
        average.Point(g.X(1), g.Y(quotes.Items(n - 3)->MA3));

    // One walk from the newest quote back, feeding every layer: x is the quote's own
    // column (step n - i), previous the column one step right of it (step n - 1 - i),
    // where its marks stand.
    long long previous = g.X(0);
    for (int i = n - 1; i >= 0 && (closeOn || zigzagOn || averageOn || marksOn || targetsLeft > 0);
         --i) {
        const TFPoint &q = *quotes.Items(i);
        const long long x = g.X(n - i);
        const bool pivot = q.Pivot > 0 && q.PivotEnabled;
        if (marksOn) {
            if (beyond(previous)) {
                marksOn = false;
            } else if (pivot) {
                marks->Add(previous, g.Y(q.Retrace382));
                marks->Add(previous, g.Y(q.Retrace681));
            }
        }
        if (targetsLeft > 0 && pivot) {
            targets.Add(x, g.Y(q.OP));
            targets.Add(x, g.Y(q.COP));
            targets.Add(x, g.Y(q.XOP));
            --targetsLeft;
        }
        if (closeOn && i >= 1) {
            close.Point(x, g.Y(q.Close));
            closeOn = !beyond(x);
        }
        if (zigzagOn && i >= 1 && i <= n - 2 && pivot) {
            zigzag.Point(x, g.Y(q.Pivot));
            zigzagOn = !beyond(x);
        }
        if (averageOn && i >= 1 && i <= n - 4) {
            average.Point(x, g.Y(q.MA3));
            averageOn = !beyond(x);
        }
        previous = x;
    }
    close.Flush();
    zigzag.Flush();
    average.Flush();
    targets.Flush(layers.Targets, clip);
    return layers;
}

} // namespace korvala

#pragma once

// The chart's geometry in plain functions: the view that shows everything, the limits of
// a zoom or pan, the pixels of one candle, the thinning of value marks and the merging
// of candles that would overlap.

#include "candle.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace korvala::chart {

struct Span
{
    double first = 0;
    double last = 0;
    double Width() const { return last - first; }
};

// The horizontal view that shows lo to hi with padPx pixels to spare at each end on an
// axis widthPx pixels long; a span narrower than minSpan is widened about its middle.
Span FitKeySpan(double lo, double hi, double minSpan, double widthPx, double padPx);
// The vertical view that shows lo to hi with topPx and bottomPx pixels to spare on an axis
// heightPx pixels long; a flat series gets a band of 5 % of its value (1 about zero).
Span FitValueSpan(double lo, double hi, double heightPx, double topPx, double bottomPx);
// A zoom or pan by the user: at least minSpan wide, at most as wide as full, and inside
// full. A view at least as wide as full becomes full.
Span ClampView(Span view, Span full, double minSpan);

// The pixels of one candlestick drawn at xPx: a body 4 pixels wide (outline included)
// from the open to the close, its inside (empty when the body is too flat to have one)
// and a 1-pixel wick from the high to the low. Any order of the prices is drawn.
struct CandleShape
{
    QRect body;
    QRect inside;
    QRect wick;
};
inline constexpr int kCandleWidth = 4;
// Candles closer than this many pixels are merged (4-pixel body and a 1-pixel gap).
inline constexpr int kCandleSlot = kCandleWidth + 1;
CandleShape CandleShapeAt(double xPx, double openPx, double highPx, double lowPx, double closePx);

// Value marks on points spaced pxPerPoint apart, each label about labelPx wide: label
// every step-th point, at the indexes that are multiples of the step (so that the labels
// stay on their points while the view pans).
int MarkStep(double pxPerPoint, double labelPx);
long long FirstMarkIndex(long long firstInView, int step);

// Where a line runs within an area, pixel column by pixel column: the topmost and the
// lowest y its segments reach in each column. Value marks are kept off it.
class LineFootprint final
{
public:
    LineFootprint(int left, int width);
    // A segment of the line; segments with a point that is not a number draw nothing.
    void AddSegment(QPointF a, QPointF b);
    // The polyline through point(0) … point(n − 1). A run of points within one column
    // costs a comparison each, so a crowded line is quick.
    template <class PointAt>
    void AddPolyline(long long n, PointAt point)
    {
        Walk(n, point, [](long long k, double, double &, double &) { return k - 1; });
    }
    // The polyline through the points of indexes first … first + n − 1, point i at
    // (x0 + dx·i, y0 + dy·value(i)) with dx > 0: the footprint AddPolyline gives of the
    // same points, a run of points within one column read as the extremes of their
    // values (a million points over two thousand columns cost a pass over the values).
    template <class ValueAt>
    void AddIndexedPolyline(long long first, long long n, double x0, double dx, double y0, double dy,
                            ValueAt value)
    {
        const auto point = [&](long long k) {
            return QPointF(x0 + dx * static_cast<double>(first + k), y0 + dy * value(first + k));
        };
        if (!(dx > 0 && dx < 1)) {
            AddPolyline(n, point);
            return;
        }
        long long tried = 0; // the runs up to here hold a value that is not a number
        Walk(n, point, [&](long long k, double column, double &lo, double &hi) {
            if (k <= tried)
                return k - 1;
            // The last point of the run: the x of later points only grows.
            const double guess = std::floor((column + 1 - x0) / dx) - static_cast<double>(first);
            long long last = guess >= static_cast<double>(n - 1) ? n - 1
                             : guess < static_cast<double>(k - 1) ? k - 1
                                                                  : static_cast<long long>(guess);
            while (last >= k && !(point(last).x() < column + 1))
                --last;
            while (last + 1 < n && point(last + 1).x() < column + 1)
                ++last;
            double low = INFINITY, high = -INFINITY;
            for (long long i = k; i <= last; ++i) {
                const double v = value(first + i);
                if (!std::isfinite(v)) {
                    tried = last;
                    return k - 1;
                }
                low = std::min(low, v);
                high = std::max(high, v);
            }
            if (last >= k) {
                const double a = y0 + dy * low, b = y0 + dy * high;
                lo = std::min({lo, a, b});
                hi = std::max({hi, a, b});
            }
            return last;
        });
    }
    // Whether the line passes through rect (its edges included).
    bool Crosses(const QRectF &rect) const;
    bool operator==(const LineFootprint &) const = default;

private:
    // The line reaches from y lo to y hi within the column starting at x column.
    void AddColumnSpan(double column, double lo, double hi);
    // The polyline point by point; takeRun(k, column, lo, hi) may take points k … last
    // of the run in column at once (widening lo … hi) and returns last, or k − 1.
    template <class PointAt, class TakeRun>
    void Walk(long long n, PointAt point, TakeRun takeRun)
    {
        if (n <= 0)
            return;
        QPointF previous = point(0);
        bool run = std::isfinite(previous.x()) && std::isfinite(previous.y());
        double column = run ? std::floor(previous.x()) : 0;
        double lo = previous.y();
        double hi = previous.y();
        for (long long k = 1; k < n; ++k) {
            if (run) {
                if (const long long last = takeRun(k, column, lo, hi); last >= k) {
                    previous = point(last);
                    k = last;
                    continue;
                }
            }
            const QPointF next = point(k);
            if (run && next.x() >= column && next.x() < column + 1 && std::isfinite(next.y())) {
                lo = std::min(lo, next.y());
                hi = std::max(hi, next.y());
            } else {
                if (run)
                    AddColumnSpan(column, lo, hi);
                AddSegment(previous, next);
                run = std::isfinite(next.x()) && std::isfinite(next.y());
                column = run ? std::floor(next.x()) : 0;
                lo = hi = next.y();
            }
            previous = next;
        }
        if (run)
            AddColumnSpan(column, lo, hi);
    }

    int m_left;
    std::vector<float> m_top;    // per column; above m_bottom where the line is absent
    std::vector<float> m_bottom;
};

// A value mark that may be shown: the point it belongs to, the size of its text and the
// side it would rather stand on (above a peak, below a trough).
struct MarkCandidate
{
    int series = 0;
    long long index = 0;
    QPointF point;
    QSizeF size;
    bool above = true;
};
struct PlacedMark
{
    int series = 0;
    long long index = 0;
    QPointF point;
    QRectF box; // the text; the arrow runs between the point and the box
};
// Places the candidates in turn: a box of its size arrowLength + 1 pixels above the point
// or below it (its own side first, then the other), centred over it, else ending or
// starting at it. A box is kept when it lies inside area, keeps a pixel clear of every
// line and gap pixels from every box placed before; a candidate with no such box is left
// out.
std::vector<PlacedMark> PlaceMarks(const std::vector<MarkCandidate> &candidates,
                                   const std::vector<const LineFootprint *> &lines, const QRectF &area,
                                   double gap, int arrowLength);

// Merges candles (added in ascending order of x) that fall into the same bin of
// binWidth horizontal units: the first open, the highest high, the lowest low, the last
// close, placed in the middle of the bin. With integral keys (index-placed candles) the
// bins hold whole runs of binWidth indexes. A bin width of 0 or less merges nothing.
class CandleBinner final
{
public:
    CandleBinner(double binWidth, bool integralKeys);
    void Add(const Candle &candle);
    std::vector<Candle> Take();

private:
    double BinCentre(long long bin) const;

    double m_binWidth;
    bool m_integral;
    bool m_open = false;
    long long m_bin = 0;
    Candle m_current;
    std::vector<Candle> m_out;
};

// n demonstration candles at indexes 0 … n−1: a random walk of prices about 100 whose
// highs and lows enclose their opens and closes.
std::vector<Candle> SampleCandles(int n, std::uint32_t seed);

} // namespace korvala::chart

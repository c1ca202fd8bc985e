#pragma once

// The chart's geometry in plain functions: the view that shows everything, the limits of
// a zoom or pan, the pixels of one candle, the thinning of value marks and the merging
// of candles that would overlap.

#include "candle.h"

#include <QRect>

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

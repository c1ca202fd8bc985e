// Chart geometry without a widget: fitting the view, limits of zoom and pan, the pixels
// of a candle, thinning of marks, merging of crowded candles, demonstration candles.

#include "chartgeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

using namespace korvala::chart;

namespace {

// Pixel of v on an axis of widthPx pixels showing span.
double Pixel(double v, Span span, double widthPx) { return (v - span.first) / span.Width() * widthPx; }

std::pair<double, double> Ends(Span s) { return {s.first, s.last}; }

using Candles = std::vector<std::array<double, 5>>; // x, open, high, low, close

Candles Binned(double binWidth, bool byIndex, const Candles &in)
{
    CandleBinner binner(binWidth, byIndex);
    for (const auto &c : in)
        binner.Add({c[0], c[1], c[2], c[3], c[4]});
    Candles out;
    for (const Candle &c : binner.Take())
        out.push_back({c.x, c.open, c.high, c.low, c.close});
    return out;
}

} // namespace

TEST(ChartGeometry, FittingZoomAndPan)
{
    // The data ends land the padding inside; a single point gets the minimum span; a tiny
    // axis gets no padding rather than an inverted span.
    const Span keys = FitKeySpan(0, 99, 2, 1000, 10);
    EXPECT_NEAR(Pixel(0, keys, 1000), 10, 1e-9);
    EXPECT_NEAR(Pixel(99, keys, 1000), 990, 1e-9);
    EXPECT_EQ(Ends(FitKeySpan(5, 5, 2, 1000, 0)), std::make_pair(4.0, 6.0));
    EXPECT_EQ(Ends(FitKeySpan(0, 10, 2, 10, 8)), std::make_pair(0.0, 10.0));
    // Room above for marks and below; a flat series gets a band.
    const Span values = FitValueSpan(90, 110, 440, 30, 10);
    EXPECT_NEAR(Pixel(90, values, 440), 10, 1e-9);
    EXPECT_NEAR(Pixel(110, values, 440), 410, 1e-9);
    EXPECT_EQ(Ends(FitValueSpan(10, 10, 100, 0, 0)), std::make_pair(9.5, 10.5));
    EXPECT_EQ(Ends(FitValueSpan(0, 0, 100, 0, 0)), std::make_pair(-1.0, 1.0));
    // Zooming out stops at everything; panning stops at the ends and keeps the width;
    // zooming in stops at the minimum width.
    const Span full{-1, 100};
    EXPECT_EQ(Ends(ClampView({-50, 200}, full, 4)), std::make_pair(-1.0, 100.0));
    EXPECT_EQ(Ends(ClampView({-21, -1}, full, 4)), std::make_pair(-1.0, 19.0));
    EXPECT_EQ(Ends(ClampView({95, 115}, full, 4)), std::make_pair(80.0, 100.0));
    EXPECT_EQ(Ends(ClampView({40, 60}, full, 4)), std::make_pair(40.0, 60.0));
    EXPECT_EQ(Ends(ClampView({50, 50.5}, {0, 100}, 4)), std::make_pair(48.25, 52.25));
}

TEST(ChartGeometry, CandleShapesAndMarkThinning)
{
    // Pixel rows grow downwards: a rising candle has its close above its open.
    const CandleShape shape = CandleShapeAt(100.2, 80, 60, 95, 70);
    EXPECT_EQ(shape.body, QRect(98, 70, 4, 11));
    EXPECT_EQ(shape.inside, QRect(99, 71, 2, 9));
    EXPECT_EQ(shape.wick, QRect(shape.wick.left(), 60, 1, 36));
    EXPECT_TRUE(shape.body.contains(shape.wick.left(), 75));
    EXPECT_TRUE(CandleShapeAt(50, 40, 30, 45, 40).inside.isEmpty()); // a flat body
    // High below low (a brick) and a close below the low: still valid rectangles.
    const CandleShape odd = CandleShapeAt(50, 40, 70, 20, 90);
    EXPECT_TRUE(odd.body.isValid());
    EXPECT_EQ(std::make_pair(odd.wick.top(), odd.wick.bottom()), std::make_pair(20, 70));
    // One mark per label width: 3 points of 12.8 px would be 38.4 px, too narrow for 40.
    EXPECT_EQ(std::vector<int>({MarkStep(1.0, 50), MarkStep(100, 50), MarkStep(12.8, 40), MarkStep(0, 50)}),
              std::vector<int>({50, 1, 4, 1}));
    EXPECT_EQ(MarkStep(0.001, 50), 50'000);
    EXPECT_EQ(FirstMarkIndex(101, 4), 104);
    EXPECT_EQ(FirstMarkIndex(100, 4), 100);
}

// A line of points at their indexes gives the same footprint read run by run as point by
// point: crowded and sparse, in view and beyond it, with gaps of values that are no numbers.
TEST(ChartGeometry, IndexedLineFootprintAsPointByPoint)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 200; ++round) {
        std::vector<double> values(1 + random() % 3000);
        for (double &v : values)
            v = unit(random) < 0.01 ? (unit(random) < 0.5 ? NAN : INFINITY) : 100 * unit(random);
        const double dx = round % 4 == 0 ? 0.3 + 2 * unit(random) : std::pow(10, -4 * unit(random));
        const double x0 = -50 + 100 * unit(random), y0 = 300 * unit(random), dy = -3 + 6 * unit(random);
        const long long first = random() % values.size();
        const long long n = 1 + random() % (values.size() - first);
        const auto value = [&](long long i) { return values[static_cast<std::size_t>(i)]; };
        LineFootprint byRuns(-20, 400), byPoints(-20, 400);
        byRuns.AddIndexedPolyline(first, n, x0, dx, y0, dy, value);
        byPoints.AddPolyline(n, [&](long long k) {
            return QPointF(x0 + dx * static_cast<double>(first + k), y0 + dy * value(first + k));
        });
        ASSERT_TRUE(byRuns == byPoints) << "round " << round;
    }
}

TEST(ChartGeometry, LineFootprintsAndMarkPlacing)
{
    // A line from (10, 50) to (30, 10) within columns 0 … 99: at x 20 it passes y 30.
    LineFootprint rising(0, 100);
    rising.AddSegment({10, 50}, {30, 10});
    EXPECT_TRUE(rising.Crosses(QRectF(19, 25, 2, 10)));
    EXPECT_FALSE(rising.Crosses(QRectF(19, 5, 2, 10)));  // above it at x 19 … 21
    EXPECT_FALSE(rising.Crosses(QRectF(31, 0, 20, 100))); // right of it
    EXPECT_TRUE(rising.Crosses(QRectF(0, 49.5, 10.5, 1))); // its first point
    LineFootprint vertical(0, 100);
    vertical.AddSegment({40, 10}, {40, 90});
    vertical.AddSegment({60, NAN}, {70, 20}); // a gap in the line draws nothing
    EXPECT_TRUE(vertical.Crosses(QRectF(39, 50, 2, 2)));
    EXPECT_FALSE(vertical.Crosses(QRectF(60, 0, 20, 100)));
    // A crowded polyline: forty points within column 5 between y 10 and 20, then a step
    // to (8, 40), a gap, and a last stretch from (20, 60) to (22, 62).
    const std::vector<QPointF> crowded = [] {
        std::vector<QPointF> p;
        for (int k = 0; k < 40; ++k)
            p.emplace_back(5 + k / 40.0, k % 2 ? 10 + k / 4.0 : 20 - k / 4.0);
        p.insert(p.end(), {{8, 40}, {9, NAN}, {20, 60}, {22, 62}});
        return p;
    }();
    LineFootprint polyline(0, 30);
    polyline.AddPolyline(static_cast<long long>(crowded.size()), [&](long long k) { return crowded[k]; });
    EXPECT_TRUE(polyline.Crosses(QRectF(5, 14, 0.5, 1)));
    EXPECT_FALSE(polyline.Crosses(QRectF(5, 21, 0.5, 3)));
    EXPECT_TRUE(polyline.Crosses(QRectF(7, 30, 0.5, 3)));   // the step from column 5 to 8
    EXPECT_FALSE(polyline.Crosses(QRectF(10, 0, 9.5, 100))); // the gap
    EXPECT_TRUE(polyline.Crosses(QRectF(21, 61, 0.5, 0.5)));

    // A peak at (50, 50) between two falling flanks: its mark stands above it; a trough
    // at (80, 80) gets its mark below; a second mark over the peak is left out; a mark
    // that would stand out of the area moves inside (beside its point, or to the other
    // side of it), or is left out when it cannot.
    LineFootprint peak(0, 100);
    peak.AddSegment({20, 80}, {50, 50});
    peak.AddSegment({50, 50}, {80, 80});
    const QRectF area(0, 0, 100, 100);
    const std::vector<MarkCandidate> candidates = {
        {0, 1, {50, 50}, {20, 10}, true},  {0, 2, {80, 80}, {20, 10}, false},
        {1, 7, {50, 50}, {20, 10}, true},  {0, 3, {96, 20}, {20, 10}, true},
        {0, 4, {50, 3}, {20, 10}, true},   {0, 5, {3, 95}, {200, 10}, true}};
    const std::vector<PlacedMark> placed = PlaceMarks(candidates, {&peak}, area, 2, 8);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[0].index, 1);
    EXPECT_EQ(placed[0].box, QRectF(40, 31, 20, 10)); // 9 pixels above the point, centred
    EXPECT_EQ(placed[1].index, 2);
    EXPECT_EQ(placed[1].box, QRectF(70, 89, 20, 10)); // below the trough
    EXPECT_EQ(placed[2].index, 3);
    EXPECT_EQ(placed[2].box, QRectF(77, 1, 20, 10)); // ends at its point, inside the area
    EXPECT_EQ(placed[3].index, 4);
    EXPECT_EQ(placed[3].box, QRectF(40, 12, 20, 10)); // no room above: below it
    for (const PlacedMark &m : placed) {
        EXPECT_TRUE(area.contains(m.box));
        EXPECT_FALSE(peak.Crosses(m.box));
    }
}

TEST(ChartGeometry, CrowdedCandlesMergeAndSampleCandlesAreAConsistentWalk)
{
    // Whole bins of 3 indexes.
    EXPECT_EQ(Binned(2.5, true, {{0, 10, 12, 9, 11}, {1, 11, 15, 10, 14}, {2, 14, 14, 8, 9}, {3, 9, 10, 7, 8},
                                 {4, 8, 9, 6, 7}, {5, 7, 20, 7, 19}, {6, 19, 21, 18, 20}}),
              (Candles{{1, 10, 15, 8, 9}, {4, 9, 20, 6, 19}, {7, 19, 21, 18, 20}}));
    EXPECT_EQ(Binned(1, true, {{0, 1, 2, 0, 1}, {1, 1, 2, 0, 1}, {2, 1, 2, 0, 1}}).size(), 3u);
    // Dated bins keep gaps and put high and low in order.
    EXPECT_EQ(Binned(0.5, false, {{38000.1, 5, 4, 6, 5}, {38000.3, 5, 7, 5, 6}, {38003.2, 6, 7, 5, 6}}),
              (Candles{{38000.25, 5, 7, 4, 6}, {38003.25, 6, 7, 5, 6}}));

    const std::vector<Candle> candles = SampleCandles(100, 12345);
    ASSERT_EQ(candles.size(), 100u);
    int rising = 0;
    for (int i = 0; i < 100; ++i) {
        const Candle &c = candles[static_cast<std::size_t>(i)];
        EXPECT_EQ(c.x, i);
        EXPECT_TRUE(c.low > 0 && c.low <= std::min(c.open, c.close)) << i;
        EXPECT_GE(c.high, std::max(c.open, c.close)) << i;
        rising += c.close > c.open;
    }
    EXPECT_TRUE(rising > 10 && rising < 90) << rising;
    EXPECT_TRUE(SampleCandles(0, 1).empty() && SampleCandles(-5, 1).empty());
}

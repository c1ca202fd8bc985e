// Chart geometry without a widget: fitting the view, limits of zoom and pan, the pixels
// of a candle, thinning of marks, merging of crowded candles, demonstration candles.

#include "chartgeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

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

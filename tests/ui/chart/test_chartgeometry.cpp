// Chart geometry without a widget: fitting the view, limits of zoom and pan, the pixels
// of a candle, thinning of marks, merging of crowded candles, demonstration candles.

#include "chartgeometry.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvala::chart;

namespace {

// Pixel of v on an axis of widthPx pixels showing span.
double Pixel(double v, Span span, double widthPx)
{
    return (v - span.first) / span.Width() * widthPx;
}

} // namespace

TEST(FitKeySpan, DataEndsLandPadPixelsInside)
{
    const Span span = FitKeySpan(0, 99, 2, 1000, 10);
    EXPECT_NEAR(Pixel(0, span, 1000), 10, 1e-9);
    EXPECT_NEAR(Pixel(99, span, 1000), 990, 1e-9);
}

TEST(FitKeySpan, SinglePointGetsTheMinimumSpanAroundIt)
{
    const Span span = FitKeySpan(5, 5, 2, 1000, 0);
    EXPECT_DOUBLE_EQ(span.first, 4);
    EXPECT_DOUBLE_EQ(span.last, 6);
    // A tiny axis gets no padding rather than an inverted span.
    const Span tiny = FitKeySpan(0, 10, 2, 10, 8);
    EXPECT_DOUBLE_EQ(tiny.first, 0);
    EXPECT_DOUBLE_EQ(tiny.last, 10);
}

TEST(FitValueSpan, RoomAboveForMarksAndBelow)
{
    const Span span = FitValueSpan(90, 110, 440, 30, 10);
    // Pixels counted from the bottom: 110 sits 30 px below the top, 90 sits 10 px up.
    EXPECT_NEAR(Pixel(90, span, 440), 10, 1e-9);
    EXPECT_NEAR(Pixel(110, span, 440), 410, 1e-9);
}

TEST(FitValueSpan, FlatSeriesGetsABand)
{
    const Span flat = FitValueSpan(10, 10, 100, 0, 0);
    EXPECT_DOUBLE_EQ(flat.first, 9.5);
    EXPECT_DOUBLE_EQ(flat.last, 10.5);
    const Span zero = FitValueSpan(0, 0, 100, 0, 0);
    EXPECT_DOUBLE_EQ(zero.first, -1);
    EXPECT_DOUBLE_EQ(zero.last, 1);
}

TEST(ClampView, ZoomOutStopsAtEverything)
{
    const Span full{-1, 100};
    const Span out = ClampView({-50, 200}, full, 4);
    EXPECT_DOUBLE_EQ(out.first, -1);
    EXPECT_DOUBLE_EQ(out.last, 100);
}

TEST(ClampView, PanStopsAtTheEndsAndKeepsTheWidth)
{
    const Span full{-1, 100};
    const Span left = ClampView({-21, -1}, full, 4);
    EXPECT_DOUBLE_EQ(left.first, -1);
    EXPECT_DOUBLE_EQ(left.last, 19);
    const Span right = ClampView({95, 115}, full, 4);
    EXPECT_DOUBLE_EQ(right.first, 80);
    EXPECT_DOUBLE_EQ(right.last, 100);
    const Span inside = ClampView({40, 60}, full, 4);
    EXPECT_DOUBLE_EQ(inside.first, 40);
}

TEST(ClampView, ZoomInStopsAtTheMinimumWidth)
{
    const Span view = ClampView({50, 50.5}, {0, 100}, 4);
    EXPECT_DOUBLE_EQ(view.first, 48.25);
    EXPECT_DOUBLE_EQ(view.last, 52.25);
}

TEST(CandleShape, BodyIsFourPixelsWideFromOpenToClose)
{
    // Pixel rows grow downwards: a rising candle has its close above its open.
    const CandleShape shape = CandleShapeAt(100.2, 80, 60, 95, 70);
    EXPECT_EQ(shape.body.width(), 4);
    EXPECT_EQ(shape.body.left(), 98);
    EXPECT_EQ(shape.body.top(), 70);
    EXPECT_EQ(shape.body.bottom(), 80);
    EXPECT_EQ(shape.inside, QRect(99, 71, 2, 9));
    EXPECT_EQ(shape.wick.width(), 1);
    EXPECT_EQ(shape.wick.top(), 60);
    EXPECT_EQ(shape.wick.bottom(), 95);
    EXPECT_TRUE(shape.body.contains(shape.wick.left(), 75));
}

TEST(CandleShape, FlatBodyHasNoInsideAndPricesInAnyOrderDraw)
{
    const CandleShape doji = CandleShapeAt(50, 40, 30, 45, 40);
    EXPECT_EQ(doji.body.height(), 1);
    EXPECT_TRUE(doji.inside.isEmpty());
    // High below low (a brick) and a close below the low: still valid rectangles.
    const CandleShape odd = CandleShapeAt(50, 40, 70, 20, 90);
    EXPECT_TRUE(odd.body.isValid());
    EXPECT_TRUE(odd.wick.isValid());
    EXPECT_EQ(odd.wick.top(), 20);
    EXPECT_EQ(odd.wick.bottom(), 70);
}

TEST(MarkThinning, OneLabelPerLabelWidth)
{
    EXPECT_EQ(MarkStep(1.0, 50), 50);
    EXPECT_EQ(MarkStep(100, 50), 1);
    EXPECT_EQ(MarkStep(12.8, 40), 4);   // 3 points would be 38.4 px, too narrow
    EXPECT_EQ(MarkStep(0.001, 50), 50'000);
    EXPECT_EQ(MarkStep(0, 50), 1);
    EXPECT_EQ(FirstMarkIndex(101, 4), 104);
    EXPECT_EQ(FirstMarkIndex(100, 4), 100);
    EXPECT_EQ(FirstMarkIndex(0, 3), 0);
}

TEST(CandleBinner, MergesRunsOfIndexesIntoOneCandle)
{
    CandleBinner binner(2.5, true); // whole bins of 3 indexes
    const double prices[7][4] = {{10, 12, 9, 11}, {11, 15, 10, 14}, {14, 14, 8, 9},
                                 {9, 10, 7, 8},   {8, 9, 6, 7},     {7, 20, 7, 19},
                                 {19, 21, 18, 20}};
    for (int i = 0; i < 7; ++i)
        binner.Add({double(i), prices[i][0], prices[i][1], prices[i][2], prices[i][3]});
    const std::vector<Candle> bins = binner.Take();
    ASSERT_EQ(bins.size(), 3u);
    EXPECT_DOUBLE_EQ(bins[0].x, 1);
    EXPECT_DOUBLE_EQ(bins[0].open, 10);
    EXPECT_DOUBLE_EQ(bins[0].high, 15);
    EXPECT_DOUBLE_EQ(bins[0].low, 8);
    EXPECT_DOUBLE_EQ(bins[0].close, 9);
    EXPECT_DOUBLE_EQ(bins[1].x, 4);
    EXPECT_DOUBLE_EQ(bins[1].high, 20);
    EXPECT_DOUBLE_EQ(bins[1].low, 6);
    EXPECT_DOUBLE_EQ(bins[1].close, 19);
    EXPECT_DOUBLE_EQ(bins[2].x, 7);
    EXPECT_DOUBLE_EQ(bins[2].open, 19);
}

TEST(CandleBinner, NarrowBinsMergeNothing)
{
    CandleBinner binner(1, true);
    for (int i = 0; i < 5; ++i)
        binner.Add({double(i), 1, 2, 0, 1});
    const std::vector<Candle> all = binner.Take();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_DOUBLE_EQ(all[3].x, 3);
}

TEST(CandleBinner, DatedBinsKeepGapsAndNormaliseHighAndLow)
{
    CandleBinner binner(0.5, false);
    binner.Add({38000.1, 5, 4, 6, 5});   // high below low
    binner.Add({38000.3, 5, 7, 5, 6});
    binner.Add({38003.2, 6, 7, 5, 6});   // after a gap
    const std::vector<Candle> bins = binner.Take();
    ASSERT_EQ(bins.size(), 2u);
    EXPECT_DOUBLE_EQ(bins[0].x, 38000.25);
    EXPECT_DOUBLE_EQ(bins[0].high, 7);
    EXPECT_DOUBLE_EQ(bins[0].low, 4);
    EXPECT_DOUBLE_EQ(bins[1].x, 38003.25);
}

TEST(SampleCandles, ConsistentRandomWalk)
{
    for (const std::uint32_t seed : {1u, 2u, 12345u}) {
        const std::vector<Candle> candles = SampleCandles(100, seed);
        ASSERT_EQ(candles.size(), 100u);
        int rising = 0;
        for (int i = 0; i < 100; ++i) {
            const Candle &c = candles[static_cast<std::size_t>(i)];
            EXPECT_DOUBLE_EQ(c.x, i);
            EXPECT_LE(c.low, std::min(c.open, c.close));
            EXPECT_GE(c.high, std::max(c.open, c.close));
            EXPECT_GT(c.low, 0);
            rising += c.close > c.open;
        }
        EXPECT_GT(rising, 10);
        EXPECT_LT(rising, 90);
    }
    EXPECT_TRUE(SampleCandles(0, 1).empty());
    EXPECT_TRUE(SampleCandles(-5, 1).empty());
}

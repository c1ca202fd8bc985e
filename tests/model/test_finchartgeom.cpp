#include "finchartgeom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace korvala;

namespace {

using Segments = std::vector<TChartSegment>;

void Load(TFList &list, const std::vector<std::string> &closes)
{
    std::string text = "header\r\n";
    for (const std::string &c : closes)
        text += "01.12.05;10:00;" + c + ";" + c + ";" + c + ";" + c + ";1\r\n";
    list.LoadFromStream(text);
}

TChartOptions AllLayers()
{
    TChartOptions o;
    o.ShowMA3x3 = true;
    return o;
}

} // namespace

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(77.5), 78);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999999), 2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(INFINITY), 1LL << 40);
    EXPECT_EQ(RoundHalfEven(-1e300), -(1LL << 40));
}

TEST(Geometry, PlotRectangleScaleRowsAndPrices)
{
    // 400 x 400: plot 30, 80, 340, 240; prices 100 … 116, 10 pixels per unit.
    const TFinChartGeometry g(400, 400, 100, 116, 3);
    EXPECT_EQ(g.Left(), 30);
    EXPECT_EQ(g.Top(), 80);
    EXPECT_EQ(g.Right(), 340);
    EXPECT_EQ(g.Bottom(), 240);
    EXPECT_DOUBLE_EQ(g.Scale(), 10);
    EXPECT_EQ(g.Y(100), 240);
    EXPECT_EQ(g.Y(116), 80);
    EXPECT_EQ(g.Y(105.25), 188); // 52.5 rounds to 52
    EXPECT_EQ(g.Y(105.35), 187); // 53.5 rounds to 54
    EXPECT_EQ(g.Y(0), 1240);
    EXPECT_DOUBLE_EQ(g.PriceAtY(240), 100);
    EXPECT_DOUBLE_EQ(g.PriceAtY(80), 116);
    EXPECT_DOUBLE_EQ(g.PriceAtY(160), 108);
    EXPECT_DOUBLE_EQ(g.PriceAtY(0), 124);
}

TEST(Geometry, StepsCountLeftwardsFromTheRightEdge)
{
    // Three visible quotes: four steps of 77.5 pixels.
    const TFinChartGeometry g(400, 400, 100, 116, 3);
    EXPECT_EQ(g.X(0), 340);
    EXPECT_EQ(g.X(1), 262); // 77.5 → 78
    EXPECT_EQ(g.X(2), 185);
    EXPECT_EQ(g.X(3), 108); // 232.5 → 232
    EXPECT_EQ(g.X(4), 30);  // the left edge
    EXPECT_EQ(g.X(5), -48); // 387.5 → 388
    // One visible quote stands in the middle of the plot.
    const TFinChartGeometry one(400, 400, 100, 116, 1);
    EXPECT_EQ(one.X(1), 340 - 155);
}

TEST(Geometry, GridLinesEveryTenthOfTheRange)
{
    const TFinChartGeometry g(400, 400, 100, 116, 3);
    for (int i = 0; i <= 9; ++i) {
        EXPECT_EQ(g.GridY(i), 240 - 16 * i) << i;
        EXPECT_DOUBLE_EQ(g.GridPrice(i), 100 + 1.6 * i) << i;
    }
}

TEST(Geometry, ZeroRangeAndZeroHeightStayFinite)
{
    // All prices equal: everything on the bottom row, every row reads the one price.
    const TFinChartGeometry flat(400, 400, 50, 50, 3);
    EXPECT_EQ(flat.Scale(), 0);
    EXPECT_EQ(flat.Y(50), 240);
    EXPECT_EQ(flat.Y(0), 240);
    EXPECT_EQ(flat.GridY(5), 240);
    EXPECT_EQ(flat.PriceAtY(10), 50);

    // A 240-pixel-high control: bottom = top.
    const TFinChartGeometry low(400, 240, 100, 116, 3);
    EXPECT_EQ(low.Top(), low.Bottom());
    EXPECT_EQ(low.Scale(), 0);
    EXPECT_EQ(low.PriceAtY(0), 100);
    EXPECT_EQ(low.PriceAtY(80), 100);
    EXPECT_EQ(low.Y(116), 80);

    const TFinChartGeometry both(400, 240, 7, 7, 0);
    EXPECT_EQ(both.PriceAtY(3), 7);
    EXPECT_EQ(both.Y(7), 80);
    EXPECT_EQ(both.X(1), 340 - 310);

    // An empty list keeps its start extremes: a negative range, still finite.
    const TFinChartGeometry empty(400, 400, TFList::kMinStart, 0, 0);
    EXPECT_TRUE(std::isfinite(empty.PriceAtY(100)));
    EXPECT_DOUBLE_EQ(empty.GridPrice(1), 900000000);
}

// Closes 10, 11, 12, 11, 10, 13 (pivots on 2, 4, 5), 6 visible quotes in a plot of 280
// pixels: steps of 40, X(k) = 310 - 40 k. Prices 10 … 13 over 160 rows: 53.33 per unit.
class SmallChart : public ::testing::Test
{
protected:
    void SetUp() override { Load(list, {"10", "11", "12", "11", "10", "13"}); }
    TFList list;
    const TFinChartGeometry g{370, 400, 10, 13, 6};
};

TEST_F(SmallChart, CloseLineFromTheNewestQuoteToIndexOne)
{
    const TChartLayers layers = BuildChartLayers(list, g, AllLayers());
    // Rows: 13 → 80, 12 → 133, 11 → 187, 10 → 240.
    EXPECT_EQ(layers.Close, (Segments{{270, 80, 230, 240}, {230, 240, 190, 187},
                                      {190, 187, 150, 133}, {150, 133, 110, 187}}));
}

TEST_F(SmallChart, ZigzagJoinsTheEnabledPivots)
{
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Zigzag,
              (Segments{{270, 80, 230, 240}, {230, 240, 150, 133}}));
    list.Items(4)->PivotEnabled = false;
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Zigzag, (Segments{{270, 80, 150, 133}}));
}

TEST_F(SmallChart, MarksOneStepRightOfTheirPivot)
{
    // Only the newest pivot has levels: Retrace382 11.854 → row 141, Retrace681 10.957
    // → row 189, on the right edge. The other pivots' levels are 0, far below.
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).ResSup,
              (std::vector<TChartSquare>{{310, 141}, {310, 189}}));
}

TEST_F(SmallChart, TargetLinesRunIntoTheRightMargin)
{
    // OP 9 → 293, COP 10.146 → 232, XOP 7.146 → 392, from the pivot's column to 320.
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Targets,
              (Segments{{270, 232, 320, 232}, {270, 293, 320, 293}, {270, 392, 320, 392}}));
    TChartOptions none = AllLayers();
    none.Period = 0;
    EXPECT_TRUE(BuildChartLayers(list, g, none).Targets.empty());
}

TEST_F(SmallChart, AverageStartsWithAThreeStepSegment)
{
    // MA3 of item 3 (11.333 → 169) at step 1, then items 2 and 1 (11 → 187) at steps 4, 5.
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Average,
              (Segments{{270, 169, 150, 187}, {150, 187, 110, 187}}));
}

TEST_F(SmallChart, SwitchedOffLayersAreEmpty)
{
    TChartOptions off;
    off.ShowClose = off.ShowZigzag = off.ShowResSup = off.ShowTargets = off.ShowMA3x3 = false;
    const TChartLayers layers = BuildChartLayers(list, g, off);
    EXPECT_TRUE(layers.Close.empty() && layers.Zigzag.empty() && layers.ResSup.empty()
                && layers.Targets.empty() && layers.Average.empty());
}

TEST(ChartLayers, ZigzagStartsAtTheNewestPivotWhenTheNewestQuoteHasNone)
{
    TFList list;
    Load(list, {"10", "11", "12", "11", "10", "13", "13"}); // the last close repeats 13
    ASSERT_EQ(list.Items(6)->Pivot, 0);
    const TFinChartGeometry g(410, 400, 10, 13, 7); // steps of 40 again: X(k) = 350 - 40 k
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Zigzag,
              (Segments{{270, 80, 230, 240}, {230, 240, 150, 133}}));
}

TEST(ChartLayers, TinyListsDrawNoLines)
{
    TFList one;
    Load(one, {"5"});
    const TFinChartGeometry g(400, 400, 5, 5, 1);
    const TChartLayers layers = BuildChartLayers(one, g, AllLayers());
    EXPECT_TRUE(layers.Close.empty());
    EXPECT_TRUE(layers.Zigzag.empty());
    EXPECT_TRUE(layers.Average.empty());

    TFList three;
    Load(three, {"1", "2", "3"});
    EXPECT_TRUE(BuildChartLayers(three, TFinChartGeometry(400, 400, 1, 3, 3), AllLayers())
                    .Average.empty());
}

TEST(ChartLayers, QuotesSharingAColumnBecomeOneVerticalSegment)
{
    // 1000 quotes over a plot of 280 pixels: about 3.6 quotes per column.
    TFList list;
    std::vector<std::string> closes;
    for (int i = 0; i < 1000; ++i)
        closes.push_back(std::to_string(100 + (i * 37) % 23));
    Load(list, closes);
    const TFinChartGeometry g(370, 400, list.MinLow, list.MaxHigh, list.Count());
    const Segments close = BuildChartLayers(list, g, AllLayers()).Close;
    EXPECT_LT(close.size(), 2 * 290u);
    // Every column holds at most one vertical segment.
    std::vector<int> verticals(400);
    for (const TChartSegment &s : close)
        if (s.X1 == s.X2) {
            EXPECT_LE(s.Y1, s.Y2);
            EXPECT_EQ(++verticals[static_cast<std::size_t>(s.X1)], 1) << s.X1;
        }
}

TEST(ChartLayers, WhatLiesLeftOfTheControlIsLeftOut)
{
    // Zoomed in to one step of 140 pixels: only the newest quotes reach the control.
    TFList list;
    std::vector<std::string> closes;
    for (int i = 0; i < 500; ++i)
        closes.push_back(i % 2 ? "20" : "10");
    Load(list, closes);
    const TFinChartGeometry g(370, 400, 10, 20, 1); // X(k) = 310 - 140 k
    const TChartLayers layers = BuildChartLayers(list, g, AllLayers());
    // Steps 1, 2 and 3 stand at 170, 30 and -110: one whole segment and the one that
    // crosses the edge, with its far end as computed.
    ASSERT_EQ(layers.Close.size(), 2u);
    EXPECT_EQ(layers.Close[1], (TChartSegment{30, 400 - 160, -110, 80}));
    EXPECT_EQ(layers.Zigzag.size(), 2u);
    // Marks of step 3 (x = -110) cannot reach the control.
    for (const TChartSquare &s : layers.ResSup)
        EXPECT_GE(s.X, -1);
}

TEST(ChartLayers, FarAwayEndsAreCutToTheControl)
{
    // A price range of 0.0001 over 160 rows: the close 0 lies some 10^8 rows below.
    TFList list;
    for (double c : {100.0, 0.0, 100.0001})
        list.AddNew().Close = c;
    const TFinChartGeometry g(370, 400, 100, 100.0001, 3); // X(k) = 310 - 70 k
    TChartOptions closeOnly;
    closeOnly.ShowZigzag = closeOnly.ShowResSup = closeOnly.ShowTargets = false;
    const Segments close = BuildChartLayers(list, g, closeOnly).Close;
    ASSERT_EQ(close.size(), 1u);
    // From (240, 80) towards (170, 240 + 1.6e8): it leaves the control through the
    // bottom edge almost at once, still on the line.
    const TChartSegment &s = close[0];
    EXPECT_EQ(s.X1, 240);
    EXPECT_EQ(s.Y1, 80);
    EXPECT_EQ(s.X2, 240);
    EXPECT_EQ(s.Y2, 401);
}

TEST(ChartLayers, ControlNarrowerThanItsMarginsStillPlacesEverything)
{
    // Right edge -10 left of the left edge 30: columns run the other way.
    TFList list;
    Load(list, {"1", "3", "2", "4", "3"});
    const TFinChartGeometry g(50, 400, list.MinLow, list.MaxHigh, list.Count());
    EXPECT_LT(g.X(1), g.X(2));
    const TChartLayers layers = BuildChartLayers(list, g, AllLayers());
    EXPECT_EQ(layers.Close.size(), 3u);
    for (const TChartSegment &s : layers.Close)
        EXPECT_TRUE(s.X1 >= -10 && s.X2 <= 30) << s.X1 << " " << s.X2;
    const TFinChartGeometry none(0, 0, 1, 4, 5);
    const TChartLayers empty = BuildChartLayers(list, none, AllLayers());
    EXPECT_TRUE(empty.Close.empty() && empty.ResSup.empty() && empty.Targets.empty());
}

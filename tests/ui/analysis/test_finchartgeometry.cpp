#include "finchartgeometry.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace korvala;

namespace {

using Segments = std::vector<ChartSegment>;

void Load(TFList &list, const std::vector<double> &closes)
{
    list.LoadFromStream(test::QuoteText(test::FlatQuoteLines(closes)));
}

ChartOptions AllLayers()
{
    ChartOptions o;
    o.ShowMA3x3 = true;
    return o;
}

} // namespace

TEST(Geometry, RoundHalfEvenPlotRectangleRowsPricesStepsAndGrid)
{
    const std::pair<double, long long> cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},         {77.5, 78},      {-0.5, 0},  {-1.5, -2},
        {-2.5, -2}, {-2.6, -3}, {2.4999999, 2},   {2.5000001, 3},  {std::nan(""), 0},
        {INFINITY, 1LL << 40},  {-1e300, -(1LL << 40)}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;

    // 400 x 400: plot 30, 80, 340, 240; prices 100 … 116, 10 pixels per unit.
    const FinChartGeometry g(400, 400, 100, 116, 3);
    EXPECT_EQ(std::vector<int>({g.Left(), g.Top(), g.Right(), g.Bottom()}),
              std::vector<int>({30, 80, 340, 240}));
    EXPECT_EQ(g.Y(100), 240);
    EXPECT_EQ(g.Y(116), 80);
    EXPECT_EQ(g.Y(105.25), 188); // 52.5 rounds to 52
    EXPECT_EQ(g.Y(105.35), 187); // 53.5 rounds to 54
    EXPECT_DOUBLE_EQ(g.PriceAtY(160), 108);
    EXPECT_DOUBLE_EQ(g.PriceAtY(0), 124);
    // Three visible quotes: four steps of 77.5 pixels leftwards from the right edge.
    const long long xs[] = {340, 262, 185, 108, 30, -48}; // 77.5 → 78, 232.5 → 232, 387.5 → 388
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(g.X(k), xs[k]) << k;
    EXPECT_EQ(FinChartGeometry(400, 400, 100, 116, 1).X(1), 340 - 155); // one quote: the middle
    for (int i = 0; i <= 9; ++i) {
        EXPECT_EQ(g.GridY(i), 240 - 16 * i) << i;
        EXPECT_DOUBLE_EQ(g.GridPrice(i), 100 + 1.6 * i) << i;
    }
}

TEST(Geometry, ZeroRangeAndZeroHeightStayFinite)
{
    // All prices equal: everything on the bottom row, every row reads the one price.
    const FinChartGeometry flat(400, 400, 50, 50, 3);
    EXPECT_EQ(flat.Y(0), 240);
    EXPECT_EQ(flat.GridY(5), 240);
    EXPECT_EQ(flat.PriceAtY(10), 50);
    // A 240-pixel-high control: bottom = top.
    const FinChartGeometry low(400, 240, 100, 116, 3);
    EXPECT_EQ(low.Top(), low.Bottom());
    EXPECT_EQ(low.PriceAtY(0), 100);
    EXPECT_EQ(low.Y(116), 80);
    EXPECT_EQ(FinChartGeometry(400, 240, 7, 7, 0).X(1), 340 - 310);
    // An empty list keeps its start extremes: a negative range, still finite.
    const FinChartGeometry empty(400, 400, TFList::kMinStart, 0, 0);
    EXPECT_TRUE(std::isfinite(empty.PriceAtY(100)));
    EXPECT_DOUBLE_EQ(empty.GridPrice(1), 900000000);
}

// Closes 10, 11, 12, 11, 10, 13 (pivots on 2, 4, 5), 6 visible quotes in a plot of 280
// pixels: steps of 40, X(k) = 310 - 40 k. Rows: 13 → 80, 12 → 133, 11 → 187, 10 → 240.
TEST(ChartLayers, TheSmallChart)
{
    TFList list;
    Load(list, {10, 11, 12, 11, 10, 13});
    const FinChartGeometry g(370, 400, 10, 13, 6);
    const ChartLayers layers = BuildChartLayers(list, g, AllLayers());
    // The close line from the newest quote to index 1.
    EXPECT_EQ(layers.Close, (Segments{{270, 80, 230, 240}, {230, 240, 190, 187}, {190, 187, 150, 133},
                                      {150, 133, 110, 187}}));
    EXPECT_EQ(layers.Zigzag, (Segments{{270, 80, 230, 240}, {230, 240, 150, 133}}));
    // Only the newest pivot has levels: Retrace382 11.854 → row 141, Retrace681 10.957 →
    // row 189, one step right of the pivot; the others lie at price 0, far below.
    EXPECT_EQ(layers.ResSup, (std::vector<ChartSquare>{{310, 141}, {310, 189}}));
    // OP 9 → 293, COP 10.146 → 232, XOP 7.146 → 392, from the pivot's column into the margin.
    EXPECT_EQ(layers.Targets, (Segments{{270, 232, 320, 232}, {270, 293, 320, 293}, {270, 392, 320, 392}}));
    // MA3 of item 3 (11.333 → 169) at step 1, then items 2 and 1 (11 → 187) at steps 4, 5.
    EXPECT_EQ(layers.Average, (Segments{{270, 169, 150, 187}, {150, 187, 110, 187}}));

    list.Items(4)->PivotEnabled = false;
    ChartOptions options = AllLayers();
    options.Period = 0;
    options.ShowClose = options.ShowResSup = options.ShowMA3x3 = false;
    const ChartLayers fewer = BuildChartLayers(list, g, options);
    EXPECT_EQ(fewer.Zigzag, (Segments{{270, 80, 150, 133}}));
    EXPECT_TRUE(fewer.Targets.empty() && fewer.Close.empty());
    EXPECT_TRUE(fewer.ResSup.empty() && fewer.Average.empty());
}

TEST(ChartLayers, ZigzagStartsAtTheNewestPivotWhenTheNewestQuoteHasNone)
{
    TFList list;
    Load(list, {10, 11, 12, 11, 10, 13, 13}); // the last close repeats 13
    const FinChartGeometry g(410, 400, 10, 13, 7);         // X(k) = 350 - 40 k
    EXPECT_EQ(BuildChartLayers(list, g, AllLayers()).Zigzag,
              (Segments{{270, 80, 230, 240}, {230, 240, 150, 133}}));
    // One quote draws no line; the average needs at least four.
    Load(list, {5});
    const ChartLayers one = BuildChartLayers(list, FinChartGeometry(400, 400, 5, 5, 1), AllLayers());
    EXPECT_TRUE(one.Close.empty() && one.Zigzag.empty() && one.Average.empty());
    Load(list, {1, 2, 3});
    EXPECT_TRUE(BuildChartLayers(list, FinChartGeometry(400, 400, 1, 3, 3), AllLayers()).Average.empty());
}

TEST(ChartLayers, FarAndNarrowChartsStayInsideTheControl)
{
    // A price range of 0.0001 over 160 rows: the close 0 lies some 10^8 rows below; the line
    // leaves the control through its bottom edge, still on the line.
    TFList far;
    for (double c : {100.0, 0.0, 100.0001})
        far.AddNew().Close = c;
    ChartOptions closeOnly;
    closeOnly.ShowZigzag = closeOnly.ShowResSup = closeOnly.ShowTargets = false;
    EXPECT_EQ(BuildChartLayers(far, FinChartGeometry(370, 400, 100, 100.0001, 3), closeOnly).Close,
              (Segments{{240, 80, 240, 401}}));

    // Right edge -10 left of the left edge 30: columns run the other way.
    TFList list;
    Load(list, {1, 3, 2, 4, 3});
    const FinChartGeometry narrow(50, 400, list.MinLow, list.MaxHigh, list.Count());
    EXPECT_LT(narrow.X(1), narrow.X(2));
    const Segments reversed = BuildChartLayers(list, narrow, AllLayers()).Close;
    EXPECT_EQ(reversed.size(), 3u);
    for (const ChartSegment &s : reversed)
        EXPECT_TRUE(s.X1 >= -10 && s.X2 <= 30) << s.X1 << " " << s.X2;
    EXPECT_TRUE(BuildChartLayers(list, FinChartGeometry(0, 0, 1, 4, 5), AllLayers()).Close.empty());
}

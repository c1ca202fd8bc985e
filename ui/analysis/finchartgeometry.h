#pragma once

// The analysis chart's pixel geometry in plain functions: the plot rectangle, the row of
// a price and the column of a quote, and the shapes of each layer.

#include "quotes.h"

#include <vector>

namespace korvala {

// Nearest whole number, halves to the even neighbour (2.5 → 2, 3.5 → 4, -2.5 → -2).
// Pixel arithmetic never sees NaN or infinity: NaN gives 0 and magnitudes are held
// within ±2^40.
long long RoundHalfEven(double value);

// Plot geometry of the analysis chart for a control of width × height pixels: the plot
// rectangle (margins 30 left, 80 top, 60 right, 160 bottom), the price scale over
// MinLow … MaxHigh and the horizontal step of the zoom.
//
// Degenerate cases: a zero price range (MaxHigh = MinLow) gives scale 0, so every price
// stands on the bottom row; a plot of zero height (a 240-pixel-high control) also has
// scale 0 and PriceAtY answers MinLow for every row.
class FinChartGeometry final
{
public:
    static constexpr int kMarginLeft = 30;
    static constexpr int kMarginTop = 80;
    static constexpr int kMarginRight = 60;
    static constexpr int kMarginBottom = 160;

    FinChartGeometry(int width, int height, double minLow, double maxHigh,
                      long long visibleCount);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    double MinLow() const { return m_minLow; }
    double Range() const { return m_range; }
    double Scale() const { return m_scale; }

    // Row of a price: bottom − round((p − MinLow) × scale).
    long long Y(double price) const;
    // Price of a row: range × (bottom − y) / (bottom − top) + MinLow.
    double PriceAtY(long long y) const;
    // Column of step k counted leftwards from the right edge:
    // right − round(k × (right − left) / (visibleCount + 1)).
    long long X(long long k) const;

    // Grid line i (0 … 9): the row bottom − round(scale × range × i / 10) and its price.
    long long GridY(int i) const;
    double GridPrice(int i) const;

private:
    int m_width;
    int m_height;
    int m_left;
    int m_top;
    int m_right;
    int m_bottom;
    double m_minLow;
    double m_range;
    double m_scale;
    double m_steps; // visibleCount + 1
};

// The chart's drawing as primitives in control pixels.
struct ChartSegment
{
    long long X1 = 0;
    long long Y1 = 0;
    long long X2 = 0;
    long long Y2 = 0;
    bool operator==(const ChartSegment &) const = default;
};

// A resistance/support mark: the square (X − 2, Y − 2) … (X + 2, Y + 2), right and
// bottom exclusive.
struct ChartSquare
{
    long long X = 0;
    long long Y = 0;
    bool operator==(const ChartSquare &) const = default;
};

struct ChartOptions
{
    bool ShowClose = true;
    bool ShowZigzag = true;
    bool ShowResSup = true;
    bool ShowTargets = true;
    bool ShowMA3x3 = false;
    int Period = 3; // pivots with target lines
};

// The five layers, each in one colour. Every line is meant to be drawn 1 pixel wide,
// aliased, with both end points, so a layer's picture is the union of its segments.
// What lies wholly outside the control is left out and segments that would only
// repaint the pixels of others are merged (the points of a polyline that share a
// column become one vertical segment); the pixels inside the control stay those of
// the full polyline.
struct ChartLayers
{
    std::vector<ChartSquare> ResSup;
    std::vector<ChartSegment> Targets;
    std::vector<ChartSegment> Close;
    std::vector<ChartSegment> Zigzag;
    std::vector<ChartSegment> Average;
};

// Places the quotes' closes, pivots, levels, targets and 3x3 averages.
// The zigzag starts at the newest quote's pivot; when the newest quote has no pivot
// (Pivot 0) it starts at the newest enabled pivot instead of at price 0.
ChartLayers BuildChartLayers(const TFList &quotes, const FinChartGeometry &geometry,
                              const ChartOptions &options);

} // namespace korvala

#include "linebreakview.h"

#include "chart.h"
#include "linebreak.h"

#include <vector>

namespace korvala {

void FillLineBreakSeries(chart::CandleSeries &series, const TFList &list)
{
    AssignLineBricks(series, BuildLineBreakBricks(list));
}

void AssignLineBricks(chart::CandleSeries &series, const std::vector<LineBrick> &bricks)
{
    std::vector<chart::Candle> candles;
    candles.reserve(bricks.size());
    double x = 0;
    for (const LineBrick &b : bricks)
        candles.push_back({x++, b.Open, b.High, b.Low, b.Close});
    series.Assign(candles, false);
}

} // namespace korvala

#pragma once

// The tab "3 line breaking" of the main window: the bricks into the chart's series.

#include "linebreak.h"
#include "quotes.h"

#include <vector>

namespace korvala {

namespace chart {
class CandleSeries;
} // namespace chart

// BuildLineBreak's fill: clears the series and adds the line-break bricks of the list,
// brick k at position k (undated).
void FillLineBreakSeries(chart::CandleSeries &series, const TFList &list);
// The same from bricks already made.
void AssignLineBricks(chart::CandleSeries &series, const std::vector<LineBrick> &bricks);

} // namespace korvala

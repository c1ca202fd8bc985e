#pragma once

// The tab "3 line breaking" of the main window: the bricks into the chart's series.

#include "quotes.h"

namespace korvala {

namespace chart {
class CandleSeries;
} // namespace chart

// BuildLineBreak's fill: clears the series and adds the line-break bricks of the list,
// brick k at position k (undated).
void FillLineBreakSeries(chart::CandleSeries &series, const TFList &list);

} // namespace korvala

#pragma once

// One open-high-low-close point of a candle series: the value type shared by the chart's
// public API, its geometry and its plottables.

namespace korvala::chart {

struct Candle
{
    double x = 0; // index, or a date-time (days since 30.12.1899) for dated candles
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
};

} // namespace korvala::chart

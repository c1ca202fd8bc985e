#pragma once

// The indicator window's series without the window: the closes and their smoothed,
// displaced average.

#include "quotes.h"

#include <string>
#include <vector>

namespace korvala {

// The indicator window's period P and offset S when it is created.
inline constexpr int kIndicatorPeriodInitial = 7;
inline constexpr int kIndicatorOffsetInitial = 5;

// The text of the error that stops the computation at a period of 0.
inline constexpr const char *kIndicatorZeroDivide = "Floating point division by zero";

// The indicator window's two lines.
struct IndicatorSeries final
{
    // The closes, point k being quote k of the list (labelled with its DateText).
    std::vector<double> Series1;
    // Raw closes where the average is not yet defined, then the smoothed average,
    // displaced S positions forward.
    std::vector<double> Series2;
    // Empty when the computation ran to its end; else the error that stopped it (a
    // period of 0 at the first smoothing step), the series holding the points made so far.
    std::string Error;
};

// Both lines from the closes of the list with period P and offset S: an exponential
// average with weight 1/P that starts from the first close, the value at position i
// consuming close[i − S]. A negative offset shortens both lines; no quote beyond the
// list is read.
IndicatorSeries CalcIndicatorSeries(const TFList &list, int period, int offset);

} // namespace korvala

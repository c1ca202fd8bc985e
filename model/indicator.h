#pragma once

// The indicator window's series without the window: the closes and their smoothed,
// displaced average.

#include "quotes.h"

#include <stdexcept>
#include <string>
#include <utility>
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
};

// A period of 0 stops the computation at its first smoothing step: the error's text is
// kIndicatorZeroDivide, and the series as far as they got go with it (the window still
// shows them).
class IndicatorError final : public std::runtime_error
{
public:
    explicit IndicatorError(IndicatorSeries partial)
        : std::runtime_error(kIndicatorZeroDivide), Partial(std::move(partial))
    {
    }
    IndicatorSeries Partial;
};

// Both lines from the closes of the list with period P and offset S: an exponential
// average with weight 1/P that starts from the first close, the value at position i
// consuming close[i − S]. A negative offset shortens both lines; no quote beyond the
// list is read. Throws IndicatorError at a period of 0.
IndicatorSeries CalcIndicatorSeries(const TFList &list, int period, int offset);

} // namespace korvala

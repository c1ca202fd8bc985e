#include "indicator.h"

#include <algorithm>
#include <span>
#include <utility>

namespace korvala {

IndicatorSeries CalcIndicatorSeries(const TFList &list, int period, int offset)
{
    IndicatorSeries out;
    const long long n = list.Count();
    if (n < 1)
        return out;

    const std::span<const double> close = list.Closes();

    const long long p = period;
    const long long s = offset;
    const long long lastStep = n - 1 + s;
    out.Series2.reserve(static_cast<std::size_t>(std::clamp(n + s, 0LL, 2 * n)));

    double avg = close[0];
    bool stopped = false;
    long long shown = 0; // closes appended to Series1
    for (long long i = 0; i <= lastStep; ++i) {
        if (i >= n) {
            // Past the list nothing is appended until the average is defined (i ≥ P − 1)
            // and consumes a close (i − S ≥ 0): skip those empty steps at once.
            i = std::max({i, p - 1, s});
            if (i > lastStep)
                break;
        }
        if (i < p - 1) {
            if (i < n)
                out.Series2.push_back(close[static_cast<std::size_t>(i)]);
        } else {
            const long long j = i - s;
            if (j < 0) {
                if (i < n)
                    out.Series2.push_back(close[static_cast<std::size_t>(i)]);
            } else {
                if (p == 0) {
                    stopped = true;
                    break;
                }
                avg = avg + (close[static_cast<std::size_t>(j)] - avg) / static_cast<double>(p);
                out.Series2.push_back(avg);
            }
        }
        if (i < n)
            ++shown;
    }

    out.Series1.assign(close.begin(), close.begin() + shown);
    if (stopped)
        throw IndicatorError(std::move(out));
    return out;
}

} // namespace korvala

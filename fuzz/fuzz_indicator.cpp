// A quote file and the indicator's two series at a period and an offset the input
// chooses: zero, negative and huge ones included.
#include "fuzzinput.h"
#include "indicator.h"
#include "quotes.h"

#include <cstdlib>
#include <utility>

using namespace korvala;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    // Small values most of the time, any 32-bit value now and then.
    const std::uint8_t shape = input.Take<std::uint8_t>();
    int period = input.Take<std::int32_t>();
    int offset = input.Take<std::int32_t>();
    if (shape & 1)
        period %= 40;
    if (shape & 2)
        offset %= 40;
    TFList list;
    try {
        list.LoadFromStream(input.Rest());
    } catch (const ConvertError &) {
    }
    IndicatorSeries series;
    try {
        series = CalcIndicatorSeries(list, period, offset);
    } catch (IndicatorError &error) {
        if (period != 0)
            std::abort(); // only a period of 0 stops the computation
        series = std::move(error.Partial);
    }
    // The first series shows closes of the list, never more than it holds.
    if (static_cast<long long>(series.Series1.size()) > list.Count())
        std::abort();
    return 0;
}

// A quote file, then the line-break bricks, the candle range for a number of days the
// input chooses (and for two date-times it chooses, NaN and infinities included) and a
// replay run to its last frame.
#include "candles.h"
#include "fuzzinput.h"
#include "linebreak.h"
#include "quotes.h"

#include <cstdlib>
#include <utility>
#include <vector>

using namespace korvala;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const int days = input.Take<std::int32_t>();
    const double start = input.Take<double>();
    const double end = input.Take<double>();
    TFList list;
    try {
        list.LoadFromStream(input.Rest());
    } catch (const ConvertError &) {
        // The quotes before the faulty line stay: the views still draw them.
    }
    const std::vector<LineBrick> bricks = BuildLineBreakBricks(list);
    if (list.Count() > 0 && bricks.empty())
        std::abort();

    const int count = list.Count();
    const double last = count > 0 ? list.Items(count - 1)->DateTime : kCandlePickerInitial;
    for (const auto &[from, to] : {std::pair{CandleRangeStart(last, days), last}, std::pair{start, end}}) {
        const std::vector<int> indexes = SelectCandles(list, from, to);
        for (std::size_t k = 0; k < indexes.size(); ++k)
            if (indexes[k] < 0 || indexes[k] >= count || (k > 0 && indexes[k] <= indexes[k - 1]))
                std::abort();
        (void)CandleRangeSign(from, to, days);
    }

    CandleReplay replay;
    replay.Start();
    for (int tick = 0; tick <= count + 1; ++tick) {
        const bool lastFrame = replay.Tick(count);
        const auto [first, stop] = CandleReplay::FrameIndexes(replay.FReplayFirst, replay.FReplayLast, count);
        // A frame shows quotes of the list only (an empty frame may lie anywhere).
        if (first < stop && (first < 0 || stop > count))
            std::abort();
        if (lastFrame)
            break;
    }
    (void)ReplayIntervalMs(days);
    return 0;
}

// A quote file opened and built with a box and a reversal the input may change (from
// the automatic ones: a fraction or a multiple of them), then the P&F signals of the
// build and all their texts: the report, the cursor window's lines, the trend line and
// the objectives.
#include "document.h"
#include "fuzzinput.h"
#include "numtext.h"
#include "pfsignals.h"

#include <algorithm>

using namespace korvala;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::uint8_t boxScale = input.Take<std::uint8_t>();
    const std::uint8_t reverseScale = input.Take<std::uint8_t>();
    PFDocument doc;
    try {
        doc.OpenBytes("fuzz.txt", input.Rest());
        if (boxScale & 0x80) {
            doc.eBox = FormatF(std::max(doc.FBox * (1 + (boxScale & 7)) / (1 + ((boxScale >> 3) & 7)), 0.01), 3);
            doc.eReverse = FormatF(std::max(doc.FReverse * (1 + (reverseScale & 15)) / 4, 0.01), 3);
        }
        if (!doc.Refresh())
            return 0;
    } catch (const ConvertError &) {
        return 0;
    } catch (const PFError &) {
        return 0;
    }
    const PFSignals signals = FindPFSignals(doc);
    (void)SignalsReport(signals);
    (void)TrendLineText(signals);
    for (const PFObjective &objective : signals.Objectives)
        (void)ObjectiveText(objective);
    for (int col = 0; col < doc.sg.ColCount; ++col)
        for (int row = doc.sg.FirstRow(col); row <= doc.sg.LastRow(col); ++row)
            if (const PFSignal *signal = signals.SignalAt(col, row))
                (void)SignalLines(*signal);
    return 0;
}

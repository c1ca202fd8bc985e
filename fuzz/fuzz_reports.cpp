// A quote file, the analysis window's level depth and pivot checks, and a memo text the
// input chooses: the targets report, the F-nodes report and the two calculators.
#include "fuzzinput.h"
#include "quotes.h"
#include "reports.h"

#include <string>
#include <vector>

using namespace korvala;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const int depth = input.Take<std::int16_t>();
    const std::uint32_t checks = input.Take<std::uint32_t>();
    const std::string_view memo = input.TakeText(512);
    TFList list;
    try {
        list.LoadFromStream(input.Rest());
    } catch (const ConvertError &) {
    }
    list.SetLevelDepth(depth);
    list.CalcLevels();
    std::vector<SwingItem> items = SwingListItems(&list);
    for (std::size_t k = 0; k < items.size(); ++k) {
        items[k].Checked = (checks >> (k % 32)) & 1;
        (void)SwingItemText(*items[k].Quote);
    }
    ApplySwingChecks(list, items);
    (void)TargetsReport(list);

    const std::vector<std::string> lines = MemoLines(memo);
    (void)FNodesReport(lines);
    (void)MemoText(lines);
    const std::string_view a = lines.size() > 0 ? std::string_view(lines[0]) : std::string_view();
    const std::string_view b = lines.size() > 1 ? std::string_view(lines[1]) : std::string_view();
    const std::string_view c = lines.size() > 2 ? std::string_view(lines[2]) : std::string_view();
    (void)RetraceLabels(a, b);
    (void)ProjectionLabels(a, b, c);
    return 0;
}

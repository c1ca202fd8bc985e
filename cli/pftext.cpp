#include "pftext.h"

#include "document.h"
#include "numtext.h"
#include "pfcolumns.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace korvala::cli {

namespace {

// A picture larger than this is refused: nobody reads it, and it would take gigabytes.
constexpr long long kMaxPictureChars = 64LL << 20;

// The rows that hold a box in some column, as merged runs [first, last].
std::vector<std::pair<int, int>> BoxRows(const PFGrid &grid)
{
    std::vector<std::pair<int, int>> runs;
    for (int c = 0; c < grid.ColCount; ++c) {
        const int top = std::max(grid.FirstRow(c), 0);
        const int bottom = std::min(grid.LastRow(c), grid.RowCount - 1);
        if (top <= bottom)
            runs.emplace_back(top, bottom);
    }
    std::sort(runs.begin(), runs.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto &run : runs) {
        if (!merged.empty() && run.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, run.second);
        else
            merged.push_back(run);
    }
    return merged;
}

} // namespace

std::vector<std::string> PFTextPicture(const PFDocument &doc, int maxRows)
{
    const PFGrid &grid = doc.sg;
    std::vector<std::string> lines;
    if (doc.QuoteList.Count() == 0 || doc.FColBottomRow.empty())
        return lines;

    const int rows = grid.RowCount;
    const int cols = grid.ColCount;
    const bool skipEmpty = rows > maxRows;
    std::vector<std::pair<int, int>> shown = skipEmpty ? BoxRows(grid)
                                                       : std::vector<std::pair<int, int>>{{0, rows - 1}};
    long long shownRows = 0;
    for (const auto &run : shown)
        shownRows += run.second - run.first + 1;
    if (shownRows * (cols + 20LL) > kMaxPictureChars)
        throw std::runtime_error("The chart is too large for a text picture (" + FormatInt(shownRows)
                                 + " rows of boxes, " + FormatInt(cols)
                                 + " columns); korvala-cli dump gives its cells");

    const PFPriceScale prices = *RowPrices(doc);
    auto price = [&](int r) { return FormatN(prices.XPrice(r), 3); };
    const std::size_t width = std::max(price(0).size(), price(rows - 1).size());

    std::string cells(static_cast<std::size_t>(cols), '.');
    for (const auto &run : shown) {
        for (int r = run.first; r <= run.second; ++r) {
            for (int c = 0; c < cols; ++c) {
                const char mark = grid.Mark(c, r);
                cells[static_cast<std::size_t>(c)] =
                    mark == PFGrid::kMarkX ? 'X' : (mark == PFGrid::kMarkO ? 'O' : '.');
            }
            const std::string label = price(r);
            lines.push_back(std::string(width - std::min(width, label.size()), ' ') + label + ' '
                            + cells);
        }
    }
    if (rows > shownRows)
        lines.push_back("(" + FormatInt(rows - shownRows) + " rows without boxes left out)");
    return lines;
}

} // namespace korvala::cli

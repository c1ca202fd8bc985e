#include "pftext.h"

#include "document.h"
#include "numtext.h"

#include <algorithm>

namespace korvala::cli {

std::vector<std::string> PFTextPicture(const PFDocument &doc, int maxRows)
{
    const PFGrid &grid = doc.sg;
    std::vector<std::string> lines;
    if (doc.QuoteList.Count() == 0 || doc.FColBottomRow.empty())
        return lines;

    const int rows = grid.RowCount;
    const int cols = grid.ColCount;
    // Rows that hold a box in some column: mark each column's span, then sum.
    std::vector<int> spans(static_cast<std::size_t>(rows) + 1, 0);
    for (int c = 0; c < cols; ++c) {
        const int top = std::max(grid.FirstRow(c), 0);
        const int bottom = std::min(grid.LastRow(c), rows - 1);
        if (top > bottom)
            continue;
        ++spans[static_cast<std::size_t>(top)];
        --spans[static_cast<std::size_t>(bottom) + 1];
    }

    // Row r of an X column stands for the price q0.Close + (row of q0 - r) × box.
    const double q0Close = doc.QuoteList.Items(0)->Close;
    const int q0Row = doc.FColBottomRow.front();
    auto price = [&](int r) { return FormatN(q0Close + (q0Row - r) * grid.Box, 3); };
    std::size_t width = std::max(price(0).size(), price(rows - 1).size());

    const bool skipEmpty = rows > maxRows;
    int skipped = 0;
    int covering = 0;
    std::string cells(static_cast<std::size_t>(cols), '.');
    for (int r = 0; r < rows; ++r) {
        covering += spans[static_cast<std::size_t>(r)];
        if (skipEmpty && covering == 0) {
            ++skipped;
            continue;
        }
        for (int c = 0; c < cols; ++c) {
            const char mark = grid.Mark(c, r);
            cells[static_cast<std::size_t>(c)] =
                mark == PFGrid::kMarkX ? 'X' : (mark == PFGrid::kMarkO ? 'O' : '.');
        }
        const std::string label = price(r);
        lines.push_back(std::string(width - std::min(width, label.size()), ' ') + label + ' '
                        + cells);
    }
    if (skipped > 0)
        lines.push_back("(" + FormatInt(skipped) + " rows without boxes left out)");
    return lines;
}

} // namespace korvala::cli

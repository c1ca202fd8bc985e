#pragma once

// The analysis window's reports and calculators without the window: targets, F nodes,
// retracements and projections.

#include "quotes.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvala {

// The texts of the analysis window: the targets and F-node reports, the two price
// calculators, the pivot check list and the lines of its memos.

// Targets report: newest first, seven lines for every pivot (Pivot > 0) that is enabled
// and has an OP above 0: "=== <DateText> ==================", "Цель 1: " OP,
// "Цель 2: " COP, "Цель 3: " XOP, "Res/Sup 1: " Retrace382, "Res/Sup 2: " Retrace681
// (all "%.2n"), then an empty line.
std::vector<std::string> TargetsReport(const TFList &quotes);

// F-nodes report from the lines of the memo mm. With two lines or more, line 0 is the
// reference price F and every further line a node; a line that is not a number reads
// as 0. A number may carry the thousands grouping of "%.2n" ("1 285,00", also with a
// no-break space). With fewer than two lines there are no nodes and F is 0.
std::vector<std::string> FNodesReport(const std::vector<std::string> &mmLines);

// Retracements of the move a → b measured back from b.
struct RetraceLevels
{
    double F3 = 0; // 38.2 %
    double F6 = 0; // 61.8 %
};
RetraceLevels CalcRetrace(double a, double b);

// The move a → b projected from c at 100 %, 61.8 % and 161.8 %.
struct ProjectionLevels
{
    double op = 0;
    double COP = 0;
    double XOP = 0;
};
ProjectionLevels CalcProjection(double a, double b, double c);

// Label texts of the calculators from the edit texts: "F3= %.3n", "F6= %.3n" and
// "op= %.3n", "COP= %.3n", "XOP= %.3n"; every label "Error" when the first price
// reads as 0 (zero, empty, or not a number).
std::array<std::string, 2> RetraceLabels(std::string_view edit1, std::string_view edit2);
std::array<std::string, 3> ProjectionLabels(std::string_view edit3, std::string_view edit4,
                                            std::string_view edit5);

// One item of the pivot check list: its quote (the item's object), the quote's index
// and the check mark.
struct SwingItem
{
    TFPoint *Quote = nullptr;
    int Index = -1;
    bool Checked = false;
};

// The pivot check list, newest first: one item per quote with Pivot > 0, checked as
// the quote's PivotEnabled. Empty for a null list.
std::vector<SwingItem> SwingListItems(TFList *quotes);
// The text of an item: the pivot price in "%.2n".
std::string SwingItemText(const TFPoint &quote);
// Copies the check marks back into the quotes (item k to the (k + 1)-th pivot counted
// from the newest) and recomputes the levels with CalcLevels.
void ApplySwingChecks(TFList &quotes, const std::vector<SwingItem> &items);

// The lines of a memo's text: split at line ends (LF, CR LF or CR); a line end at the
// very end of the text does not open a further line, so "" has no lines and "a\n" one.
std::vector<std::string> MemoLines(std::string_view text);
// The memo text holding exactly these lines: every line followed by a line end.
std::string MemoText(const std::vector<std::string> &lines);


} // namespace korvala

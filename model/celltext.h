#pragma once

// The texts of the cursor window (standard C++ only).

#include <string>

namespace korvala {

struct PFSignal;
struct TFPoint;

// The quote of a cell: five lines joined by CR LF, no break after the last; the empty
// text when the cell has no quote.
std::string CellText(const TFPoint *cellQuote);
// The summary of a P&F column: six lines, each ended by CR LF.
std::string ColumnText(const TFPoint &columnRec);
// The closing price as the rulers write it.
std::string CloseText(const TFPoint &quote);
// A cell or column text with the lines of the signal whose breakout box the cell is
// added: after the last line, in the text's own way of ending (with or without a break).
std::string WithSignalText(const std::string &text, const PFSignal &signal);

} // namespace korvala

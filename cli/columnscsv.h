#pragma once

// korvala-cli columns: the P&F column records as CSV lines.

#include <string>
#include <string_view>
#include <vector>

namespace korvala {
class PFDocument;
}

namespace korvala::cli {

// The P&F column records as CSV for spreadsheets: a header line, then one line per
// column (column number from 0, UP or DOWN, start and end date texts, open, high, low,
// close, volume, the prices of the top and the bottom box). Fields are separated by ';'
// and numbers written with a decimal comma and no thousands separator, in the fewest
// decimals that keep their value, as a spreadsheet in the program's locale reads them.
std::vector<std::string> ColumnsCsv(const PFDocument &doc);

// A text field, quoted when it holds the separator, a quote or a line break.
std::string CsvField(std::string_view text);

} // namespace korvala::cli

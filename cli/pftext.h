#pragma once

#include <string>
#include <vector>

namespace korvala {
class PFDocument;
}

namespace korvala::cli {

// The P&F chart as text, one line per grid row, top row first: a right-aligned price,
// a blank, one character per column ('X', 'O' or '.'). Charts taller than maxRows rows
// leave out the rows without any box and say so in a last line.
std::vector<std::string> PFTextPicture(const PFDocument &doc, int maxRows = 200);

} // namespace korvala::cli

#pragma once

// The report window's file: the bytes of a saved report and the save itself.

#include "safewrite.h"

#include <string>
#include <vector>

namespace korvala {

// A report file that could not be written; the text names the file and the reason.
using ReportFileError = WriteError;

// The bytes of a report file: every line in cp1251 followed by CR LF, no byte-order mark.
std::string ReportFileBytes(const std::vector<std::string> &lines);

// The warning to give before saving lines that hold characters cp1251 cannot hold
// (they are written as '?'): which characters, each with its code, the first twenty of
// them. Empty when every character can be written.
std::string ReportFileLossWarning(const std::vector<std::string> &lines);

// Writes the report lines to path (a file-system path, bytes as given), replacing any
// file of that name safely (safewrite.h). Throws ReportFileError when the file cannot be
// created or written; an earlier file of that name is then left as it was.
void SaveReportFile(const std::string &path, const std::vector<std::string> &lines);

} // namespace korvala

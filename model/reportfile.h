#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace korvala {

// A report file that could not be written; the text names the file and the reason.
class ReportFileError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The bytes of a report file: every line in cp1251 followed by CR LF, no byte-order mark.
std::string ReportFileBytes(const std::vector<std::string> &lines);

// Writes the report lines to path (a file-system path, bytes as given), replacing any
// file of that name. Throws ReportFileError when the file cannot be created or written.
void SaveReportFile(const std::string &path, const std::vector<std::string> &lines);

} // namespace korvala

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvala::cli {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Runs korvala-cli with its arguments (without the program name).
int Run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace korvala::cli

#pragma once

#include <string>

namespace korvala::bench {

// The quote file named by KORVALA_BENCH_FILE, read once; empty when the variable is
// not set (the benchmark then skips with a message).
const std::string &BenchFileBytes();
const char *BenchFilePath();

} // namespace korvala::bench

#pragma once

#include "quotes.h"

#include <benchmark/benchmark.h>

#include <string>

namespace korvala::bench {

// The quotes of the file named by KORVALA_BENCH_FILE, loaded once per program with its
// statistics; nullptr (and the benchmark skipped with a message) when the variable is
// not set or the file does not load.
const TFList *BenchQuotes(benchmark::State &state);

// The bytes of that file, read once; empty (and the benchmark skipped) when absent.
const std::string &BenchFileBytes(benchmark::State &state);
const char *BenchFilePath();

} // namespace korvala::bench

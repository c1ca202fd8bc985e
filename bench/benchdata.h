#pragma once

#include "uChartFin.h"

#include <benchmark/benchmark.h>

namespace korvala::bench {

// The quotes of the file named by KORVALA_BENCH_FILE, loaded once per program with its
// statistics; nullptr (and the benchmark skipped with a message) when the variable is
// not set or the file does not load.
const TFList *BenchQuotes(benchmark::State &state);

} // namespace korvala::bench

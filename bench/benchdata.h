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

// A quote file of that many lines (a header first): a random walk of closes from 100 with
// opens, highs, lows and volumes round it, one line a day from 01.01.05 on (28-day months),
// the same text for the same seed.
std::string GenerateQuoteText(int lines, unsigned seed);

} // namespace korvala::bench

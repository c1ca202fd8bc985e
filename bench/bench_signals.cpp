// P&F signals, trend lines and counts on the chart of a large quote file
// (KORVALA_BENCH_FILE), built with the automatic parameters. Target: 10 ms for the
// 1 000 000-quote file (65 598 columns). The reference in the same run is one plain
// sweep over the columns' top and bottom rows, the least any reading of them costs.
#include "benchdata.h"
#include "document.h"
#include "pfsignals.h"

#include <benchmark/benchmark.h>

using namespace korvala;

namespace {

const PFDocument *BuiltDocument(benchmark::State &state)
{
    static PFDocument doc;
    if (doc.QuoteList.Count() == 0 && !bench::BenchFileBytes(state).empty()) {
        doc.OpenBytes(bench::BenchFilePath(), bench::BenchFileBytes(state));
        doc.Refresh();
    }
    return doc.Built ? &doc : nullptr;
}

void BM_ColumnSweepReference(benchmark::State &state)
{
    const PFDocument *doc = BuiltDocument(state);
    if (!doc)
        return;
    for (auto _ : state) {
        long long sum = 0;
        for (std::size_t k = 0; k < doc->FColTopRow.size(); ++k)
            sum += doc->FColBottomRow[k] - doc->FColTopRow[k];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ColumnSweepReference)->Unit(benchmark::kMillisecond);

void BM_FindPFSignals(benchmark::State &state)
{
    const PFDocument *doc = BuiltDocument(state);
    if (!doc)
        return;
    PFSignals s;
    for (auto _ : state) {
        s = FindPFSignals(*doc);
        benchmark::DoNotOptimize(s.Signals.data());
    }
    state.counters["columns"] = s.ColumnCount;
    state.counters["signals"] = static_cast<double>(s.Signals.size());
    state.counters["lines"] = static_cast<double>(s.Lines.size());
    state.counters["objectives"] = static_cast<double>(s.Objectives.size());
}
BENCHMARK(BM_FindPFSignals)->Unit(benchmark::kMillisecond);

// The report's lines, as the report window and korvala-cli signals get them.
void BM_SignalsReport(benchmark::State &state)
{
    const PFDocument *doc = BuiltDocument(state);
    if (!doc)
        return;
    const PFSignals s = FindPFSignals(*doc);
    for (auto _ : state) {
        auto lines = SignalsReport(s);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_SignalsReport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

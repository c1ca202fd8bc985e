// Loading, statistics and the P&F build on a large quote file.
#include "benchdata.h"
#include "document.h"
#include "texts.h"
#include "numtext.h"
#include "pfbuild.h"
#include "quotes.h"

#include <benchmark/benchmark.h>

using namespace korvala;

namespace {

bool NeedFile(benchmark::State &state) { return !bench::BenchFileBytes(state).empty(); }

void BM_LoadAndStatistics(benchmark::State &state)
{
    if (!NeedFile(state))
        return;
    for (auto _ : state) {
        TFList list;
        list.LoadFromStream(bench::BenchFileBytes(state));
        benchmark::DoNotOptimize(list.AvgChange);
    }
}
BENCHMARK(BM_LoadAndStatistics)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_ReadFileLoadAndStatistics(benchmark::State &state)
{
    if (!NeedFile(state))
        return;
    for (auto _ : state) {
        TFList list;
        list.LoadFromStream(ReadWholeFile(bench::BenchFilePath()));
        benchmark::DoNotOptimize(list.AvgChange);
    }
}
BENCHMARK(BM_ReadFileLoadAndStatistics)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_Statistics(benchmark::State &state)
{
    if (!NeedFile(state))
        return;
    TFList list;
    list.LoadFromStream(bench::BenchFileBytes(state));
    for (auto _ : state) {
        list.Statistics();
        benchmark::DoNotOptimize(list.AvgChange);
    }
}
BENCHMARK(BM_Statistics)->Unit(benchmark::kMillisecond);

// The P&F build as Refresh runs it, over the quotes of the file: with the automatic
// parameters (range(0) = 1) and with a box ten times smaller (range(0) = 10). The
// document is reused between builds, as the main window reuses its own.
void BM_BuildPF(benchmark::State &state)
{
    if (!NeedFile(state))
        return;
    static PFDocument doc;
    if (doc.QuoteList.Count() == 0)
        doc.OpenBytes(bench::BenchFilePath(), bench::BenchFileBytes(state));
    const ParamTexts texts = AutoParamTexts(doc.QuoteList.AvgChange);
    doc.eBox = FormatF(StrToFloat(texts.box) / static_cast<double>(state.range(0)), 4);
    doc.eReverse = texts.reverse;
    doc.ReadParams();
    for (auto _ : state) {
        doc.BuildPF();
        benchmark::DoNotOptimize(doc.sg.BoxCount());
    }
    state.counters["boxes"] = static_cast<double>(doc.sg.BoxCount());
    state.counters["columns"] = doc.sg.ColCount;
}
BENCHMARK(BM_BuildPF)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

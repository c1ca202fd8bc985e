// Loading, statistics and the P&F build on a large quote file.
#include "benchdata.h"
#include "document.h"
#include "params.h"
#include "numtext.h"
#include "pfbuild.h"
#include "uChartFin.h"

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

// The P&F build with the automatic parameters (range(0) = 1) and a box ten times
// smaller (range(0) = 10).
void BM_BuildPF(benchmark::State &state)
{
    if (!NeedFile(state))
        return;
    const TFList &quotes = *bench::BenchQuotes(state);
    const ParamTexts texts = AutoParamTexts(quotes.AvgChange);
    double box = 0, reverse = 0;
    TryStrToFloat(texts.box, box);
    TryStrToFloat(texts.reverse, reverse);
    box /= static_cast<double>(state.range(0));
    long long boxes = 0;
    for (auto _ : state) {
        PFGrid grid;
        TFList columns;
        std::vector<int> top, bottom;
        BuildPFChart(quotes, box, reverse, grid, columns, top, bottom);
        boxes = grid.BoxCount();
        benchmark::DoNotOptimize(boxes);
    }
    state.counters["boxes"] = static_cast<double>(boxes);
}
BENCHMARK(BM_BuildPF)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

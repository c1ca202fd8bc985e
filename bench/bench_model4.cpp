// The line-break bricks, the candle range selection and the indicator series over a
// large quote file (KORVALA_BENCH_FILE).
#include "benchdata.h"
#include "candles.h"
#include "indicator.h"
#include "linebreak.h"

#include <algorithm>

using namespace korvala;

namespace {

void BM_LineBreakBricks(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    for (auto _ : state) {
        auto bricks = BuildLineBreakBricks(*list);
        benchmark::DoNotOptimize(bricks.data());
        state.counters["bricks"] = static_cast<double>(bricks.size());
    }
    state.counters["quotes"] = list->Count();
}

// The last 100 000 quotes of the file, selected by their dates.
void BM_CandleRange100k(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    const int n = list->Count();
    const double end = list->Items(n - 1)->DateTime;
    const double start = list->Items(std::max(0, n - 100000))->DateTime;
    for (auto _ : state) {
        auto indexes = SelectCandles(*list, start, end);
        benchmark::DoNotOptimize(indexes.data());
        state.counters["candles"] = static_cast<double>(indexes.size());
    }
}

void BM_CalcIndicator(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    for (auto _ : state) {
        auto series = CalcIndicatorSeries(*list, kIndicatorPeriodInitial, kIndicatorOffsetInitial);
        benchmark::DoNotOptimize(series.Series2.data());
    }
    state.counters["quotes"] = list->Count();
}

} // namespace

BENCHMARK(BM_LineBreakBricks)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_CandleRange100k)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_CalcIndicator)->Unit(benchmark::kMillisecond)->Repetitions(5);

BENCHMARK_MAIN();

// The replay that builds the P&F and line-break charts quote by quote: one step forward,
// one step back (the worst case, a full run of quotes from the saved point before it),
// and, as the reference in the same run, the whole build a replay would otherwise repeat
// at every step. Target: one step on a 1 000 000-quote file within 5 ms.
//
//   KORVALA_BENCH_FILE=quotes.txt build/bench/bench_replay --benchmark_repetitions=5
//     --benchmark_report_aggregates_only=true

#include "benchdata.h"
#include "buildreplay.h"
#include "numtext.h"
#include "pfbuild.h"
#include "quotes.h"
#include "texts.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace korvala;

namespace {

struct Params
{
    double box;
    double reverse;
};

// The automatic box and reversal the program proposes for the file.
Params AutoParams(const TFList &quotes)
{
    const ParamTexts texts = AutoParamTexts(quotes.AvgChange);
    return {StrToFloat(texts.box), StrToFloat(texts.reverse)};
}

struct Chart
{
    PFGrid grid;
    TFList columns;
};

// The reference: the whole build over every quote.
void BM_WholeBuild(benchmark::State &state)
{
    const TFList *quotes = bench::BenchQuotes(state);
    if (!quotes)
        return;
    const Params p = AutoParams(*quotes);
    Chart chart;
    for (auto _ : state) {
        chart.grid.Reset();
        chart.columns.Clear();
        BuildPFChart(*quotes, p.box, p.reverse, chart.grid, chart.columns);
        benchmark::DoNotOptimize(chart.grid.BoxCount());
    }
}
BENCHMARK(BM_WholeBuild)->Unit(benchmark::kMillisecond);

// One quote forward, from the middle of the file on.
void BM_PFReplayStepForward(benchmark::State &state)
{
    const TFList *quotes = bench::BenchQuotes(state);
    if (!quotes)
        return;
    const Params p = AutoParams(*quotes);
    Chart chart;
    PFReplayBuild replay(*quotes, p.box, p.reverse, chart.grid, chart.columns);
    const int from = quotes->Count() / 2;
    replay.GoTo(from);
    for (auto _ : state) {
        if (replay.Taken() == quotes->Count()) {
            state.PauseTiming();
            replay.GoTo(from);
            state.ResumeTiming();
        }
        replay.GoTo(replay.Taken() + 1);
        benchmark::DoNotOptimize(chart.grid.BoxCount());
    }
    state.counters["columns"] = chart.grid.ColCount;
}
BENCHMARK(BM_PFReplayStepForward)->Unit(benchmark::kMicrosecond);

// One quote back from the last quote before a saved point: the step that restarts
// furthest back. Each iteration steps forward onto the saved point's successor run and
// back again; the time is that of the pair.
void BM_PFReplayStepBackWorst(benchmark::State &state)
{
    const TFList *quotes = bench::BenchQuotes(state);
    if (!quotes)
        return;
    const Params p = AutoParams(*quotes);
    Chart chart;
    PFReplayBuild replay(*quotes, p.box, p.reverse, chart.grid, chart.columns);
    constexpr int k = PFReplayBuild::kCheckpointEvery;
    // The last quote before the saved point after the middle of the file.
    const int at = ((quotes->Count() / 2) / k + 1) * k;
    replay.GoTo(at + 1);
    for (auto _ : state) {
        replay.GoTo(at);
        replay.GoTo(at + 1);
        benchmark::DoNotOptimize(chart.grid.BoxCount());
    }
}
BENCHMARK(BM_PFReplayStepBackWorst)->Unit(benchmark::kMicrosecond);

// A new high at every other quote: every row moves at every such step, over a chart
// of half a million columns. Made in memory: rises of 5 and falls of 4 boxes.
void BM_PFReplayStepNewHighs(benchmark::State &state)
{
    static const std::unique_ptr<TFList> quotes = [] {
        auto list = std::make_unique<TFList>();
        double close = 100;
        for (int i = 0; i < 1'000'000; ++i) {
            close += i % 2 == 0 ? 5 : -4;
            TFPoint &q = list->AddNew();
            q.Open = q.High = q.Low = q.Close = close;
            q.Volume = 1;
            q.DateText = "01.01.05 10:00";
        }
        list->Statistics();
        return list;
    }();
    Chart chart;
    PFReplayBuild replay(*quotes, 1, 3, chart.grid, chart.columns);
    const int from = quotes->Count() - 100'000;
    replay.GoTo(from);
    long long shifted = 0;
    for (auto _ : state) {
        if (replay.Taken() == quotes->Count()) {
            state.PauseTiming();
            replay.GoTo(from);
            state.ResumeTiming();
        }
        replay.GoTo(replay.Taken() + 1);
        shifted += replay.LastRowShift() != 0;
    }
    state.counters["columns"] = chart.grid.ColCount;
    state.counters["shifted"] = benchmark::Counter(static_cast<double>(shifted),
                                                   benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PFReplayStepNewHighs)->Unit(benchmark::kMicrosecond);

// The line-break bricks: one quote forward and back.
void BM_LineBreakReplayStep(benchmark::State &state)
{
    const TFList *quotes = bench::BenchQuotes(state);
    if (!quotes)
        return;
    LineBreakReplayBuild replay(*quotes);
    const int at = quotes->Count() / 2;
    replay.GoTo(at);
    for (auto _ : state) {
        replay.GoTo(at + 1);
        replay.GoTo(at);
        benchmark::DoNotOptimize(replay.Bricks().size());
    }
}
BENCHMARK(BM_LineBreakReplayStep)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

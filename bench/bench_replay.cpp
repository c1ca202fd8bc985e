// The replay that builds the P&F and line-break charts quote by quote: one step forward,
// one step back (the worst case, a full run of quotes from the saved point before it),
// and, as the reference in the same run, the whole build a replay would otherwise repeat
// at every step. Target: one step on a 1 000 000-quote file within 5 ms.
//
//   KORVALA_BENCH_FILE=quotes.txt build/bench/bench_replay --benchmark_repetitions=5
//     --benchmark_report_aggregates_only=true

#include "benchdata.h"
#include "buildreplay.h"
#include "document.h"
#include "numtext.h"
#include "pfbuild.h"
#include "quotes.h"
#include "texts.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

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

// The file opened and built as the main window does it (automatic box and reversal).
PFDocument *OpenedDocument(benchmark::State &state)
{
    static std::unique_ptr<PFDocument> doc;
    const std::string &bytes = bench::BenchFileBytes(state);
    if (bytes.empty())
        return nullptr;
    if (!doc) {
        doc = std::make_unique<PFDocument>();
        doc->OpenBytes(bench::BenchFilePath(), bytes);
        doc->Refresh();
    }
    return doc.get();
}

// Steps one quote forward per iteration from quote `from` on (back there, untimed, at the
// end); the steps that moved every row are counted.
void StepForward(benchmark::State &state, PFDocument &doc, int from)
{
    PFDocumentReplay replay(doc);
    replay.GoTo(from);
    long long shifted = 0;
    for (auto _ : state) {
        if (replay.Taken() == replay.Count()) {
            state.PauseTiming();
            replay.GoTo(from);
            state.ResumeTiming();
        }
        replay.GoTo(replay.Taken() + 1);
        shifted += replay.LastRowShift() != 0;
        benchmark::DoNotOptimize(doc.sg.BoxCount());
    }
    state.counters["columns"] = doc.sg.ColCount;
    state.counters["shifted"] =
        benchmark::Counter(static_cast<double>(shifted), benchmark::Counter::kAvgIterations);
}

// One quote forward, from the middle of the file on, as the P&F tab's replay takes it:
// the document's chart and its row lists.
void BM_PFReplayStepForward(benchmark::State &state)
{
    if (PFDocument *doc = OpenedDocument(state))
        StepForward(state, *doc, doc->QuoteList.Count() / 2);
}
BENCHMARK(BM_PFReplayStepForward)->Unit(benchmark::kMicrosecond);

// One quote back from the last quote before a saved point: the step that restarts
// furthest back. Each iteration steps back and forward again; the time is the pair's.
void BM_PFReplayStepBackWorst(benchmark::State &state)
{
    PFDocument *doc = OpenedDocument(state);
    if (!doc)
        return;
    PFDocumentReplay replay(*doc);
    constexpr int k = PFReplayBuild::kCheckpointEvery;
    // The quote count just past the saved point after the middle of the file: the step
    // back lands k - 1 quotes after the point saved before it.
    const int at = ((replay.Count() / 2) / k + 1) * k;
    replay.GoTo(at + 1);
    for (auto _ : state) {
        replay.GoTo(at);
        replay.GoTo(at + 1);
        benchmark::DoNotOptimize(doc->sg.BoxCount());
    }
}
BENCHMARK(BM_PFReplayStepBackWorst)->Unit(benchmark::kMicrosecond);

// A new high at every other quote: every row moves at every such step, over a chart
// of almost a million columns. Made in memory: rises of 5 and falls of 4 boxes.
void BM_PFReplayStepNewHighs(benchmark::State &state)
{
    static const std::unique_ptr<PFDocument> doc = [] {
        TFList list;
        double close = 100;
        for (int i = 0; i < 1'000'000; ++i) {
            close += i % 2 == 0 ? 5 : -4;
            TFPoint &q = list.AddNew();
            q.Open = q.High = q.Low = q.Close = close;
            q.Volume = 1;
            q.DateText = "01.01.05 10:00";
        }
        list.Statistics();
        auto d = std::make_unique<PFDocument>();
        d->OpenLoaded("rising.txt", list);
        d->eBox = "1";
        d->eReverse = "3";
        d->Refresh();
        return d;
    }();
    StepForward(state, *doc, doc->QuoteList.Count() - 100'000);
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

// The line-break tab, the candle tab and the indicator window over a large quote file
// (KORVALA_BENCH_FILE): fill and first paint, a replay tick, opening the indicator window.
#include "benchdata.h"
#include "candletab.h"
#include "chart.h"
#include "linebreakview.h"
#include "indicatorwindow.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>

using namespace korvala;

namespace {

void BM_LineBreakFillAndPaint(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    chart::Chart chart;
    chart::CandleSeries *series = chart.AddCandleSeries(QStringLiteral("LineBreakSeries"));
    series->FillSampleValues(100);
    chart.resize(1000, 600);
    chart.show();
    for (auto _ : state) {
        FillLineBreakSeries(*series, *list);
        chart.ReplotNow();
    }
    state.counters["bricks"] = series->Count();
}

void BM_CandleRange100kFillAndPaint(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    CandleTabView tab(*list);
    tab.resize(1000, 700);
    tab.show();
    const int n = list->Count();
    const double end = list->Items(n - 1)->DateTime;
    const double start = list->Items(std::max(0, n - 100000))->DateTime;
    for (auto _ : state) {
        tab.BuildCandles(*list, start, end);
        tab.Chart()->ReplotNow();
    }
    state.counters["candles"] = tab.Series()->Count();
}

// One tick: clear, 61 candles, repaint.
void BM_ReplayTick(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    CandleTabView tab(*list);
    tab.resize(1000, 700);
    tab.show();
    tab.BitBtn1Click();
    for (auto _ : state) {
        if (!tab.ReplayRunning()) {
            state.PauseTiming();
            tab.BitBtn1Click();
            state.ResumeTiming();
        }
        tab.Timer2Timer();
        tab.Chart()->ReplotNow();
    }
    tab.BitBtn2Click();
    state.counters["candles"] = tab.Series()->Count();
}

// aIndicExecute: the lines over every close, then the window shown and painted.
void BM_IndicatorOpen(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    for (auto _ : state) {
        TfIndic w(list);
        w.CalcIndicator();
        w.show();
        w.Chart1->ReplotNow();
        state.PauseTiming();
        w.hide();
        state.ResumeTiming();
    }
}

// Zoom and pan with marks on: one view change and repaint over a million closes.
void BM_IndicatorPan(benchmark::State &state)
{
    const TFList *list = bench::BenchQuotes(state);
    if (!list)
        return;
    TfIndic w(list);
    w.CalcIndicator();
    w.show();
    chart::Chart &chart = *w.Chart1;
    const double width = static_cast<double>(state.range(0));
    double first = 0;
    for (auto _ : state) {
        chart.SetView(first, first + width);
        chart.ReplotNow();
        first += width / 10;
        if (first + width > list->Count())
            first = 0;
    }
}

} // namespace

BENCHMARK(BM_LineBreakFillAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_CandleRange100kFillAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ReplayTick)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_IndicatorOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK(BM_IndicatorPan)->Arg(100)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Repetitions(3);

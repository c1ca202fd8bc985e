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

namespace korvala {

class CandleTabViewProbe final
{
public:
    static void BuildCandles(CandleTabView &tab, const TFList &list, double start, double end)
    {
        tab.BuildCandles(list, start, end);
    }
    static void StartReplay(CandleTabView &tab) { tab.BitBtn1Click(); }
    static bool Running(const CandleTabView &tab) { return tab.m_timer2Enabled; }
    static void Tick(CandleTabView &tab) { tab.Timer2Timer(); }
    static void Stop(CandleTabView &tab) { tab.BitBtn2Click(); }
    static chart::Chart &Chart(CandleTabView &tab) { return *tab.CandleChart; }
    static int Count(const CandleTabView &tab) { return tab.CandleSeries->Count(); }
};

class TfIndicProbe final
{
public:
    static chart::Chart &Chart(TfIndic &w) { return *w.Chart1; }
};

} // namespace korvala

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
        CandleTabViewProbe::BuildCandles(tab, *list, start, end);
        CandleTabViewProbe::Chart(tab).ReplotNow();
    }
    state.counters["candles"] = CandleTabViewProbe::Count(tab);
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
    CandleTabViewProbe::StartReplay(tab);
    for (auto _ : state) {
        if (!CandleTabViewProbe::Running(tab)) {
            state.PauseTiming();
            CandleTabViewProbe::StartReplay(tab);
            state.ResumeTiming();
        }
        CandleTabViewProbe::Tick(tab);
        CandleTabViewProbe::Chart(tab).ReplotNow();
    }
    CandleTabViewProbe::Stop(tab);
    state.counters["candles"] = CandleTabViewProbe::Count(tab);
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
        TfIndicProbe::Chart(w).ReplotNow();
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
    chart::Chart &chart = TfIndicProbe::Chart(w);
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

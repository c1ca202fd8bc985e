// Analysis window timings over a large quote file.
//
//   scripts/gen_quotes --lines 1000000 --seed 7 -o /tmp/quotes.txt
//   KORVALA_BENCH_FILE=/tmp/quotes.txt build/bench/bench_analysis
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "analysischart.h"
#include "finchartgeometry.h"
#include "swinglist.h"
#include "analysiswindow.h"
#include "quotes.h"
#include "reportwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

using namespace korvala;

namespace {

// The quotes of KORVALA_BENCH_FILE, loaded once; null when the variable is not set.
TFList *Quotes()
{
    static std::unique_ptr<TFList> list = [] {
        std::unique_ptr<TFList> result;
        const char *path = std::getenv("KORVALA_BENCH_FILE");
        if (!path)
            return result;
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        result = std::make_unique<TFList>();
        result->LoadFromStream(bytes.str());
        return result;
    }();
    return list.get();
}

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Chart / "Action2" up to the first picture: attach the quotes, fill the pivot list,
// show the window and paint it.
void BM_OpenAnalysisWindow(benchmark::State &state)
{
    TFList *quotes = Quotes();
    if (!quotes) {
        state.SkipWithError("KORVALA_BENCH_FILE is not set");
        return;
    }
    TfReport report;
    TForm2 form(&report);
    form.CheckBox5->setChecked(true); // every layer on
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        form.Open(quotes);
        form.show();
        form.repaint();
        QApplication::processEvents();
        samples.push_back(Ms(Clock::now() - start));
        state.PauseTiming();
        form.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["median_ms"] = Median(samples);
    state.counters["quotes"] = quotes->Count();
    state.counters["pivots"] = form.cbxItems->Count();
}
BENCHMARK(BM_OpenAnalysisWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

// One mouse movement over the chart: the crosshair and its price texts repainted, all
// five layers on.
void BM_MouseMoveRepaint(benchmark::State &state)
{
    TFList *quotes = Quotes();
    if (!quotes) {
        state.SkipWithError("KORVALA_BENCH_FILE is not set");
        return;
    }
    TfReport report;
    TForm2 form(&report);
    form.CheckBox5->setChecked(true);
    form.Open(quotes);
    form.show();
    form.repaint();
    QApplication::processEvents();
    TFinChart *chart = form.Chart();
    std::vector<double> samples;
    int step = 0;
    for (auto _ : state) {
        const QPointF at(40 + (step * 7) % (chart->width() - 80), 20 + (step * 5) % (chart->height() - 40));
        ++step;
        const auto start = Clock::now();
        QMouseEvent move(QEvent::MouseMove, at, chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(chart, &move);
        chart->repaint();
        samples.push_back(Ms(Clock::now() - start));
    }
    state.counters["median_ms"] = Median(samples);
}
BENCHMARK(BM_MouseMoveRepaint)->Unit(benchmark::kMillisecond)->Iterations(200);

// Rebuilding the layers after a change (zoom, switch, pivot selection) at full zoom.
void BM_BuildLayers(benchmark::State &state)
{
    TFList *quotes = Quotes();
    if (!quotes) {
        state.SkipWithError("KORVALA_BENCH_FILE is not set");
        return;
    }
    const FinChartGeometry g(511, 395, quotes->MinLow, quotes->MaxHigh, quotes->Count());
    ChartOptions options;
    options.ShowMA3x3 = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildChartLayers(*quotes, g, options));
}
BENCHMARK(BM_BuildLayers)->Unit(benchmark::kMillisecond);

} // namespace

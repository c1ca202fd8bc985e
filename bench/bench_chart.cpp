// Chart layer timings, drawn offscreen into a 1280 × 720 image:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_chart
// Each case reports the median of five repetitions.

#include "chart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using korvala::chart::Candle;
using korvala::chart::Chart;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr double kFirstDay = 38'000; // 14.01.2004

std::vector<Candle> DailyCandles(int n)
{
    std::mt19937 random(7);
    std::normal_distribution<double> normal(0, 1);
    std::vector<Candle> candles;
    candles.reserve(static_cast<std::size_t>(n));
    double close = 100;
    for (int i = 0; i < n; ++i) {
        Candle c;
        c.x = kFirstDay + i;
        c.open = close;
        c.close = std::max(1.0, close + normal(random));
        c.high = std::max(c.open, c.close) + std::abs(normal(random)) * 0.5;
        c.low = std::min(c.open, c.close) - std::abs(normal(random)) * 0.5;
        candles.push_back(c);
        close = c.close;
    }
    return candles;
}

std::vector<double> Walk(int n)
{
    std::mt19937 random(11);
    std::normal_distribution<double> normal(0, 1);
    std::vector<double> values(static_cast<std::size_t>(n));
    double v = 1000;
    for (double &value : values) {
        v += normal(random);
        value = v;
    }
    return values;
}

// A shown chart of the benchmark's size and the image it is drawn into.
struct Stage
{
    Stage()
        : chart(std::make_unique<Chart>())
        , image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied)
    {
        chart->resize(kWidth, kHeight);
        chart->show();
        QApplication::processEvents();
    }

    void Paint()
    {
        chart->ReplotNow();
        chart->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }

    std::unique_ptr<Chart> chart;
    QImage image;
};

void BM_Candles100kAddDatedAndPaint(benchmark::State &state)
{
    Stage stage;
    auto *series = stage.chart->AddCandleSeries(QStringLiteral("Candles"));
    const std::vector<Candle> candles = DailyCandles(100'000);
    for (auto _ : state) {
        series->Clear();
        for (const Candle &c : candles)
            series->AddDated(c.x, c.open, c.high, c.low, c.close);
        stage.Paint();
    }
}

void BM_Candles100kAssignAndPaint(benchmark::State &state)
{
    Stage stage;
    auto *series = stage.chart->AddCandleSeries(QStringLiteral("Candles"));
    const std::vector<Candle> candles = DailyCandles(100'000);
    for (auto _ : state) {
        series->Assign(candles, true);
        stage.Paint();
    }
}

void BM_ReplayTick61(benchmark::State &state)
{
    Stage stage;
    auto *series = stage.chart->AddCandleSeries(QStringLiteral("Candles"));
    const std::vector<Candle> candles = DailyCandles(1'000);
    std::size_t first = 0;
    for (auto _ : state) {
        series->Clear();
        for (std::size_t i = first; i < first + 61; ++i) {
            const Candle &c = candles[i];
            series->AddDated(c.x, c.open, c.high, c.low, c.close);
        }
        stage.Paint();
        first = (first + 1) % (candles.size() - 61);
    }
}

QString Label(int index)
{
    return QStringLiteral("#%1").arg(index);
}

void BM_Line1MWithMarksAssignAndFirstPaint(benchmark::State &state)
{
    Stage stage;
    auto *series = stage.chart->AddLineSeries(QStringLiteral("Close"));
    series->SetMarksVisible(true);
    const std::vector<double> values = Walk(1'000'000);
    for (auto _ : state) {
        series->Assign(values, Label);
        stage.Paint();
    }
}

// Repaint after a zoom or pan: the view alternates between a narrow window that moves
// (state.range(0) points wide) and back, so every iteration draws a new view.
void BM_Line1MWithMarksRepaintAfterView(benchmark::State &state)
{
    Stage stage;
    auto *series = stage.chart->AddLineSeries(QStringLiteral("Close"));
    series->SetMarksVisible(true);
    series->Assign(Walk(1'000'000), Label);
    stage.Paint();
    const auto width = static_cast<double>(state.range(0));
    double first = 0;
    for (auto _ : state) {
        stage.chart->SetView(first, first + width);
        stage.Paint();
        first += width / 7;
        if (first + width > 999'999)
            first = 0;
    }
}

} // namespace

BENCHMARK(BM_Candles100kAddDatedAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_Candles100kAssignAndPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_ReplayTick61)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_Line1MWithMarksAssignAndFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_Line1MWithMarksRepaintAfterView)->Arg(1'000)->Arg(100'000)->Arg(900'000)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

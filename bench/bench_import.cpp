// Import against the native load of the same quotes.
//
// The quotes are those of KORVALA_BENCH_FILE (a native file). The data-site export of the
// same quotes (<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;…, YYYYMMDD;HHMMSS, seven decimals with
// a point) is KORVALA_BENCH_IMPORT_FILE when set (scripts/gen_quotes --layout datasite),
// else it is written in memory from the native quotes.
#include "benchdata.h"
#include "document.h"
#include "quotedate.h"
#include "quoteimport.h"
#include "quotes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using namespace korvala;

namespace {

std::string DataSiteText(const TFList &quotes)
{
    std::string text = "<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    text.reserve(static_cast<std::size_t>(quotes.Count()) * 82);
    quotes.ForEach([&text](const TFPoint &p, int) {
        const CivilDateTime t = DecodeDateTime(p.DateTime);
        char line[256];
        const int n = std::snprintf(line, sizeof line,
                                    "SBER;1;%04lld%02d%02d;%02d%02d%02d;%.7f;%.7f;%.7f;%.7f;%.0f\r\n",
                                    t.year, t.month, t.day, t.hour, t.minute, t.second, p.Open,
                                    p.High, p.Low, p.Close, p.Volume);
        text.append(line, static_cast<std::size_t>(n));
    });
    return text;
}

const std::string &DataSiteBytes(benchmark::State &state)
{
    static const std::string bytes = [&state]() -> std::string {
        const char *path = std::getenv("KORVALA_BENCH_IMPORT_FILE");
        if (path && *path)
            return ReadWholeFile(path);
        const TFList *quotes = bench::BenchQuotes(state);
        return quotes ? DataSiteText(*quotes) : std::string();
    }();
    if (bytes.empty())
        state.SkipWithError("no data-site export: set KORVALA_BENCH_FILE");
    return bytes;
}

// Recognising the layout reads a bounded sample: the time does not grow with the file.
void BM_DetectLayout(benchmark::State &state)
{
    const std::string &bytes = DataSiteBytes(state);
    if (bytes.empty())
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectImportLayout(bytes).date);
    state.counters["sample_bytes"] = static_cast<double>(kImportSampleBytes);
}
BENCHMARK(BM_DetectLayout)->Unit(benchmark::kMicrosecond);

void BM_NativeLoad(benchmark::State &state)
{
    const std::string &bytes = bench::BenchFileBytes(state);
    if (bytes.empty())
        return;
    for (auto _ : state) {
        TFList list;
        list.LoadFromStream(bytes);
        benchmark::DoNotOptimize(list.AvgChange);
    }
}
BENCHMARK(BM_NativeLoad)->Unit(benchmark::kMillisecond)->MinTime(3);

// The import of the data-site export, and of the native file itself.
void BM_Import(benchmark::State &state, const std::string &(*file)(benchmark::State &))
{
    const std::string &bytes = file(state);
    if (bytes.empty())
        return;
    for (auto _ : state) {
        TFList list;
        ImportQuotes(bytes, list);
        benchmark::DoNotOptimize(list.AvgChange);
    }
}
BENCHMARK_CAPTURE(BM_Import, DataSite, &DataSiteBytes)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK_CAPTURE(BM_Import, NativeFile, &bench::BenchFileBytes)->Unit(benchmark::kMillisecond)->MinTime(3);

// CPU time of this thread, in milliseconds: on a machine shared with other work it tells
// the cost of the code itself.
double ThreadCpuMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The two side by side, alternating, so that the machine's drift touches both alike: the
// iteration time is the import's; the counters give both medians (wall clock and CPU
// time) and their ratios.
void BM_ImportVsNative(benchmark::State &state)
{
    const std::string &native = bench::BenchFileBytes(state);
    const std::string &site = DataSiteBytes(state);
    if (native.empty() || site.empty())
        return;
    using Clock = std::chrono::steady_clock;
    std::vector<double> nativeMs, importMs, nativeCpu, importCpu;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double c0 = ThreadCpuMs();
        {
            TFList list;
            list.LoadFromStream(native);
            benchmark::DoNotOptimize(list.AvgChange);
        }
        const auto t1 = Clock::now();
        const double c1 = ThreadCpuMs();
        {
            TFList list;
            ImportQuotes(site, list);
            benchmark::DoNotOptimize(list.AvgChange);
        }
        const auto t2 = Clock::now();
        const double c2 = ThreadCpuMs();
        nativeMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        importMs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        nativeCpu.push_back(c1 - c0);
        importCpu.push_back(c2 - c1);
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    state.counters["native_ms"] = Median(nativeMs);
    state.counters["import_ms"] = Median(importMs);
    state.counters["ratio"] = Median(importMs) / Median(nativeMs);
    state.counters["ratio_cpu"] = Median(importCpu) / Median(nativeCpu);
}
BENCHMARK(BM_ImportVsNative)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

} // namespace

BENCHMARK_MAIN();

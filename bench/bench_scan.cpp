// korvala-cli scan over 2 000 quote files of 5 000 quotes each (made here, in a scratch
// folder, by the benchmarks' own generator). Target: the whole scan within 2 s on two
// cores, and within 1.2 × (files ÷ cores) × the time of one file, which this run measures
// first as its reference (counter "ratio").
#include "benchdata.h"
#include "pfscan.h"
#include "signals.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace korvala;

namespace {

constexpr int kFiles = 2000;
constexpr int kQuotes = 5000;

class ScratchFiles final
{
public:
    ScratchFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvala_scan_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        m_dir = pattern;
        for (int i = 0; i < kFiles; ++i) {
            const std::string path = m_dir + "/q" + std::to_string(i) + ".txt";
            std::ofstream(path, std::ios::binary) << bench::GenerateQuoteText(kQuotes, 1000u + i);
            files.push_back(path);
        }
    }
    ~ScratchFiles()
    {
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir);
    }
    ScratchFiles(const ScratchFiles &) = delete;
    ScratchFiles &operator=(const ScratchFiles &) = delete;

    std::vector<std::string> files;

private:
    std::string m_dir;
};

const std::vector<std::string> &Files()
{
    static const ScratchFiles scratch;
    return scratch.files;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One file after the other, in this thread: the time of one file (the median of the
// first hundred files read once each).
double OneFileSeconds()
{
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ScanQuoteFile(Files()[static_cast<std::size_t>(i)]).Columns);
        times.push_back(Seconds(std::chrono::steady_clock::now() - start));
    }
    std::nth_element(times.begin(), times.begin() + 50, times.end());
    return times[50];
}

void BM_ScanOneFile(benchmark::State &state)
{
    const std::string &file = Files().front();
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanQuoteFile(file).Columns);
}
BENCHMARK(BM_ScanOneFile)->Unit(benchmark::kMillisecond);

void BM_Scan2000Files(benchmark::State &state)
{
    const std::vector<std::string> &files = Files();
    const double one = OneFileSeconds();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto results = cli::ScanFiles(files, 0);
        benchmark::DoNotOptimize(results.data());
        total += Seconds(std::chrono::steady_clock::now() - start);
        ++runs;
    }
    const double bound = static_cast<double>(files.size()) / cores * one;
    state.counters["cores"] = cores;
    state.counters["one_file_ms"] = one * 1000;
    state.counters["ratio"] = total / runs / bound;
}
BENCHMARK(BM_Scan2000Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();

// korvala-cli scan over 2 000 quote files of 5 000 quotes each (made here, in a scratch
// folder, by the benchmarks' own generator). Target: the whole scan within 2 s on two
// cores, and within 1.2 × (files ÷ cores) × the time of one file, which this run measures
// first as its reference (counter "ratio"). On a machine that other work keeps busy the
// wall time says little; "cpu_ratio" compares the processor time of all threads with
// files × one file, the share the parallel scan costs beyond the work itself.
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

#include <sys/resource.h>
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

// Processor time of the whole process, every thread.
double ProcessSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One file after the other, in this thread: the time of one file, wall and processor
// (the medians over the first hundred files, each read once).
std::pair<double, double> OneFileSeconds()
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < 100; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessSeconds();
        benchmark::DoNotOptimize(ScanQuoteFile(Files()[static_cast<std::size_t>(i)]).Columns);
        cpu.push_back(ProcessSeconds() - cpuStart);
        wall.push_back(Seconds(std::chrono::steady_clock::now() - start));
    }
    std::nth_element(wall.begin(), wall.begin() + 50, wall.end());
    std::nth_element(cpu.begin(), cpu.begin() + 50, cpu.end());
    return {wall[50], cpu[50]};
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
    const auto [one, oneCpu] = OneFileSeconds();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double total = 0;
    double cpu = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessSeconds();
        const auto results = cli::ScanFiles(files, 0);
        benchmark::DoNotOptimize(results.data());
        cpu += ProcessSeconds() - cpuStart;
        total += Seconds(std::chrono::steady_clock::now() - start);
        ++runs;
    }
    const double count = static_cast<double>(files.size());
    state.counters["cores"] = cores;
    state.counters["one_file_ms"] = one * 1000;
    state.counters["ratio"] = total / runs / (count / cores * one);
    state.counters["cpu_s"] = cpu / runs;
    state.counters["cpu_ratio"] = cpu / runs / (count * oneCpu);
}
BENCHMARK(BM_Scan2000Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();

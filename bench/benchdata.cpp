#include "benchdata.h"

#include "document.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <random>
#include <string>

namespace korvala::bench {

namespace {

struct Loaded
{
    std::unique_ptr<TFList> list;
    std::string error;
};

Loaded Load()
{
    Loaded out;
    const char *path = std::getenv("KORVALA_BENCH_FILE");
    if (!path || !*path) {
        out.error = "KORVALA_BENCH_FILE is not set (a quote file, e.g. "
                    "scripts/gen_quotes --lines 1000000 --seed 7)";
        return out;
    }
    try {
        auto list = std::make_unique<TFList>();
        list->LoadFromStream(ReadWholeFile(path));
        out.list = std::move(list);
    } catch (const std::exception &e) {
        out.error = std::string(path) + ": " + e.what();
    }
    return out;
}

} // namespace

const TFList *BenchQuotes(benchmark::State &state)
{
    static const Loaded loaded = Load();
    if (!loaded.list)
        state.SkipWithError(loaded.error.c_str());
    return loaded.list.get();
}

const char *BenchFilePath() { return std::getenv("KORVALA_BENCH_FILE"); }

const std::string &BenchFileBytes(benchmark::State &state)
{
    static const std::string bytes = [] {
        const char *path = BenchFilePath();
        try {
            return path && *path ? ReadWholeFile(path) : std::string();
        } catch (const std::exception &) {
            return std::string();
        }
    }();
    if (bytes.empty())
        state.SkipWithError("KORVALA_BENCH_FILE does not name a readable quote file");
    return bytes;
}

namespace {

// "%.2f" with a decimal comma.
void AppendPrice(std::string &out, double v)
{
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.2f", v);
    for (int i = 0; i < n; ++i)
        out += buffer[i] == '.' ? ',' : buffer[i];
}

} // namespace

std::string GenerateQuoteText(int lines, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> step(0, 0.6);
    std::uniform_real_distribution<double> spread(0, 0.5);
    std::string out = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    out.reserve(static_cast<std::size_t>(lines) * 48);
    double close = 100;
    for (int d = 0; d < lines; ++d) {
        const double open = close;
        close = std::max(1.0, close + step(random));
        const double high = std::max(open, close) + spread(random);
        const double low = std::max(0.5, std::min(open, close) - spread(random));
        char date[24];
        std::snprintf(date, sizeof date, "%02d.%02d.%02d;10:00;", 1 + d % 28, 1 + d / 28 % 12,
                      (5 + d / 336) % 50);
        out += date;
        for (double v : {open, high, low, close}) {
            AppendPrice(out, v);
            out += ';';
        }
        out += std::to_string(1000 + d % 977);
        out += "\r\n";
    }
    return out;
}

} // namespace korvala::bench

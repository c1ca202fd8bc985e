#include "benchdata.h"

#include "document.h"

#include <cstdlib>
#include <exception>
#include <memory>
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
                    "gen_quotes.py --lines 1000000 --seed 7)";
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

} // namespace korvala::bench

// The whole open of a large quote file, as `korvala-cli stats` runs it (read, load,
// statistics, the P&F build, the line-break bricks and the candle range, the texts),
// against a plain single-threaded loop that does the least such an open needs: split
// each line at ';', convert the numbers with std::from_chars, read the date by hand into
// a 64-byte record, then run the P&F loop over the closes.
//
// Both are timed in the same iterations, one after the other, so a machine whose speed
// drifts (other jobs on the same cores) slows both alike; the counter "ratio" is the
// median of the open over the median of the reference.
#include "benchdata.h"
#include "cli.h"
#include "document.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace korvala;

namespace {

struct alignas(64) PlainQuote
{
    double dateTime;
    double open;
    double high;
    double low;
    double close;
    double volume;
    char dateText[16];
};
static_assert(sizeof(PlainQuote) == 64);

struct PlainResult
{
    std::size_t quotes = 0;
    std::size_t columns = 0;
    std::size_t boxes = 0;
};

int Digits2(const char *p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

// Days from 1899-12-30 to a date of 1950..2049 (two-digit years as quote files have them).
double PlainDay(int d, int m, int y)
{
    static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int year = y < 50 ? 2000 + y : 1900 + y;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    auto leaps = [](int upTo) { return upTo / 4 - upTo / 100 + upTo / 400; };
    const int days = 2 + 365 * (year - 1900) + leaps(year - 1) - leaps(1899) + kBefore[m - 1]
                     + (leap && m > 2 ? 1 : 0) + d - 1;
    return days;
}

double Number(std::string_view field)
{
    char buffer[64];
    const std::size_t n = std::min(field.size(), sizeof buffer);
    std::memcpy(buffer, field.data(), n);
    for (std::size_t i = 0; i < n; ++i)
        if (buffer[i] == ',')
            buffer[i] = '.';
    double v = 0;
    std::from_chars(buffer, buffer + n, v);
    return v;
}

PlainResult PlainOpen(const std::string &path)
{
    const std::string bytes = ReadWholeFile(path);
    std::vector<PlainQuote> quotes;
    quotes.reserve(bytes.size() / 32);
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    p = static_cast<const char *>(std::memchr(p, '\n', bytes.size()));
    p = p ? p + 1 : end; // the header
    double minClose = 1e9, maxClose = 0, changeSum = 0;
    while (p < end) {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lineEnd)
            lineEnd = end;
        const char *next = lineEnd + 1;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        std::string_view fields[7];
        int count = 0;
        const char *start = p;
        for (const char *c = p; c <= lineEnd && count < 7; ++c) {
            if (c == lineEnd || *c == ';') {
                fields[count++] = std::string_view(start, static_cast<std::size_t>(c - start));
                start = c + 1;
            }
        }
        p = next;
        if (count < 7)
            continue;
        PlainQuote q{};
        const std::string_view date = fields[0], time = fields[1];
        if (date.size() == 8 && time.size() == 5)
            q.dateTime = PlainDay(Digits2(date.data()), Digits2(date.data() + 3), Digits2(date.data() + 6))
                         + (Digits2(time.data()) * 60 + Digits2(time.data() + 3)) / 1440.0;
        std::memcpy(q.dateText, date.data(), std::min<std::size_t>(date.size(), 8));
        q.dateText[8] = ' ';
        std::memcpy(q.dateText + 9, time.data(), std::min<std::size_t>(time.size(), 5));
        q.open = Number(fields[2]);
        q.high = Number(fields[3]);
        q.low = Number(fields[4]);
        q.close = Number(fields[5]);
        q.volume = Number(fields[6]);
        if (!quotes.empty())
            changeSum += std::fabs(quotes.back().close - q.close);
        minClose = std::min(minClose, q.close);
        maxClose = std::max(maxClose, q.close);
        quotes.push_back(q);
    }

    PlainResult result;
    result.quotes = quotes.size();
    if (quotes.empty())
        return result;
    const double avg = changeSum / static_cast<double>(quotes.size());
    const double box = std::max(0.01, std::round(avg * 1000) / 1000);
    const double reverse = std::max(0.03, std::round(3 * avg * 1000) / 1000);
    // The P&F loop: the cells of each column (quote indexes) and its running figures.
    std::vector<std::int32_t> cells;
    const long long rows = std::llround((maxClose - minClose) / box) + 2;
    long long row = rows - static_cast<long long>((quotes[0].close - minClose) / box) - 1;
    double last = quotes[0].close, high = quotes[0].high, low = quotes[0].low, volume = quotes[0].volume;
    bool up = true;
    cells.push_back(0);
    result.columns = 1;
    for (std::size_t i = 1; i < quotes.size(); ++i) {
        const PlainQuote &q = quotes[i];
        const double d = std::fabs(q.close - last);
        const long long n = static_cast<long long>(d / box);
        if (d > box && (q.close > last) == up) {
            row += up ? -n : n;
            cells.insert(cells.end(), static_cast<std::size_t>(n), static_cast<std::int32_t>(i));
            last += up ? n * box : -n * box;
        } else if (d > box && d >= reverse) {
            up = !up;
            ++result.columns;
            row += up ? -1 - n : 1 + n;
            cells.insert(cells.end(), static_cast<std::size_t>(n + 1), static_cast<std::int32_t>(i));
            last += up ? n * box : -n * box;
            high = q.high, low = q.low, volume = 0;
        }
        high = std::max(high, q.high);
        low = std::min(low, q.low);
        volume += q.volume;
    }
    benchmark::DoNotOptimize(high + low + volume + static_cast<double>(row));
    result.boxes = cells.size();
    return result;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double Seconds(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The plain loop alone.
void BM_PlainOpenReference(benchmark::State &state)
{
    if (bench::BenchFileBytes(state).empty())
        return;
    PlainResult r;
    for (auto _ : state)
        benchmark::DoNotOptimize(r = PlainOpen(bench::BenchFilePath()));
    state.counters["quotes"] = static_cast<double>(r.quotes);
    state.counters["columns"] = static_cast<double>(r.columns);
}
BENCHMARK(BM_PlainOpenReference)->Unit(benchmark::kMillisecond)->UseRealTime();

// `korvala-cli stats FILE` in-process; each iteration also runs the plain loop (not
// counted in the time) so that "ratio" compares the two over the same moments.
void BM_WholeOpenVsReference(benchmark::State &state)
{
    if (bench::BenchFileBytes(state).empty())
        return;
    const std::vector<std::string> args = {"stats", bench::BenchFilePath()};
    std::vector<double> open, reference;
    for (auto _ : state) {
        state.PauseTiming();
        reference.push_back(Seconds([] { benchmark::DoNotOptimize(PlainOpen(bench::BenchFilePath())); }));
        state.ResumeTiming();
        std::ostringstream out, err;
        int status = 0;
        open.push_back(Seconds([&] { status = cli::Run(args, out, err); }));
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    state.counters["reference_ms"] = Median(reference) * 1000;
    state.counters["open_ms"] = Median(open) * 1000;
    state.counters["ratio"] = Median(open) / Median(reference);
}
BENCHMARK(BM_WholeOpenVsReference)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

} // namespace

BENCHMARK_MAIN();

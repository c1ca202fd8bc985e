// A quote file read in pieces of a size the input chooses, against the reading on one
// thread: the same quotes, the same figures, the same first faulty line and error text.
// Any difference aborts.
#include "fuzzinput.h"
#include "quotes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace korvala;

namespace {

struct Outcome
{
    std::string error;
    long long line = 0;
};

Outcome Load(TFList &list, std::string_view bytes, const TFList::LoadSplit &split)
{
    Outcome out;
    try {
        list.LoadFromStream(bytes, split);
    } catch (const QuoteLineError &e) {
        out.error = e.what();
        out.line = e.Line();
    }
    return out;
}

bool Same(double a, double b) { return a == b || (a != a && b != b); }

[[noreturn]] void Differ(const char *what, int index)
{
    std::fprintf(stderr, "parallel and serial loads differ: %s at %d\n", what, index);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::size_t chunk = 1 + input.Take<std::uint8_t>() % 64;
    const std::string_view bytes = input.Rest();
    TFList serial, parallel;
    const Outcome a = Load(serial, bytes, {1 << 20, static_cast<std::size_t>(-1)});
    const Outcome b = Load(parallel, bytes, {chunk, 0});
    if (a.error != b.error || a.line != b.line)
        Differ("error", static_cast<int>(a.line));
    if (serial.Count() != parallel.Count())
        Differ("count", serial.Count());
    if (!Same(serial.AvgChange, parallel.AvgChange) || !Same(serial.MaxClose, parallel.MaxClose)
        || !Same(serial.MinLow, parallel.MinLow) || !Same(serial.MaxVolume, parallel.MaxVolume))
        Differ("figures", -1);
    for (int i = 0; i < serial.Count(); ++i) {
        const TFPoint &p = *serial.Items(i), &q = *parallel.Items(i);
        if (p.DateText != q.DateText || !Same(p.DateTime, q.DateTime) || !Same(p.Open, q.Open)
            || !Same(p.High, q.High) || !Same(p.Low, q.Low) || !Same(p.Close, q.Close)
            || !Same(p.Volume, q.Volume) || !Same(p.Pivot, q.Pivot) || !Same(p.MA3, q.MA3))
            Differ("record", i);
    }
    return 0;
}

#include "lines.h"

#include <algorithm>
#include <cstring>

namespace korvala {

namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Sixteen bytes compared at once (the compiler's vector extension: SSE2 on x86-64,
// plain code elsewhere); a comparison gives -1 in the lanes where it holds.
typedef signed char Lanes __attribute__((vector_size(16)));

Lanes Load(const char *p)
{
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

std::size_t LineStartAtOrAfter(std::string_view text, std::size_t pos)
{
    if (pos == 0)
        return 0;
    if (pos >= text.size())
        return text.size();
    const char before = text[pos - 1];
    if (before == '\n')
        return pos;
    if (before == '\r')
        return text[pos] == '\n' ? pos + 1 : pos; // inside a CR LF
    return SkipLineEnd(text, FindLineEnd(text, pos));
}

std::vector<std::size_t> SplitAtLines(std::string_view text, std::size_t begin, std::size_t step)
{
    step = std::max<std::size_t>(step, 1);
    std::vector<std::size_t> starts;
    for (std::size_t pos = begin; pos < text.size();
         pos = LineStartAtOrAfter(text, pos + std::min(step, text.size() - pos)))
        starts.push_back(pos);
    starts.push_back(text.size());
    return starts;
}

std::int64_t CountLines(std::string_view text, std::size_t begin, std::size_t end)
{
    const char *const data = text.data();
    const std::size_t size = text.size();
    if (end > size)
        end = size;
    if (begin >= end)
        return 0;
    // Every LF ends a line, and every CR that no LF follows.
    std::int64_t count = 0;
    std::size_t i = begin;
    while (i + 16 <= end && i + 17 <= size) {
        Lanes sum = {};
        for (int round = 0; round < 127 && i + 16 <= end && i + 17 <= size; ++round, i += 16) {
            const Lanes here = Load(data + i);
            const Lanes next = Load(data + i + 1);
            sum -= (here == '\n') | ((here == '\r') & (next != '\n'));
        }
        for (int lane = 0; lane < 16; ++lane)
            count += sum[lane];
    }
    for (; i < end; ++i) {
        if (data[i] == '\n' || (data[i] == '\r' && (i + 1 == size || data[i + 1] != '\n')))
            ++count;
    }
    // A last line without a line end.
    if (end == size && !IsLineEnd(data[end - 1]))
        ++count;
    return count;
}

} // namespace korvala

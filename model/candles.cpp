#include "candles.h"

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <climits>

namespace korvala {

namespace {

int Saturate(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

namespace {

// The first index whose date is not before start (Count() when there is none). The
// range usually sits at the end of a long list, so the search sweeps pieces of the list
// on all cores; a piece past an index already found is skipped.
int FirstNotBefore(const TFList &list, double start)
{
    const int count = list.Count();
    std::atomic<int> found{count};
    tbb::parallel_for(tbb::blocked_range<int>(0, count, 1 << 15), [&](const tbb::blocked_range<int> &r) {
        if (r.begin() >= found.load(std::memory_order_relaxed))
            return;
        int first = -1;
        list.ForEachBetween(r.begin(), r.end(), [&](const TFPoint &q, int i) {
            if (first < 0 && !(q.DateTime < start))
                first = i;
        });
        if (first < 0)
            return;
        int known = found.load();
        while (first < known && !found.compare_exchange_weak(known, first)) {
        }
    });
    return found.load();
}

} // namespace

std::vector<int> SelectCandles(const TFList &list, double start, double end)
{
    std::vector<int> indexes;
    const int count = list.Count();
    for (int i = FirstNotBefore(list, start); i < count; ++i) {
        const double t = list.Items(i)->DateTime;
        if (t < start)
            continue;
        if (t > end)
            break;
        indexes.push_back(i);
    }
    return indexes;
}

double CandleRangeStart(double end, int days) { return end - days; }

std::string CandleRangeSign(double start, double end, int days)
{
    return end - start == static_cast<double>(days) ? "=" : "<>";
}

long long ReplayIntervalMs(int speed) { return static_cast<long long>(speed) * 100; }

void CandleReplay::Start()
{
    FReplayFirst = 1;
    FReplayWidth = kWidth;
}

bool CandleReplay::Tick(int count)
{
    FReplayFirst = Saturate(static_cast<long long>(FReplayFirst) + 1);
    FReplayLast = Saturate(static_cast<long long>(FReplayFirst) + FReplayWidth);
    return count <= FReplayLast;
}

std::pair<int, int> CandleReplay::FrameIndexes(int first, int last, int count)
{
    const int begin = std::max(first, 0);
    const int end = Saturate(std::min<long long>(static_cast<long long>(last) + 1, count));
    return {begin, std::max(begin, end)};
}

} // namespace korvala

#include "candles.h"

#include <algorithm>
#include <climits>

namespace korvala {

namespace {

int Saturate(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

std::vector<int> SelectCandles(const TFList &list, double start, double end)
{
    std::vector<int> indexes;
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
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

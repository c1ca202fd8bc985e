#pragma once

// The candle tab without its window: the range of quotes between two dates and the
// frames of the timed replay.

#include "quotes.h"

#include <string>
#include <utility>
#include <vector>

namespace korvala {

// The candle tab's pickers hold 19.12.2005 15:26 until a file is opened.
inline constexpr double kCandlePickerInitial = 38705.0 + (15 * 60 + 26) / 1440.0;
// Number of days counted back from the end date, and the replay speed in tenths of a second.
inline constexpr int kCandleDaysInitial = 222;
inline constexpr int kReplaySpeedInitial = 2;

// The quotes of the date range, as indexes into the list in list order: a quote dated
// before start is skipped, the first one dated after end stops the walk (the list is
// in ascending date order, so nothing after it is shown). Both bounds are inclusive on
// the full date-time.
std::vector<int> SelectCandles(const TFList &list, double start, double end);

// The start date for an end date and a number of days: end − days, same time of day.
double CandleRangeStart(double end, int days);

// The relation sign between the pickers: "=" when end − start is exactly days, else "<>".
std::string CandleRangeSign(double start, double end, int days);

// Replay timer interval for a speed in tenths of a second: speed × 100 ms. At 0 or
// below the timer never ticks.
long long ReplayIntervalMs(int speed);

// The replay's moving frame of FReplayWidth + 1 quotes.
struct CandleReplay final
{
    static constexpr int kWidth = 60;

    int FReplayFirst = 0; // index of the frame's first quote
    int FReplayLast = 0;  // index of the frame's last quote
    int FReplayWidth = 0; // frame width

    // "Прокрутка": FReplayFirst := 1, FReplayWidth := 60.
    void Start();
    // One timer tick: the frame moves one quote on. True when this frame is the last
    // one (count ≤ FReplayLast): the timer stops after showing it.
    bool Tick(int count);
    // The indexes a frame shows, [first, second): from first while i ≤ last and i < count.
    static std::pair<int, int> FrameIndexes(int first, int last, int count);
};

} // namespace korvala

#pragma once

// The three-line-break chart without its window: the bricks of a quote list.

#include "quotes.h"

#include <vector>

namespace korvala {

// One brick of the three-line-break chart, in price units. A rising brick has
// Open = Low and Close = High, a falling one Open = High and Close = Low; an upward
// reversal below the last brick's open keeps the four values it was made with, so its
// Close is below its Open.
struct LineBrick final
{
    double Open = 0;
    double High = 0;
    double Low = 0;
    double Close = 0;
};

// The bricks of tab "3 line breaking", in the order they are made (brick k is drawn at
// position k). Only the first quote's Open and every quote's Close are read; an empty
// list gives no brick.
std::vector<LineBrick> BuildLineBreakBricks(const TFList &list);

} // namespace korvala

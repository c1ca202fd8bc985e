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

// The rule that adds the bricks, one quote at a time: the first quote makes the first
// brick, every further close adds at most one.
class LineBreakBuilder final
{
public:
    explicit LineBreakBuilder(std::vector<LineBrick> &bricks) : m_bricks(bricks) {}

    void First(const TFPoint &q);
    void Next(double c);
    // The direction of the last brick made.
    bool Up() const { return m_up; }
    void SetUp(bool up) { m_up = up; }

private:
    void Reverse(const LineBrick &brick, bool up);

    std::vector<LineBrick> &m_bricks;
    bool m_up = false;
};

// The bricks of tab "3 line breaking", in the order they are made (brick k is drawn at
// position k). Only the first quote's Open and every quote's Close are read; an empty
// list gives no brick.
std::vector<LineBrick> BuildLineBreakBricks(const TFList &list);

} // namespace korvala

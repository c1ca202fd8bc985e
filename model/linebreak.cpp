#include "linebreak.h"

#include <span>

namespace korvala {

namespace {

LineBrick Rising(double from, double to) { return {from, to, from, to}; }
LineBrick Falling(double from, double to) { return {from, from, to, to}; }

} // namespace

void LineBreakBuilder::First(const TFPoint &q)
{
    m_up = q.Open < q.Close;
    m_bricks.push_back(m_up ? Rising(q.Open, q.Close) : LineBrick{q.Open, q.Open, q.Close, q.Close});
}

void LineBreakBuilder::Next(double c)
{
    const std::size_t n = m_bricks.size();
    const LineBrick last = m_bricks[n - 1];
    if (c > last.Close) {
        if (m_up) {
            m_bricks.push_back(Rising(last.Close, c));
        } else if (n >= 3) {
            if (c > m_bricks[n - 3].Open)
                Reverse(Rising(last.Open, c), true);
        } else if (c > m_bricks[0].Open) {
            Reverse(Rising(m_bricks[0].Open, c), true);
        }
    } else if (c < last.Low) {
        if (!m_up) {
            m_bricks.push_back(Falling(last.Low, c));
        } else if (n >= 3) {
            if (c < m_bricks[n - 3].Low)
                Reverse(Falling(last.Low, c), false);
        } else if (c < m_bricks[0].Low) {
            Reverse(Falling(m_bricks[0].Low, c), false);
        }
    }
}

void LineBreakBuilder::Reverse(const LineBrick &brick, bool up)
{
    m_bricks.push_back(brick);
    m_up = up;
}

std::vector<LineBrick> BuildLineBreakBricks(const TFList &list)
{
    std::vector<LineBrick> bricks;
    LineBreakBuilder builder(bricks);
    if (list.Count() == 0)
        return bricks;
    // At most one brick per quote: room for all of them costs address space only, and
    // spares the copies and fresh pages of a growing array.
    bricks.reserve(static_cast<std::size_t>(list.Count()));
    builder.First(*list.Items(0));
    const std::span<const double> closes = list.Closes();
    for (std::size_t i = 1; i < closes.size(); ++i)
        builder.Next(closes[i]);
    return bricks;
}

} // namespace korvala

#pragma once

// The rule of the P&F build for one quote, shared by the whole build (BuildPFChart) and
// by the replay that grows a chart quote by quote. Internal to the model.

#include "pfbuild.h"
#include "quotes.h"

#include <cmath>
#include <vector>

namespace korvala {

// The grid's size and the row of the first quote for closes between minClose and
// maxClose: RowCount is Round((max - min) / box) + 2, and the first quote sits
// Trunc((q0 - min) / box) rows above the bottom row. NaN or infinity when the range
// is too wide for the box.
double PFRowCount(double maxClose, double minClose, double box);
long long PFFirstRow(long long rowCount, double firstClose, double minClose, double box);

// The checks before a build: a usable box and reversal and, for quotes, their statistics
// (PFError otherwise); then the grid's rows within the limit.
void CheckPFBuild(const TFList &quotes, double box, double reverse);
void CheckPFRows(double rows, const PFLimits &limits);

// Where the last column of a chart stands between two closes: the price level it has
// reached, the row of its extreme, the boxes drawn so far and its mark.
struct PFCursor
{
    double lastBoxPrice = 0;
    long long row = 0; // 64 bits while building: a column may drift past the grid
    long long boxes = 0;
    char mark = PFGrid::kMarkX;
};

// What one close did to the chart.
enum class PFStep { Quiet, CounterMove, Extended, Reversed };

// The rule of the build for the close c of quote i (after the first): a move of more than
// one box in the column's direction extends it, a counter-move of at least the reversal
// (and more than one box) opens the next column one row beyond the extreme, a smaller
// counter-move takes the quote from the extreme cell. Before a step that would pass
// maxBoxes boxes, limit() is called; it must throw.
template <class Limit>
[[gnu::always_inline]] inline PFStep TakeClose(PFCursor &s, double c, int i, double box,
                                               double reverse, long long maxBoxes, PFGrid &grid,
                                               Limit &&limit)
{
    const double d = std::fabs(c - s.lastBoxPrice);
    if (d <= box)
        return PFStep::Quiet;
    const long long n = static_cast<long long>(std::trunc(d / box));
    const bool up = c > s.lastBoxPrice;
    if ((s.mark == PFGrid::kMarkX) == up) {
        s.boxes += n;
        if (s.boxes > maxBoxes)
            limit();
        s.row = up ? s.row - n : s.row + n;
        grid.ExtendTo(static_cast<int>(s.row), i);
        s.lastBoxPrice = up ? s.lastBoxPrice + n * box : s.lastBoxPrice - n * box;
        return PFStep::Extended;
    }
    if (d < reverse) {
        grid.SetExtremeQuote(PFGrid::kNoQuote);
        return PFStep::CounterMove;
    }
    s.boxes += n + 1;
    if (s.boxes > maxBoxes)
        limit();
    ++grid.ColCount;
    s.mark = up ? PFGrid::kMarkX : PFGrid::kMarkO;
    const long long start = up ? s.row - 1 : s.row + 1;
    s.row = up ? start - n : start + n;
    grid.BeginColumn(s.mark, static_cast<int>(start), i);
    grid.ExtendTo(static_cast<int>(s.row), i);
    s.lastBoxPrice = up ? s.lastBoxPrice + n * box : s.lastBoxPrice - n * box;
    return PFStep::Reversed;
}

class PFBuilder final
{
public:
    // The figures of the column being built, kept here while the quotes stream past and
    // written into its record when the column closes (or when the replay shows it).
    struct Running
    {
        double close = 0;
        double high = 0;
        double low = 0;
        double volume = 0;
        int first = 0; // the quote that opened the column
        int last = 0;  // the latest quote taken into the column

        void Open(const TFPoint &q, int index)
        {
            close = q.Close;
            high = q.High;
            low = q.Low;
            volume = q.Volume;
            first = last = index;
        }
        void Take(const TFPoint &q, int index)
        {
            close = q.Close;
            if (q.High > high)
                high = q.High;
            if (q.Low < low)
                low = q.Low;
            volume = volume + q.Volume;
            last = index;
        }
    };

    // Where the build stands between two quotes.
    struct State
    {
        PFCursor cursor;
        int col = 0;
        Running running;
    };

    PFBuilder(const TFList &quotes, double box, double reverse, long long maxBoxes, PFGrid &grid,
              TFList &columns)
        : m_quotes(quotes), m_box(box), m_reverse(reverse), m_maxBoxes(maxBoxes), m_grid(grid),
          m_columns(columns)
    {
    }

    // The first quote opens column 0, an X column, at row.
    State Start(long long row);
    // One quote after the first. Throws PFError when the boxes would pass the limit; the
    // open column is then closed with what it has. (The state is the caller's own, so that
    // a whole build keeps it in registers.)
    [[gnu::always_inline]] inline void Take(State &s, const TFPoint &q, int i);
    // The open column's figures and period into its record.
    void WriteOpenRecord(Running running, char mark) const;
    void WriteOpenRecord(const State &s) const { WriteOpenRecord(s.running, s.cursor.mark); }
    // After the records were brought back to an earlier state: the open column's record
    // is that of its column.
    void FindOpenRecord(int col) { m_record = m_columns.Items(col); }

private:
    [[noreturn, gnu::noinline, gnu::cold]] void BoxLimitPassed(Running running, char mark);

    const TFList &m_quotes;
    const double m_box;
    const double m_reverse;
    const long long m_maxBoxes;
    PFGrid &m_grid;
    TFList &m_columns;
    TFPoint *m_record = nullptr; // the open column's record
};

// A new record for the column that q opens.
TFPoint &OpenPFRecord(TFList &columns, const TFPoint &q, int direction);

inline void PFBuilder::Take(State &s, const TFPoint &q, int i)
{
    const char mark = s.cursor.mark;
    const PFStep step = TakeClose(s.cursor, q.Close, i, m_box, m_reverse, m_maxBoxes, m_grid,
                                  [&] { BoxLimitPassed(s.running, mark); });
    if (step != PFStep::Reversed) {
        s.running.Take(q, i);
        return;
    }
    WriteOpenRecord(s.running, mark);
    ++s.col;
    m_record = &OpenPFRecord(m_columns, q, s.cursor.mark == PFGrid::kMarkX ? 1 : -1);
    s.running.Open(q, i);
}

} // namespace korvala

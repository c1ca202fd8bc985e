#include "pfbuild.h"

#include "numtext.h"
#include "quotes.h"

#include <cmath>
#include <string>

namespace korvala {

const PFGrid::Column *PFGrid::ColumnAt(int col) const
{
    if (col < 0 || static_cast<std::size_t>(col) >= m_columns.size())
        return nullptr;
    return &m_columns[static_cast<std::size_t>(col)];
}

int PFGrid::FirstRow(int col) const
{
    const Column *c = ColumnAt(col);
    return c ? c->firstRow : 0;
}

int PFGrid::LastRow(int col) const
{
    const Column *c = ColumnAt(col);
    return c ? c->firstRow + c->count - 1 : -1;
}

char PFGrid::ColumnMark(int col) const
{
    const Column *c = ColumnAt(col);
    return c ? c->mark : '\0';
}

char PFGrid::Mark(int col, int row) const
{
    const Column *c = ColumnAt(col);
    if (!c || row < c->firstRow || row - c->firstRow >= c->count)
        return '\0';
    return c->mark;
}

int PFGrid::CellQuote(int col, int row) const
{
    const Column *c = ColumnAt(col);
    if (!c || row < c->firstRow || row - c->firstRow >= c->count)
        return kNoQuote;
    // Cells are kept in the order the column reached them: an X column bottom up.
    const int k = c->mark == kMarkX ? c->firstRow + c->count - 1 - row : row - c->firstRow;
    return m_cells[static_cast<std::size_t>(c->offset + k)];
}

std::vector<int> PFGrid::TopRows() const
{
    std::vector<int> rows;
    rows.reserve(m_columns.size());
    for (const Column &c : m_columns)
        rows.push_back(c.firstRow);
    return rows;
}

std::vector<int> PFGrid::BottomRows() const
{
    std::vector<int> rows;
    rows.reserve(m_columns.size());
    for (const Column &c : m_columns)
        rows.push_back(c.firstRow + c.count - 1);
    return rows;
}

void PFGrid::Reset()
{
    RowCount = 1;
    ColCount = 1;
    Box = 0;
    Reverse = 0;
    m_columns.clear();
    m_cells.clear();
    m_openMark = 0;
}

void PFGrid::ClearQuotes()
{
    for (auto &cell : m_cells)
        cell = kNoQuote;
}

void PFGrid::BeginColumn(char mark, int startRow, int quote)
{
    EndColumn();
    m_openMark = mark;
    m_openStart = startRow;
    m_openOffset = static_cast<std::int64_t>(m_cells.size());
    m_cells.push_back(quote);
}

void PFGrid::ExtendTo(int target, int quote)
{
    const long long count = static_cast<long long>(m_cells.size()) - m_openOffset;
    const long long extreme = m_openMark == kMarkX ? m_openStart - count + 1 : m_openStart + count - 1;
    const long long steps = m_openMark == kMarkX ? extreme - target : target - extreme;
    m_cells.back() = quote;
    for (long long k = 0; k < steps; ++k)
        m_cells.push_back(quote);
}

void PFGrid::SetExtremeQuote(int quote)
{
    if (m_openMark != 0)
        m_cells.back() = quote;
}

void PFGrid::EndColumn()
{
    if (m_openMark == 0)
        return;
    const int count = static_cast<int>(static_cast<std::int64_t>(m_cells.size()) - m_openOffset);
    m_columns.push_back({m_openMark == kMarkX ? m_openStart - count + 1 : m_openStart, count,
                         m_openOffset, m_openMark});
    m_openMark = 0;
}

namespace {

const char *Suffix(char mark) { return mark == PFGrid::kMarkX ? " - UP" : " - DOWN"; }

// The figures of the column being built, kept in locals while the quotes stream past
// and written into its record when the column closes.
struct RunningColumn
{
    double close;
    double high;
    double low;
    double volume;
    int first; // the quote that opened the column
    int last;  // the latest quote taken into the column

    RunningColumn(const TFPoint &q, int index)
        : close(q.Close), high(q.High), low(q.Low), volume(q.Volume), first(index), last(index)
    {
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

TFPoint &OpenRecord(TFList &columns, const TFPoint &q, int direction)
{
    TFPoint &record = columns.AddNew();
    record.Direction = direction;
    record.Open = q.Open;
    record.Close = q.Close;
    record.High = q.High;
    record.Low = q.Low;
    record.Volume = q.Volume;
    return record;
}

// The column's figures and its period end into its record.
void CloseRecord(TFPoint &record, RunningColumn running, const TFList &quotes, char mark)
{
    record.Close = running.close;
    record.High = running.high;
    record.Low = running.low;
    record.Volume = running.volume;
    record.SetPeriod(quotes.Items(running.first)->DateText, quotes.Items(running.last)->DateText,
                     Suffix(mark));
}

[[noreturn, gnu::noinline, gnu::cold]] void ThrowBoxLimit(long long limit)
{
    throw PFError("The chart would need more than " + FormatN(static_cast<double>(limit), 0)
                  + " boxes; choose a larger box");
}

} // namespace

void BuildPFChart(const TFList &quotes, double box, double reverse, PFGrid &grid,
                  TFList &columns, const PFLimits &limits)
{
    if (!(box > 0) || std::isnan(reverse))
        throw PFError("The box size must be a positive number");
    if (quotes.Count() == 0)
        return;
    if (!quotes.HasStatistics())
        throw PFError("The quote file was not loaded completely; open it again before "
                      "building the chart");

    const double rows = std::nearbyint((quotes.MaxClose - quotes.MinClose) / box) + 2;
    if (!std::isfinite(rows) || rows > limits.maxRows)
        throw PFError("The chart would need more than " + FormatN(limits.maxRows, 0)
                      + " rows; choose a larger box");
    grid.RowCount = static_cast<int>(rows);
    grid.ColCount = 1;
    grid.Box = box;
    grid.Reverse = reverse;

    const TFPoint &q0 = *quotes.Items(0);
    double lastBoxPrice = q0.Close;
    // Rows are counted in 64 bits while building: a column may drift past the grid.
    long long row = grid.RowCount
                    - static_cast<long long>(std::trunc((q0.Close - quotes.MinClose) / box)) - 1;
    char mark = PFGrid::kMarkX;
    long long boxes = 1;
    grid.BeginColumn(mark, static_cast<int>(row), 0);

    TFPoint *record = &OpenRecord(columns, q0, 1);
    RunningColumn running(q0, 0);

    // Past the limit the build stops with what it has made, the open column closed.
    const long long maxBoxes = limits.maxBoxes;
    auto addBoxes = [&](long long n) {
        boxes += n;
        if (boxes > maxBoxes) {
            grid.EndColumn();
            CloseRecord(*record, running, quotes, mark);
            ThrowBoxLimit(maxBoxes);
        }
    };

    quotes.ForEachFrom(1, [&](const TFPoint &q, int i) {
        const double c = q.Close;
        const double d = std::fabs(c - lastBoxPrice);
        if (d <= box) {
            running.Take(q, i);
            return;
        }
        const long long n = static_cast<long long>(std::trunc(d / box));
        const bool up = c > lastBoxPrice;
        const bool withTrend = (mark == PFGrid::kMarkX) == up;
        if (withTrend) {
            addBoxes(n);
            const long long target = up ? row - n : row + n;
            grid.ExtendTo(static_cast<int>(target), i);
            running.Take(q, i);
            row = target;
            lastBoxPrice = up ? lastBoxPrice + n * box : lastBoxPrice - n * box;
        } else if (d < reverse) {
            grid.SetExtremeQuote(PFGrid::kNoQuote);
            running.Take(q, i);
        } else {
            addBoxes(n + 1);
            CloseRecord(*record, running, quotes, mark);
            ++grid.ColCount;
            mark = up ? PFGrid::kMarkX : PFGrid::kMarkO;
            row = up ? row - 1 : row + 1;
            const long long target = up ? row - n : row + n;
            grid.BeginColumn(mark, static_cast<int>(row), i);
            grid.ExtendTo(static_cast<int>(target), i);
            record = &OpenRecord(columns, q, up ? 1 : -1);
            running = RunningColumn(q, i);
            row = target;
            lastBoxPrice = up ? lastBoxPrice + n * box : lastBoxPrice - n * box;
        }
    });
    grid.EndColumn();
    CloseRecord(*record, running, quotes, mark);
    columns.Statistics();
}

} // namespace korvala

#include "pfbuild.h"

#include "pfbuilder.h"

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

void PFGrid::ReopenColumn()
{
    if (m_openMark != 0 || m_columns.empty())
        return;
    const Column c = m_columns.back();
    m_columns.pop_back();
    m_openMark = c.mark;
    m_openOffset = c.offset;
    // An X column grows upwards from its first cell, the lowest one.
    m_openStart = c.mark == kMarkX ? c.firstRow + c.count - 1 : c.firstRow;
}

PFGrid::Position PFGrid::Tell() const
{
    Position p;
    p.columns = m_columns.size();
    p.cells = m_cells.size();
    p.lastCell = m_cells.empty() ? kNoQuote : m_cells.back();
    p.openOffset = m_openOffset;
    p.openStart = m_openStart;
    p.openMark = m_openMark;
    return p;
}

void PFGrid::Restore(const Position &position, int rowShift)
{
    m_columns.resize(position.columns);
    m_cells.resize(position.cells);
    if (!m_cells.empty())
        m_cells.back() = position.lastCell;
    m_openOffset = position.openOffset;
    m_openStart = position.openStart + rowShift;
    m_openMark = position.openMark;
}

void PFGrid::ShiftRows(int delta)
{
    for (Column &c : m_columns)
        c.firstRow += delta;
    m_openStart += delta;
}

namespace {

const char *Suffix(char mark) { return mark == PFGrid::kMarkX ? " - UP" : " - DOWN"; }

} // namespace

TFPoint &OpenPFRecord(TFList &columns, const TFPoint &q, int direction)
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

double PFRowCount(double maxClose, double minClose, double box)
{
    return std::nearbyint((maxClose - minClose) / box) + 2;
}

long long PFFirstRow(long long rowCount, double firstClose, double minClose, double box)
{
    return rowCount - static_cast<long long>(std::trunc((firstClose - minClose) / box)) - 1;
}

PFBuilder::State PFBuilder::Start(long long row)
{
    const TFPoint &q0 = *m_quotes.Items(0);
    State s;
    s.lastBoxPrice = q0.Close;
    s.row = row;
    s.boxes = 1;
    m_grid.BeginColumn(PFGrid::kMarkX, static_cast<int>(row), 0);
    m_record = &OpenPFRecord(m_columns, q0, 1);
    s.running.Open(q0, 0);
    return s;
}

void PFBuilder::WriteOpenRecord(Running r, char mark) const
{
    m_record->Close = r.close;
    m_record->High = r.high;
    m_record->Low = r.low;
    m_record->Volume = r.volume;
    m_record->SetPeriod(m_quotes.Items(r.first)->DateText, m_quotes.Items(r.last)->DateText,
                        Suffix(mark));
}

// Past the limit the build stops with what it has made, the open column closed.
void PFBuilder::BoxLimitPassed(Running running, char mark)
{
    m_grid.EndColumn();
    WriteOpenRecord(running, mark);
    throw PFError("The chart would need more than " + FormatN(static_cast<double>(m_maxBoxes), 0)
                  + " boxes; choose a larger box");
}

void BuildPFChart(const TFList &quotes, double box, double reverse, PFGrid &grid,
                  TFList &columns, const PFLimits &limits)
{
    CheckPFBuild(quotes, box, reverse);
    if (quotes.Count() == 0)
        return;

    const double rows = PFRowCount(quotes.MaxClose, quotes.MinClose, box);
    CheckPFRows(rows, limits);
    grid.RowCount = static_cast<int>(rows);
    grid.ColCount = 1;
    grid.Box = box;
    grid.Reverse = reverse;

    PFBuilder builder(quotes, box, reverse, limits.maxBoxes, grid, columns);
    PFBuilder::State s =
        builder.Start(PFFirstRow(grid.RowCount, quotes.Items(0)->Close, quotes.MinClose, box));
    quotes.ForEachFrom(1, [&builder, &s](const TFPoint &q, int i) { builder.Take(s, q, i); });
    grid.EndColumn();
    builder.WriteOpenRecord(s);
    columns.Statistics();
}

void CheckPFBuild(const TFList &quotes, double box, double reverse)
{
    if (!(box > 0) || std::isnan(reverse))
        throw PFError("The box size must be a positive number");
    if (quotes.Count() > 0 && !quotes.HasStatistics())
        throw PFError("The quote file was not loaded completely; open it again before "
                      "building the chart");
}

void CheckPFRows(double rows, const PFLimits &limits)
{
    if (!std::isfinite(rows) || rows > limits.maxRows)
        throw PFError("The chart would need more than " + FormatN(limits.maxRows, 0)
                      + " rows; choose a larger box");
}

} // namespace korvala

#include "buildreplay.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvala {

int ReplayStartCount(const TFList &quotes, double startDateTime)
{
    // Dates ascend: the first quote at or after the date is found by halving.
    int lo = 0;
    int hi = quotes.Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (quotes.Items(mid)->DateTime < startDateTime)
            lo = mid + 1;
        else
            hi = mid;
    }
    return std::clamp(lo + 1, 1, std::max(1, quotes.Count()));
}

ReplayPace PaceForSpeed(int quotesPerSecond)
{
    constexpr int kShortestInterval = 40;
    const double speed = std::max(1, quotesPerSecond);
    // As few quotes per tick as the shortest interval allows, then the interval that
    // gives the speed.
    ReplayPace pace;
    pace.stepsPerTick = static_cast<int>(std::ceil(speed * kShortestInterval / 1000));
    pace.intervalMs = static_cast<int>(std::lround(1000 * pace.stepsPerTick / speed));
    return pace;
}

// --- The P&F chart. ---

PFReplayBuild::PFReplayBuild(const TFList &quotes, double box, double reverse, PFGrid &grid,
                             TFList &columns, const PFLimits &limits)
    : m_quotes(quotes), m_box(box), m_limits(limits), m_grid(grid),
      m_columns(columns), m_builder(quotes, box, reverse, limits.maxBoxes, grid, columns)
{
    CheckPFBuild(quotes, box, reverse);
    m_grid.Reset();
    m_columns.Clear();
    m_columns.ResetStatistics();
    if (quotes.Count() == 0)
        return;

    const TFPoint &q0 = *quotes.Items(0);
    m_maxClose = std::max(0.0, q0.Close);
    m_minClose = std::min(TFList::kMinStart, q0.Close);
    const double rows = PFRowCount(m_maxClose, m_minClose, box);
    CheckPFRows(rows, limits);
    m_rowBase = static_cast<int>(PFFirstRow(static_cast<long long>(rows), q0.Close, m_minClose, box));
    m_grid.Box = box;
    m_grid.Reverse = reverse;
    m_state = m_builder.Start(m_rowBase);
    m_taken = 1;
    SaveCheckpoint();
    Publish();
}

void PFReplayBuild::GoTo(int taken)
{
    m_lastShift = 0;
    if (Count() == 0)
        return;
    taken = std::clamp(taken, 1, Count());
    const int base = m_rowBase;

    // Back: from the latest point saved at or before the target. The points are saved
    // on the way forward, so every one up to the furthest quote taken exists. (Only
    // going back can use them: what lies past the quotes taken is no longer stored.)
    if (taken < m_taken)
        RestoreCheckpoint(m_checkpoints[static_cast<std::size_t>((taken - 1) / kCheckpointEvery)]);
    else
        m_grid.ReopenColumn();

    while (m_taken < taken)
        TakeNext();
    Publish();
    m_lastShift = m_rowBase - base;
}

void PFReplayBuild::TakeNext()
{
    const TFPoint &q = *m_quotes.Items(m_taken);
    if (q.Close > m_maxClose)
        m_maxClose = q.Close;
    if (q.Close < m_minClose)
        m_minClose = q.Close;
    m_builder.Take(m_state, q, m_taken);
    ++m_taken;
    if ((m_taken - 1) % kCheckpointEvery == 0
        && m_checkpoints.size() == static_cast<std::size_t>((m_taken - 1) / kCheckpointEvery))
        SaveCheckpoint();
}

void PFReplayBuild::SaveCheckpoint()
{
    FoldClosedRecords();
    Checkpoint cp;
    cp.taken = m_taken;
    cp.state = m_state;
    cp.rowBase = m_rowBase;
    cp.grid = m_grid.Tell();
    cp.records = m_columns.Count();
    cp.maxClose = m_maxClose;
    cp.minClose = m_minClose;
    cp.closed = m_closed;
    cp.folded = m_folded;
    m_checkpoints.push_back(cp);
}

void PFReplayBuild::RestoreCheckpoint(const Checkpoint &cp)
{
    // The stored rows have moved by this much since the point was saved.
    const int shift = m_rowBase - cp.rowBase;
    m_grid.Restore(cp.grid, shift);
    while (m_columns.Count() > cp.records)
        m_columns.RemoveLast();
    m_state = cp.state;
    m_state.cursor.row += shift;
    m_builder.FindOpenRecord(m_state.col);
    m_maxClose = cp.maxClose;
    m_minClose = cp.minClose;
    m_closed = cp.closed;
    m_folded = cp.folded;
    m_taken = cp.taken;
}

// The rows where a build of the quotes taken puts them, the open column closed as the
// build closes it, and the column list's figures.
void PFReplayBuild::Publish()
{
    const double rows = PFRowCount(m_maxClose, m_minClose, m_box);
    CheckPFRows(rows, m_limits);
    const auto rowCount = static_cast<long long>(rows);
    const int rowBase =
        static_cast<int>(PFFirstRow(rowCount, m_quotes.Items(0)->Close, m_minClose, m_box));
    if (rowBase != m_rowBase) {
        const int delta = rowBase - m_rowBase;
        m_grid.ShiftRows(delta);
        m_state.cursor.row += delta;
        m_rowBase = rowBase;
    }
    const int open = m_state.col;
    m_grid.RowCount = static_cast<int>(rowCount);
    m_grid.ColCount = open + 1;
    m_grid.EndColumn();
    m_builder.WriteOpenRecord(m_state);

    FoldClosedRecords();
    ListFigures figures = m_closed;
    figures.Include(*m_columns.Items(open));
    m_columns.SetFigures(figures);
}

void PFReplayBuild::FoldClosedRecords()
{
    for (; m_folded < m_state.col; ++m_folded)
        m_closed.Include(*m_columns.Items(m_folded));
}

// --- The document's chart. ---

PFDocumentReplay::PFDocumentReplay(PFDocument &doc) : m_doc(doc)
{
    if (!(doc.sg.Box > 0) || doc.QuoteList.Count() == 0)
        throw PFError("There is no chart to replay; build one first");
    SwapCharts();
    try {
        m_build = std::make_unique<PFReplayBuild>(doc.QuoteList, m_grid.Box, m_grid.Reverse,
                                                  doc.sg, doc.FColumns);
    } catch (...) {
        SwapCharts();
        throw;
    }
    TakeRowLists();
}

PFDocumentReplay::~PFDocumentReplay()
{
    m_build.reset();
    SwapCharts();
}

void PFDocumentReplay::GoTo(int taken)
{
    m_build->GoTo(taken);
    TakeRowLists();
}

int PFDocumentReplay::RowShiftAtEnd() const
{
    // The first quote's box is the first cell of column 0 in either chart.
    return m_grid.LastRow(0) - m_doc.sg.LastRow(0);
}

void PFDocumentReplay::SwapCharts()
{
    std::swap(m_grid, m_doc.sg);
    m_columns.Swap(m_doc.FColumns);
    m_topRow.swap(m_doc.FColTopRow);
    m_bottomRow.swap(m_doc.FColBottomRow);
}

void PFDocumentReplay::TakeRowLists()
{
    m_doc.FColTopRow = m_doc.sg.TopRows();
    m_doc.FColBottomRow = m_doc.sg.BottomRows();
}

// --- The line-break bricks. ---

LineBreakReplayBuild::LineBreakReplayBuild(const TFList &quotes)
    : m_quotes(quotes), m_builder(m_bricks)
{
    if (quotes.Count() == 0)
        return;
    m_builder.First(*quotes.Items(0));
    m_madeBy.push_back(0);
    m_rising.push_back(m_builder.Up());
    m_taken = 1;
}

void LineBreakReplayBuild::GoTo(int taken)
{
    if (Count() == 0)
        return;
    taken = std::clamp(taken, 1, Count());
    if (taken < m_taken) {
        while (m_madeBy.back() >= taken) {
            m_bricks.pop_back();
            m_madeBy.pop_back();
            m_rising.pop_back();
        }
        m_builder.SetUp(m_rising.back());
        m_taken = taken;
        return;
    }
    for (; m_taken < taken; ++m_taken) {
        const std::size_t before = m_bricks.size();
        m_builder.Next(m_quotes.Items(m_taken)->Close);
        if (m_bricks.size() != before) {
            m_madeBy.push_back(m_taken);
            m_rising.push_back(m_builder.Up());
        }
    }
}

} // namespace korvala

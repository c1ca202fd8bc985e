#include "pfbuild.h"

#include "pfbuilder.h"

#include "blockmemory.h"

#include "numtext.h"
#include "quotes.h"

#include <oneapi/tbb/task_group.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <span>
#include <string>
#include <thread>

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
    s.cursor.lastBoxPrice = q0.Close;
    s.cursor.row = row;
    s.cursor.boxes = 1;
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

namespace {

// The column records, written while the loop over the closes goes on. The loop tells
// where each column starts; once the next one starts (or the loop ends) the column's
// quotes are known, and a second thread writes its record: the open of its first quote,
// the close of its last, the highest high, the lowest low, the volumes added in list
// order, the period texts. Every figure is the one a quote-by-quote pass gives. Short
// lists are written on the calling thread when the loop ends.
class ColumnRecordWriter final
{
public:
    ColumnRecordWriter(const TFList &quotes, TFList &columns)
        : m_quotes(quotes), m_columns(columns)
    {
        // Room for the most columns there can be, so that the writer reads the starts
        // while the loop appends to them; untouched room costs no memory.
        m_starts.reserve(static_cast<std::size_t>(quotes.Count()) + 1);
        m_marks.reserve(static_cast<std::size_t>(quotes.Count()) + 1);
        m_startsAt = m_starts.data();
        m_marksAt = m_marks.data();
    }
    ~ColumnRecordWriter()
    {
        m_done.store(true, std::memory_order_release);
        try {
            m_group.wait();
        } catch (...) {
            // Only reached while an exception of the build itself is on its way.
        }
    }
    ColumnRecordWriter(const ColumnRecordWriter &) = delete;
    ColumnRecordWriter &operator=(const ColumnRecordWriter &) = delete;

    void Open(int first, char mark)
    {
        m_starts.push_back(first);
        m_marks.push_back(mark);
        // Columns are handed over in batches: the writer then stays well behind the
        // columns being appended, and the counter it watches changes seldom.
        if (m_starts.size() % kBatch == 1 && m_starts.size() > 1)
            m_ready.store(m_starts.size() - 1, std::memory_order_release);
        if (m_starts.size() == 1 && m_quotes.Count() >= kConcurrentFrom)
            m_group.run([this] { WriteAll(); });
    }

    // The open column ends with quote last; waits until every record is written.
    void Finish(int last)
    {
        m_starts.push_back(last + 1);
        m_ready.store(m_starts.size() - 1, std::memory_order_release);
        m_done.store(true, std::memory_order_release);
        if (m_quotes.Count() >= kConcurrentFrom)
            m_group.wait();
        else
            WriteAll();
    }

private:
    static constexpr int kConcurrentFrom = 20000;
    static constexpr std::size_t kTextsAhead = 6;
    static constexpr std::size_t kBatch = 256;

    void WriteAll()
    {
        std::size_t k = 0;
        for (;;) {
            const std::size_t ready = m_ready.load(std::memory_order_acquire);
            if (k == ready) {
                if (m_done.load(std::memory_order_acquire)) {
                    if (k == m_ready.load(std::memory_order_acquire))
                        return;
                    continue;
                }
                std::this_thread::yield();
                continue;
            }
            for (; k < ready; ++k) {
                if (k + kTextsAhead < ready)
                    FetchTexts(k + kTextsAhead);
                Write(k);
            }
        }
    }

    // The date texts of a column ahead (a short text lies inside the record, in its
    // second cache line, which the sweeps over the prices never fetch).
    void FetchTexts(std::size_t k) const
    {
        const char *first = reinterpret_cast<const char *>(m_quotes.Items(m_startsAt[k]));
        PrefetchForRead(first);
        PrefetchForRead(first + 64);
        PrefetchForRead(reinterpret_cast<const char *>(m_quotes.Items(m_startsAt[k + 1] - 1)) + 64);
    }

    void Write(std::size_t k)
    {
        const int first = m_startsAt[k];
        const int last = m_startsAt[k + 1] - 1;
        const TFPoint &q0 = *m_quotes.Items(first);
        TFPoint &record = m_columns.AddNew();
        record.Direction = m_marksAt[k] == PFGrid::kMarkX ? 1 : -1;
        record.Open = q0.Open;
        double high = q0.High, low = q0.Low, volume = q0.Volume;
        m_quotes.ForEachBetween(first + 1, last + 1, [&](const TFPoint &q, int) {
            if (q.High > high)
                high = q.High;
            if (q.Low < low)
                low = q.Low;
            volume = volume + q.Volume;
        });
        const TFPoint &qn = *m_quotes.Items(last);
        record.Close = qn.Close;
        record.High = high;
        record.Low = low;
        record.Volume = volume;
        record.SetPeriod(q0.DateText, qn.DateText, Suffix(m_marksAt[k]));
    }

    const TFList &m_quotes;
    TFList &m_columns;
    std::vector<int> m_starts;
    std::vector<char> m_marks;
    // The writer reads the starts and marks through these (the room never moves), never
    // through the vectors, whose ends the loop keeps moving.
    const int *m_startsAt = nullptr;
    const char *m_marksAt = nullptr;
    // Each on a cache line of its own: the writer watches them while the loop appends.
    alignas(64) std::atomic<std::size_t> m_ready{0}; // columns whose quotes are known
    alignas(64) std::atomic<bool> m_done{false};
    alignas(64) tbb::task_group m_group;
};

// Most quotes leave the chart as it is: a move of at most one box, or a counter-move
// smaller than the reversal, which only takes the quote from the column's extreme cell.
// Returns the first quote from i on that does more (count when none does); counterMove
// is set when one of the quotes passed was such a counter-move. x is the move in the
// column's own direction, so one test serves X and O columns; four quotes are tested
// at a time without a branch, so that only the quotes that change the chart cost a
// mispredicted jump.
int SkipQuietQuotes(const double *close, int i, int count, double last, double box,
                    double reverse, bool up, bool &counterMove)
{
    const double sign = up ? 1.0 : -1.0;
    auto test = [&](double c, unsigned &busy, unsigned &counter, int k) {
        const double x = sign * (c - last);
        // Bitwise operators: every comparison is made, none of them jumps.
        const unsigned quiet = static_cast<unsigned>(x <= box)
                               & (static_cast<unsigned>(x >= -box) | static_cast<unsigned>(x > -reverse));
        busy |= (quiet ^ 1u) << k;
        counter |= (static_cast<unsigned>(x < -box) & static_cast<unsigned>(x > -reverse)) << k;
    };
    for (; i + 4 <= count; i += 4) {
        unsigned busy = 0, counter = 0;
        test(close[i], busy, counter, 0);
        test(close[i + 1], busy, counter, 1);
        test(close[i + 2], busy, counter, 2);
        test(close[i + 3], busy, counter, 3);
        if (busy) {
            const int k = std::countr_zero(busy);
            counterMove = counterMove || (counter & ((1u << k) - 1)) != 0;
            return i + k;
        }
        counterMove = counterMove || counter != 0;
    }
    for (; i < count; ++i) {
        unsigned busy = 0, counter = 0;
        test(close[i], busy, counter, 0);
        if (busy)
            return i;
        counterMove = counterMove || counter != 0;
    }
    return count;
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
    CheckPFBuild(quotes, box, reverse);
    if (quotes.Count() == 0)
        return;

    const double rows = PFRowCount(quotes.MaxClose, quotes.MinClose, box);
    CheckPFRows(rows, limits);
    grid.RowCount = static_cast<int>(rows);
    grid.ColCount = 1;
    grid.Box = box;
    grid.Reverse = reverse;

    // Only the closes decide the boxes and where the columns turn: the loop reads the
    // compact array of closes; the column records are written from the records after it.
    const std::span<const double> closes = quotes.Closes();
    PFCursor s;
    s.lastBoxPrice = closes[0];
    s.row = PFFirstRow(grid.RowCount, closes[0], quotes.MinClose, box);
    s.boxes = 1;
    grid.BeginColumn(s.mark, static_cast<int>(s.row), 0);
    ColumnRecordWriter records(quotes, columns);
    records.Open(0, s.mark);

    // Past the limit the build stops with what it has made, the open column closed with
    // the quotes before the one that would pass it.
    const int count = static_cast<int>(closes.size());
    const double *const close = closes.data();
    bool counterMove = false;
    for (int i = 1; i < count; ++i) {
        i = SkipQuietQuotes(close, i, count, s.lastBoxPrice, box, reverse,
                            s.mark == PFGrid::kMarkX, counterMove);
        if (i == count)
            break;
        if (counterMove) {
            grid.SetExtremeQuote(PFGrid::kNoQuote);
            counterMove = false;
        }
        const PFStep step = TakeClose(s, close[i], i, box, reverse, limits.maxBoxes, grid, [&] {
            grid.EndColumn();
            records.Finish(i - 1);
            ThrowBoxLimit(limits.maxBoxes);
        });
        if (step == PFStep::Reversed)
            records.Open(i, s.mark);
    }
    if (counterMove)
        grid.SetExtremeQuote(PFGrid::kNoQuote);
    grid.EndColumn();
    records.Finish(count - 1);
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

#pragma once

// Point & Figure construction: the sparse grid of a build and the build itself.

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace korvala {

class TFList;

// A build that cannot be made: too many boxes or rows, or quotes whose load failed.
class PFError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The cells of a Point & Figure chart. Every P&F column is one contiguous run of rows,
// so a column is stored as its first row and the cells from there down; the memory is
// proportional to the boxes drawn, never to RowCount × ColCount. Any row can be stored
// and read back (an O column may reach row RowCount, outside the drawn grid).
class PFGrid final
{
public:
    static constexpr char kMarkX = 'x';
    static constexpr char kMarkO = '0';
    static constexpr int kNoQuote = -1;

    int RowCount = 1;
    int ColCount = 1;
    // The box and the reversal the cells were built with (0 before a build).
    double Box = 0;
    double Reverse = 0;

    // 'x', '0', or '\0' for an empty cell.
    char Mark(int col, int row) const;
    // Index of the cell's quote in the quote list, or kNoQuote.
    int CellQuote(int col, int row) const;

    // Filled rows of a column: first (top) and last (bottom); first > last when empty.
    int FirstRow(int col) const;
    int LastRow(int col) const;
    char ColumnMark(int col) const;
    // Per column, its top and its bottom filled row (the rows of its highest and its
    // lowest box).
    std::vector<int> TopRows() const;
    std::vector<int> BottomRows() const;
    long long BoxCount() const { return static_cast<long long>(m_cells.size()); }

    // Back to the grid of one empty cell.
    void Reset();
    // Every cell quote becomes kNoQuote; the marks stay.
    void ClearQuotes();

    // Building: columns are appended left to right; only the newest column grows.
    void BeginColumn(char mark, int startRow, int quote);
    // Fills the rows from the column's current extreme (included) to target with quote;
    // X columns grow upwards (target above), O columns downwards.
    void ExtendTo(int target, int quote);
    void SetExtremeQuote(int quote);
    void EndColumn();
    // The last column, closed by EndColumn, takes boxes again.
    void ReopenColumn();

    // Where a build stands: enough to come back to it after more quotes have been taken
    // (cells and columns are only ever added after it, and only its last cell changes).
    struct Position
    {
        std::size_t columns = 0;
        std::size_t cells = 0;
        std::int32_t lastCell = kNoQuote;
        std::int64_t openOffset = 0;
        int openStart = 0;
        char openMark = 0;
    };
    Position Tell() const;
    // Back to a position told by this grid; its rows are taken as they were then, moved
    // down by rowShift.
    void Restore(const Position &position, int rowShift);
    // Every stored row moves down by delta.
    void ShiftRows(int delta);

private:
    struct Column
    {
        int firstRow;
        int count;
        std::int64_t offset;
        char mark;
    };
    const Column *ColumnAt(int col) const;

    std::vector<Column> m_columns;
    // Per column, its cells in the order the column reached them (an X column bottom up,
    // an O column top down), the newest column last.
    std::vector<std::int32_t> m_cells;
    // The column being built: where its cells start, its first row and its mark.
    std::int64_t m_openOffset = 0;
    int m_openStart = 0;
    char m_openMark = 0;
};

struct PFLimits
{
    long long maxBoxes = 50'000'000;
    int maxRows = 1'000'000'000;
};

// Builds the chart of the closes of quotes for a box and a reversal (price units).
// Fills grid and columns (one record per column, made with AddNew), then runs
// columns.Statistics(). Both must be empty (grid reset) on entry. Throws PFError when the
// limits would be passed; what was built so far stays. (The grid and the column list are
// filled in place rather than returned: a failed build leaves what it made on screen, and
// a cleared column list reuses its pages.)
void BuildPFChart(const TFList &quotes, double box, double reverse, PFGrid &grid,
                  TFList &columns, const PFLimits &limits = {});

} // namespace korvala

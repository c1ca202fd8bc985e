#pragma once

// Pixel geometry of the P&F tab: the grid's cells, the strips round it, the cursor
// window and the main window's placement. Plain functions, no widgets.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

namespace korvala::pfview {

// The main window covers the middle three quarters of the screen in each direction.
QRect MainWindowRect(int screenWidth, int screenHeight);

// The magnitude (cell size in pixels) for the text of the Magnitude spin edit: none for
// an empty text (the user is typing), 1 for a text that is not a whole number, else the
// number brought into 1..12.
inline constexpr int kMinMagnitude = 1;
inline constexpr int kMaxMagnitude = 12;
inline constexpr int kDefaultMagnitude = 3;
std::optional<int> MagnitudeFromText(std::string_view text);

// The strips round the grid (design sizes in pixels): the date strip above, the volume
// strip below, the left ruler at start and the splitter right of it.
inline constexpr int kDateStripHeight = 16;
inline constexpr int kVolumeStripHeight = 54;
inline constexpr int kRulerWidth = 75;
inline constexpr int kSplitterWidth = 3;

// Labels along cells of cellSize pixels at least minPixels apart: every n-th cell, n the
// smallest of 1, 2, 5, 10, 20, 50 … that keeps them so.
long long LabelStep(int cellSize, int minPixels);

// What the grid shows: its size in cells, the first visible column and row, the cell
// size and the size of the area the cells are drawn in.
struct GridMetrics
{
    int colCount = 1;
    int rowCount = 1;
    int leftCol = 0;
    int topRow = 0;
    int cellW = kDefaultMagnitude;
    int cellH = kDefaultMagnitude;
    int viewW = 0;
    int viewH = 0;
};

// Columns and rows that are fully visible (never more than the grid has from the
// first visible one on, at least one while the grid has any).
int FullyVisibleCols(const GridMetrics &m);
int FullyVisibleRows(const GridMetrics &m);
// Columns and rows that are at least partly visible.
int PartlyVisibleCols(const GridMetrics &m);
int PartlyVisibleRows(const GridMetrics &m);
// The largest first column and row the scroll bars allow.
int MaxLeftCol(const GridMetrics &m);
int MaxTopRow(const GridMetrics &m);
// The column and row at a point of the cell area, -1 for a coordinate beyond the cells.
int ColAtX(const GridMetrics &m, int x);
int RowAtY(const GridMetrics &m, int y);
// The first visible column (row) after making column col (row) fully visible.
int LeftColToShow(const GridMetrics &m, int col);
int TopRowToShow(const GridMetrics &m, int row);
// The first visible row that puts row in the middle of the view (as near as the scroll
// range allows).
int TopRowToCentre(const GridMetrics &m, int row);

// Zoom about a point of the cell area: the first column and row that keep the cell under
// point p under it when the cells take the size newCellSize (as near as whole cells allow,
// and within what the scroll bars allow at that size).
QPoint ZoomedTopLeft(const GridMetrics &m, QPoint p, int newCellSize);
// The largest magnitude (1..12) at which cols × rows cells fit in a view of viewW × viewH
// pixels; 1 when none does.
int FitMagnitude(int cols, int rows, int viewW, int viewH);

// The first column and row after a replay step changed the chart under the view to
// colCount × rowCount cells, every row moving down by rowShift: the rows in view keep
// their prices, and a view that showed the newest column (at least in part) follows it
// to the box it reached (row reachedRow of the new newest column).
QPoint ReplayTopLeft(const GridMetrics &before, int colCount, int rowCount, int rowShift,
                     int reachedRow);

// Volume bars: 40 pixels for the largest column volume, truncated towards zero.
inline constexpr int kVolumeBarMax = 40;
inline constexpr int kVolumeBarBottomGap = 5;
int VolumeBarHeight(double maxVolume, double volume);
// The bar of the i-th visible column: from strip x g + cellW × i, cellW − 1 wide, ending
// 5 pixels above the strip's bottom. Empty when cellW is 1.
QRect VolumeBarRect(int g, int cellW, int i, int stripHeight, int barHeight);

// Upper edge of a column's highest box and lower edge of its lowest box, in grid pixel
// rows (kept within a range that painting can take however tall the grid is).
struct BandEdges
{
    int top = 0;
    int bottom = 0;
};
BandEdges ColumnBandEdges(int colTopRow, int colBottomRow, int topRow, int cellH);

// The left ruler only grows: a text wider than the ruler makes it text width + 2.
int GrownRulerWidth(int rulerWidth, int textWidth);

// Lines of a text: a line ends at CR, LF or CR LF; a break at the very end starts no
// further line.
int LineCount(QStringView text);
QStringList SplitLines(QStringView text);

// The cursor window for a pointer at screen point pointer: starts margin pixels below
// it and 10 right of it, ends 20 + maxLineWidth right of the pointer and 5 + lines ×
// lineHeight below its start, plus 4 pixels. When its bottom (before the 4 pixels)
// passes limitY, the whole window moves up by the difference.
QRect CursorWndRect(QPoint pointer, int margin, int maxLineWidth, int lines, int lineHeight,
                    int limitY);
// The window moved up or left where it passes the desktop's bottom or right edge, and
// right where it starts left of its left edge; its top is not corrected.
QRect ClampToDesktop(QRect window, QRect desktop);

} // namespace korvala::pfview

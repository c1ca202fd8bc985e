#include "pfgeometry.h"

#include "lines.h"
#include "numtext.h"

#include <algorithm>
#include <cmath>

namespace korvala::pfview {

QRect MainWindowRect(int screenWidth, int screenHeight)
{
    const int left = screenWidth / 8;
    const int top = screenHeight / 8;
    return QRect(left, top, screenWidth - 2 * left, screenHeight - 2 * top);
}

std::optional<int> MagnitudeFromText(std::string_view text)
{
    return SpinEditValue(text, kMinMagnitude, kMaxMagnitude);
}

namespace {

int Capacity(int viewSize, int cellSize) { return cellSize > 0 ? viewSize / cellSize : 0; }

int CeilCapacity(int viewSize, int cellSize)
{
    return cellSize > 0 ? (viewSize + cellSize - 1) / cellSize : 0;
}

// How many cells fit in a view, at least one, so that scrolling always moves.
int StepCapacity(int viewSize, int cellSize) { return std::max(1, Capacity(viewSize, cellSize)); }

} // namespace

int FullyVisibleCols(const GridMetrics &m)
{
    return std::clamp(Capacity(m.viewW, m.cellW), 0, std::max(0, m.colCount - m.leftCol));
}

int FullyVisibleRows(const GridMetrics &m)
{
    return std::clamp(Capacity(m.viewH, m.cellH), 0, std::max(0, m.rowCount - m.topRow));
}

int PartlyVisibleCols(const GridMetrics &m)
{
    return std::clamp(CeilCapacity(std::max(0, m.viewW), m.cellW), 0,
                      std::max(0, m.colCount - m.leftCol));
}

int PartlyVisibleRows(const GridMetrics &m)
{
    return std::clamp(CeilCapacity(std::max(0, m.viewH), m.cellH), 0,
                      std::max(0, m.rowCount - m.topRow));
}

int MaxLeftCol(const GridMetrics &m)
{
    return std::max(0, m.colCount - StepCapacity(m.viewW, m.cellW));
}

int MaxTopRow(const GridMetrics &m)
{
    return std::max(0, m.rowCount - StepCapacity(m.viewH, m.cellH));
}

QPoint ZoomedTopLeft(const GridMetrics &m, QPoint p, int newCellSize)
{
    if (m.cellW <= 0 || m.cellH <= 0 || newCellSize <= 0)
        return QPoint(m.leftCol, m.topRow);
    // The cell under the point, also past the last cell, stays under it: it starts as many
    // whole new cells from the edge as fit before the point.
    const auto keep = [newCellSize](int first, int pos, int oldSize) {
        const long long cell = first + static_cast<long long>(std::floor(pos / double(oldSize)));
        return cell - static_cast<long long>(std::floor(pos / double(newCellSize)));
    };
    GridMetrics zoomed = m;
    zoomed.cellW = zoomed.cellH = newCellSize;
    const long long left = keep(m.leftCol, p.x(), m.cellW);
    const long long top = keep(m.topRow, p.y(), m.cellH);
    return QPoint(static_cast<int>(std::clamp<long long>(left, 0, MaxLeftCol(zoomed))),
                  static_cast<int>(std::clamp<long long>(top, 0, MaxTopRow(zoomed))));
}

QPoint ReplayTopLeft(const GridMetrics &before, int colCount, int rowCount, int rowShift,
                     int reachedRow)
{
    const bool following = before.leftCol + PartlyVisibleCols(before) >= before.colCount;
    GridMetrics m = before;
    m.colCount = std::max(1, colCount);
    m.rowCount = std::max(1, rowCount);
    m.leftCol = std::clamp(before.leftCol, 0, MaxLeftCol(m));
    m.topRow = static_cast<int>(std::clamp<long long>(
        static_cast<long long>(before.topRow) + rowShift, 0, MaxTopRow(m)));
    if (following) {
        m.leftCol = LeftColToShow(m, m.colCount - 1);
        m.topRow = TopRowToShow(m, std::clamp(reachedRow, 0, m.rowCount - 1));
    }
    return QPoint(m.leftCol, m.topRow);
}

int FitMagnitude(int cols, int rows, int viewW, int viewH)
{
    for (int size = kMaxMagnitude; size > kMinMagnitude; --size)
        if (static_cast<long long>(cols) * size <= viewW && static_cast<long long>(rows) * size <= viewH)
            return size;
    return kMinMagnitude;
}

int ColAtX(const GridMetrics &m, int x)
{
    if (x < 0 || m.cellW <= 0)
        return -1;
    const long long col = static_cast<long long>(m.leftCol) + x / m.cellW;
    return col < m.colCount ? static_cast<int>(col) : -1;
}

int RowAtY(const GridMetrics &m, int y)
{
    if (y < 0 || m.cellH <= 0)
        return -1;
    const long long row = static_cast<long long>(m.topRow) + y / m.cellH;
    return row < m.rowCount ? static_cast<int>(row) : -1;
}

namespace {

int FirstToShow(int first, int index, int capacity, int maxFirst)
{
    if (index < first)
        return std::max(0, index);
    if (index >= first + capacity)
        return std::clamp(index - capacity + 1, 0, maxFirst);
    return first;
}

} // namespace

int LeftColToShow(const GridMetrics &m, int col)
{
    return FirstToShow(m.leftCol, col, StepCapacity(m.viewW, m.cellW), MaxLeftCol(m));
}

int TopRowToShow(const GridMetrics &m, int row)
{
    return FirstToShow(m.topRow, row, StepCapacity(m.viewH, m.cellH), MaxTopRow(m));
}

long long LabelStep(int cellSize, int minPixels)
{
    const long long cell = std::max(1, cellSize);
    for (long long decade = 1;; decade *= 10) {
        for (const long long n : {decade, 2 * decade, 5 * decade}) {
            if (n * cell >= minPixels || n >= 1'000'000'000'000LL)
                return n;
        }
    }
}

int TopRowToCentre(const GridMetrics &m, int row)
{
    return std::clamp(row - StepCapacity(m.viewH, m.cellH) / 2, 0, MaxTopRow(m));
}

int VolumeBarHeight(double maxVolume, double volume)
{
    if (!(maxVolume > 0))
        return 0;
    const double k = kVolumeBarMax / maxVolume;
    const double h = std::trunc(k * volume);
    if (!std::isfinite(h))
        return 0;
    return static_cast<int>(std::clamp(h, -1000.0, 1000.0));
}

QRect VolumeBarRect(int g, int cellW, int i, int stripHeight, int barHeight)
{
    const int left = g + cellW * i;
    const int bottom = stripHeight - kVolumeBarBottomGap; // exclusive
    return QRect(left, bottom - barHeight, std::max(0, cellW - 1), barHeight);
}

BandEdges ColumnBandEdges(int colTopRow, int colBottomRow, int topRow, int cellH)
{
    // Rows far outside the view would overflow a pixel coordinate: keep them a little
    // beyond any strip instead.
    static constexpr long long kFar = 1'000'000;
    const auto clampPx = [](long long v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); };
    const long long top = (static_cast<long long>(colTopRow) - topRow) * cellH;
    const long long bottom = (static_cast<long long>(colBottomRow) - topRow + 1) * cellH;
    return {clampPx(top), clampPx(bottom)};
}

int GrownRulerWidth(int rulerWidth, int textWidth)
{
    return rulerWidth < textWidth ? textWidth + 2 : rulerWidth;
}

QStringList SplitLines(QStringView text)
{
    QStringList lines;
    ForEachLine(std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size())),
                [&lines](std::u16string_view line) {
                    lines.append(QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size())));
                });
    return lines;
}

int LineCount(QStringView text) { return static_cast<int>(SplitLines(text).size()); }

QRect CursorWndRect(QPoint pointer, int margin, int maxLineWidth, int lines, int lineHeight,
                    int limitY)
{
    int top = pointer.y() + margin;
    const int right = pointer.x() + 20 + maxLineWidth;
    int bottom = top + 5 + lineHeight * lines;
    if (bottom > limitY) {
        const int up = bottom - limitY;
        top -= up;
        bottom -= up;
    }
    const int left = pointer.x() + 10;
    return QRect(left, top, right - left, bottom + 4 - top);
}

QRect ClampToDesktop(QRect window, QRect desktop)
{
    const int desktopRight = desktop.x() + desktop.width();
    const int desktopBottom = desktop.y() + desktop.height();
    if (window.y() + window.height() > desktopBottom)
        window.moveTop(desktopBottom - window.height());
    if (window.x() + window.width() > desktopRight)
        window.moveLeft(desktopRight - window.width());
    if (window.x() < desktop.x())
        window.moveLeft(desktop.x());
    return window;
}

} // namespace korvala::pfview

#pragma once

// The P&F grid `sg`: a scrolling view over the sparse cells of the last build. Only the
// cells in view are painted, so a grid of millions of rows scrolls like a small one;
// the scroll bars count cells, not pixels.

#include "pfgeometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>

class QPainter;

namespace korvala {

class PFGrid;
class PFSignalOverlay;

class PFGridView final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static const QColor kBackColor;  // RGB 249, 249, 249
    static const QColor kMarkXColor; // "x": RGB 160, 255, 160
    static const QColor kMarkOColor; // "0": RGB 255, 160, 160

    explicit PFGridView(QWidget *parent = nullptr);

    // The cells to show (kept by the caller); nullptr shows the grid of one empty cell.
    void SetGrid(const PFGrid *grid);
    // The look of a newly built grid: cells cellSize × cellSize, first column and row
    // 0, current cell (0, 0).
    void ResetView(int cellSize);
    // New cell size for the same cells (the magnitude changed).
    void SetCellSize(int cellSize);
    // Scrolls to where a chart's latest data is: the newest column at the right edge of
    // the view, its last box in the middle. The view keeps showing it while it changes
    // size, until the user scrolls. The current cell stays where it is.
    void ShowLatest();
    // The current cell goes to the last box of column col (its first row when it has
    // none), brought into view; Home and End (with or without Ctrl) jump so to the first
    // and the last column.
    void JumpToColumn(int col);
    // The row of a column's last box: the top of an "x" column, the bottom of a "0" one.
    int LastBoxRow(int col) const;

    int DefaultColWidth() const { return m_cellSize; }
    int DefaultRowHeight() const { return m_cellSize; }
    int ColCount() const;
    int RowCount() const;
    int LeftCol() const { return m_leftCol; }
    int TopRow() const { return m_topRow; }
    void SetLeftCol(int col);
    void SetTopRow(int row);
    // The current cell; setting it repaints the old and the new cell and scrolls until
    // the new one is fully visible.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    void SetCol(int col);
    void SetRow(int row);
    // Fully visible columns and rows.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    pfview::GridMetrics Metrics() const;

    // The cell at a point of the cell area (x: column, y: row; -1 beyond the cells).
    QPoint MouseCoord(int x, int y) const;
    // A cell's rectangle in the cell area's coordinates.
    QRect CellRect(int col, int row) const;
    // The colour an empty current cell keeps (the selection look).
    QColor CurrentCellColor() const;

    // One cell: first the grid's own look (background, or the selection look for the
    // current cell), then the marks: "x" light green, "0" light red, empty cells white
    // except the current one.
    void sgDrawCell(QPainter &painter, int col, int row, const QRect &rect) const;
    // The cells within rect (cell-area coordinates). Gives the same picture as
    // sgDrawCell for every cell in view, with one fill per column run of boxes.
    void DrawCells(QPainter &painter, const QRect &rect) const;
    // The same without a current cell, for any cells of any grid: the cells that metrics
    // puts in view and rect meets (rect in the coordinates of the area metrics
    // describes). Returns the cells painted, counted from the first ones in view; empty
    // when none.
    static QRect PaintCells(QPainter &painter, const PFGrid *grid, const pfview::GridMetrics &m,
                            const QRect &rect);

    // The signals drawn over the cells (kept by the caller); nullptr: the cells alone.
    void SetOverlay(const PFSignalOverlay *overlay);
    const PFSignalOverlay *Overlay() const { return m_overlay; }
    // What a paint shows within rect: the cells, then the overlay when there is one.
    void DrawView(QPainter &painter, const QRect &rect) const;

signals:
    // The first visible column or row changed.
    void TopLeftChanged();
    // The mouse moved over the cell area (cell-area coordinates).
    void MouseMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    char MarkAt(int col, int row) const;
    void UpdateScrollBars();
    void UpdateCell(int col, int row);
    void ScrollTo(int leftCol, int topRow);

    const PFGrid *m_grid = nullptr;
    const PFSignalOverlay *m_overlay = nullptr;
    int m_cellSize = pfview::kDefaultMagnitude;
    int m_leftCol = 0;
    int m_topRow = 0;
    int m_col = 0;
    int m_row = 0;
    bool m_followLatest = false; // ShowLatest holds until the user scrolls
    bool m_placing = false;      // the view itself is scrolling
};

} // namespace korvala

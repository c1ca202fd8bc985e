#include "pfgridview.h"

#include "pfbuild.h"
#include "pfoverlay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include <algorithm>

namespace korvala {

const QColor PFGridView::kBackColor(249, 249, 249);
const QColor PFGridView::kMarkXColor(160, 255, 160);
const QColor PFGridView::kMarkOColor(255, 160, 160);

PFGridView::PFGridView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateScrollBars();
}

void PFGridView::SetGrid(const PFGrid *grid)
{
    m_grid = grid;
    UpdateScrollBars();
    viewport()->update();
}

void PFGridView::ResetView(int cellSize)
{
    m_cellSize = std::clamp(cellSize, pfview::kMinMagnitude, pfview::kMaxMagnitude);
    m_col = 0;
    m_row = 0;
    m_leftCol = 0;
    m_topRow = 0;
    m_followLatest = false;
    {
        const QSignalBlocker hblock(horizontalScrollBar());
        const QSignalBlocker vblock(verticalScrollBar());
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    UpdateScrollBars();
    viewport()->update();
    emit TopLeftChanged();
}

void PFGridView::ShowLatest()
{
    const int col = ColCount() - 1;
    pfview::GridMetrics m = Metrics();
    m.leftCol = 0;
    ScrollTo(pfview::LeftColToShow(m, col), pfview::TopRowToCentre(m, LastBoxRow(col)));
    m_followLatest = true;
}

int PFGridView::LastBoxRow(int col) const
{
    if (!m_grid || m_grid->FirstRow(col) > m_grid->LastRow(col))
        return 0;
    const int row = m_grid->ColumnMark(col) == PFGrid::kMarkO ? m_grid->LastRow(col) : m_grid->FirstRow(col);
    // An O column may reach the row below the drawn grid.
    return std::clamp(row, 0, RowCount() - 1);
}

void PFGridView::JumpToColumn(int col)
{
    m_followLatest = false;
    col = std::clamp(col, 0, ColCount() - 1);
    const int row = LastBoxRow(col);
    UpdateCell(m_col, m_row);
    m_col = col;
    m_row = row;
    UpdateCell(m_col, m_row);
    const pfview::GridMetrics m = Metrics();
    const bool rowInView = row >= m_topRow && row < m_topRow + std::max(1, VisibleRowCount());
    ScrollTo(pfview::LeftColToShow(m, col), rowInView ? m_topRow : pfview::TopRowToCentre(m, row));
}

void PFGridView::ScrollTo(int leftCol, int topRow)
{
    const bool placing = m_placing;
    m_placing = true;
    SetLeftCol(leftCol);
    SetTopRow(topRow);
    m_placing = placing;
}

void PFGridView::SetCellSize(int cellSize)
{
    m_cellSize = std::clamp(cellSize, pfview::kMinMagnitude, pfview::kMaxMagnitude);
    UpdateScrollBars();
    viewport()->update();
}

int PFGridView::ColCount() const { return m_grid ? std::max(1, m_grid->ColCount) : 1; }

int PFGridView::RowCount() const { return m_grid ? std::max(1, m_grid->RowCount) : 1; }

pfview::GridMetrics PFGridView::Metrics() const
{
    pfview::GridMetrics m;
    m.colCount = ColCount();
    m.rowCount = RowCount();
    m.leftCol = m_leftCol;
    m.topRow = m_topRow;
    m.cellW = m_cellSize;
    m.cellH = m_cellSize;
    m.viewW = viewport()->width();
    m.viewH = viewport()->height();
    return m;
}

int PFGridView::VisibleColCount() const { return pfview::FullyVisibleCols(Metrics()); }

int PFGridView::VisibleRowCount() const { return pfview::FullyVisibleRows(Metrics()); }

void PFGridView::SetLeftCol(int col) { horizontalScrollBar()->setValue(col); }

void PFGridView::SetTopRow(int row) { verticalScrollBar()->setValue(row); }

void PFGridView::SetCol(int col)
{
    col = std::clamp(col, 0, ColCount() - 1);
    if (col != m_col) {
        UpdateCell(m_col, m_row);
        m_col = col;
        UpdateCell(m_col, m_row);
    }
    SetLeftCol(pfview::LeftColToShow(Metrics(), col));
}

void PFGridView::SetRow(int row)
{
    row = std::clamp(row, 0, RowCount() - 1);
    if (row != m_row) {
        UpdateCell(m_col, m_row);
        m_row = row;
        UpdateCell(m_col, m_row);
    }
    SetTopRow(pfview::TopRowToShow(Metrics(), row));
}

QPoint PFGridView::MouseCoord(int x, int y) const
{
    const pfview::GridMetrics m = Metrics();
    return QPoint(pfview::ColAtX(m, x), pfview::RowAtY(m, y));
}

QRect PFGridView::CellRect(int col, int row) const
{
    const long long x = (static_cast<long long>(col) - m_leftCol) * m_cellSize;
    const long long y = (static_cast<long long>(row) - m_topRow) * m_cellSize;
    constexpr long long kFar = 1'000'000;
    return QRect(static_cast<int>(std::clamp(x, -kFar, kFar)),
                 static_cast<int>(std::clamp(y, -kFar, kFar)), m_cellSize, m_cellSize);
}

QColor PFGridView::CurrentCellColor() const { return palette().color(QPalette::Highlight); }

char PFGridView::MarkAt(int col, int row) const
{
    return m_grid ? m_grid->Mark(col, row) : '\0';
}

void PFGridView::sgDrawCell(QPainter &painter, int col, int row, const QRect &rect) const
{
    const bool current = col == m_col && row == m_row;
    painter.fillRect(rect, current ? CurrentCellColor() : kBackColor);
    const char mark = MarkAt(col, row);
    if (mark == PFGrid::kMarkX) {
        painter.fillRect(rect, kMarkXColor);
    } else if (mark == PFGrid::kMarkO) {
        painter.fillRect(rect, kMarkOColor);
    } else {
        if (col != m_col)
            painter.fillRect(rect, Qt::white);
        if (row != m_row)
            painter.fillRect(rect, Qt::white);
    }
}

void PFGridView::DrawCells(QPainter &painter, const QRect &rect) const
{
    const QRect painted = PaintCells(painter, m_grid, Metrics(), rect);
    if (painted.contains(QPoint(m_col - m_leftCol, m_row - m_topRow)))
        sgDrawCell(painter, m_col, m_row, CellRect(m_col, m_row));
}

QRect PFGridView::PaintCells(QPainter &painter, const PFGrid *grid, const pfview::GridMetrics &m,
                             const QRect &rect)
{
    painter.fillRect(rect, kBackColor);
    const int s = m.cellW;
    const int cols = pfview::PartlyVisibleCols(m);
    const int rows = pfview::PartlyVisibleRows(m);
    if (cols <= 0 || rows <= 0 || s <= 0)
        return {};

    // Columns and rows (relative to the first visible ones) that meet rect.
    const int c0 = std::max(0, rect.left() / s);
    const int c1 = std::min(cols - 1, rect.right() / s);
    const int r0 = std::max(0, rect.top() / s);
    const int r1 = std::min(rows - 1, rect.bottom() / s);
    if (c0 > c1 || r0 > r1)
        return {};

    // Every cell in view is white unless it holds a box or is the current cell.
    painter.fillRect(QRect(c0 * s, r0 * s, (c1 - c0 + 1) * s, (r1 - r0 + 1) * s), Qt::white);
    if (grid) {
        const int firstRow = m.topRow + r0;
        const int lastRow = m.topRow + r1;
        for (int i = c0; i <= c1; ++i) {
            const int col = m.leftCol + i;
            const char mark = grid->ColumnMark(col);
            if (mark != PFGrid::kMarkX && mark != PFGrid::kMarkO)
                continue;
            const int top = std::max(grid->FirstRow(col), firstRow);
            const int bottom = std::min(grid->LastRow(col), lastRow);
            if (top > bottom)
                continue;
            painter.fillRect(QRect(i * s, (top - m.topRow) * s, s, (bottom - top + 1) * s),
                             mark == PFGrid::kMarkX ? kMarkXColor : kMarkOColor);
        }
    }
    return QRect(QPoint(c0, r0), QPoint(c1, r1));
}

void PFGridView::SetOverlay(const PFSignalOverlay *overlay)
{
    if (overlay == m_overlay)
        return;
    m_overlay = overlay;
    viewport()->update();
}

void PFGridView::DrawView(QPainter &painter, const QRect &rect) const
{
    DrawCells(painter, rect);
    if (m_overlay)
        m_overlay->Draw(painter, rect, Metrics());
}

void PFGridView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    DrawView(painter, event->rect());
}

void PFGridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const bool placing = m_placing;
    m_placing = true;
    UpdateScrollBars();
    m_placing = placing;
    if (m_followLatest)
        ShowLatest();
}

void PFGridView::scrollContentsBy(int, int)
{
    const int left = horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    if (left == m_leftCol && top == m_topRow)
        return;
    if (!m_placing)
        m_followLatest = false;
    m_leftCol = left;
    m_topRow = top;
    viewport()->update();
    emit TopLeftChanged();
}

void PFGridView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit MouseMoved(p.x(), p.y());
}

void PFGridView::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const QPoint cell = MouseCoord(p.x(), p.y());
    if (cell.x() >= 0 && cell.y() >= 0) {
        SetCol(cell.x());
        SetRow(cell.y());
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void PFGridView::keyPressEvent(QKeyEvent *event)
{
    const int page = std::max(1, VisibleRowCount());
    switch (event->key()) {
    case Qt::Key_Left: SetCol(m_col - 1); break;
    case Qt::Key_Right: SetCol(m_col + 1); break;
    case Qt::Key_Up: SetRow(m_row - 1); break;
    case Qt::Key_Down: SetRow(m_row + 1); break;
    case Qt::Key_PageUp: SetRow(m_row - page); break;
    case Qt::Key_PageDown: SetRow(m_row + page); break;
    case Qt::Key_Home: JumpToColumn(0); break;
    case Qt::Key_End: JumpToColumn(ColCount() - 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void PFGridView::UpdateScrollBars()
{
    const pfview::GridMetrics m = Metrics();
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    h->setRange(0, pfview::MaxLeftCol(m));
    v->setRange(0, pfview::MaxTopRow(m));
    h->setPageStep(std::max(1, m.viewW / std::max(1, m.cellW)));
    v->setPageStep(std::max(1, m.viewH / std::max(1, m.cellH)));
    h->setSingleStep(1);
    v->setSingleStep(1);
    // The range may have cut the first column or row.
    scrollContentsBy(0, 0);
}

void PFGridView::UpdateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (r.intersects(viewport()->rect()))
        viewport()->update(r);
}

} // namespace korvala

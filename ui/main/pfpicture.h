#pragma once

// A picture of the P&F chart for files, the clipboard and the printer: the cells of a
// range of columns and rows at the magnitude in force, drawn by the grid's own cell
// painting (and its signals overlay when that is on), with price labels on rulers left and right, column dates above, the volume
// bars below and a title line with the file, box and reversal.

#include "pictureexport.h"

#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

namespace korvala {

class PFDocument;
class PFGridView;
class PFSignalOverlay;

class PFPicture final : public chart::ExportPicture
{
public:
    // Columns and rows of the grid that the picture holds.
    struct Cells
    {
        int firstCol = 0;
        int cols = 0;
        int firstRow = 0;
        int rows = 0;
    };
    // Every column and every row of the grid (rows 0 … RowCount − 1).
    static Cells WholeChart(const PFDocument &doc);
    // The columns and rows the grid shows, at least in part.
    static Cells InView(const PFGridView &grid);

    static constexpr int kTitleHeight = 18;

    // magnitude: pixels per box; font: the strips' font.
    PFPicture(const PFDocument &doc, int magnitude, const QFont &font, Cells cells);

    chart::PictureSize Size() const override;
    void Render(QPaintDevice &device, const QRectF &target) override;
    // The picture at its own size, its top-left corner at (0, 0).
    void Paint(QPainter &painter) const;
    // The signals drawn over the cells as the grid draws them (kept by the caller);
    // nullptr: the cells alone.
    void SetOverlay(const PFSignalOverlay *overlay) { m_overlay = overlay; }

    // Where its parts lie, in picture pixels.
    QPoint GridOrigin() const;
    QString Title() const;

private:
    void DrawDates(QPainter &painter) const;
    void DrawPrices(QPainter &painter, int left, bool rightAligned) const;
    QString DateLabel(int col) const;

    const PFDocument &m_doc;
    int m_cell;
    QFont m_font;
    Cells m_cells;
    int m_rulerWidth = 0;
    int m_titleWidth = 0;
    // Column dates with their times when the columns start at different times of day.
    bool m_withTime = false;
    const PFSignalOverlay *m_overlay = nullptr;
};

} // namespace korvala

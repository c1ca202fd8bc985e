#pragma once

// The four strips round the P&F grid: the volume strip `pb` below, the date strip `pb1`
// above, the left price ruler `pbc` and the right price strip `pbc1`. They draw from the
// cell under the mouse (PFViewState), the last build and the grid's scroll position.

#include <QFont>
#include <QSize>
#include <QWidget>

#include <functional>
#include <memory>

class QPainter;

namespace korvala {

struct TFPoint;
class TFList;
class PFDocument;
class PFGridView;

// The cell under the mouse, as the grid's mouse handler leaves it.
struct PFViewState
{
    static constexpr int kNoCellYet = -1000;
    static constexpr int kNoCell = -10000;

    // Grid pixel position of the cell's top-left corner.
    int FCellX = kNoCellYet;
    int FCellY = kNoCellYet;
    // The cell's quote (a record of the quote list), or none.
    const TFPoint *FCellQuote = nullptr;
    // The record of the column under the mouse; stays readable after a rebuild.
    std::shared_ptr<const TFPoint> FColumnRec;
};

// A plain drawing surface whose picture comes from a paint handler.
class PaintBox final : public QWidget
{
    Q_OBJECT

public:
    using PaintHandler = std::function<void(QPainter &)>;

    explicit PaintBox(QWidget *parent = nullptr);
    void SetOnPaint(PaintHandler handler) { m_onPaint = std::move(handler); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PaintHandler m_onPaint;
};

class PFStrips final
{
public:
    static const QColor kCrossColor;    // blue
    static const QColor kBarColor;      // red
    static const QColor kRiseBandFill;  // RGB 230, 255, 230
    static const QColor kFallBandFill;  // RGB 255, 230, 230
    static const QColor kRiseBandLine;  // green
    static const QColor kFallBandLine;  // red

    PFStrips(const PFViewState &state, const PFDocument &doc, const PFGridView &grid);

    // The volume strip (size of pb; pbcWidth: width of the left ruler).
    void pbPaint(QPainter &painter, QSize size, int pbcWidth) const;
    // The date strip.
    void pb1Paint(QPainter &painter, int pbcWidth) const;
    // The left ruler; returns the width the ruler must have after this paint (it grows
    // when the closing price needs more room).
    int pbcPaint(QPainter &painter, QSize size) const;
    // The width the left ruler needs for the closing price of the cell under the pointer:
    // current, or the text's width + 2 when that is wider (the ruler only grows).
    int RulerWidthFor(int current, const QFont &font) const;
    // The right strip.
    void pbc1Paint(QPainter &painter, QSize size) const;

    void DrawVolumeBars(QPainter &painter, QSize size, int pbcWidth) const;
    // The bars of count columns of columns from firstCol on, cellW pixels apart, on a
    // strip of size whose grid starts right of a ruler pbcWidth wide.
    static void DrawVolumeBars(QPainter &painter, const TFList &columns, QSize size, int pbcWidth,
                               int cellW, int firstCol, int count);
    void DrawColumnBand(QPainter &painter, int width) const;

    // The grid's left edge inside the drawing panel: ruler, splitter and bevel.
    static int GridLeft(int pbcWidth) { return pbcWidth + 3 + 1; }

private:
    void DrawCrossX(QPainter &painter, int x) const;
    void DrawCrossY(QPainter &painter, int width) const;

    const PFViewState &m_state;
    const PFDocument &m_doc;
    const PFGridView &m_grid;
};

// Text written from its top-left corner on a white box, as every strip writes it.
void TextOut(QPainter &painter, int x, int y, const QString &text);
// The font height value of the strips' font (negative: the pixel height of its glyphs).
int FontHeightValue(const QFont &font);

} // namespace korvala

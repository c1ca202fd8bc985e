#pragma once

// The signals overlay of the P&F grid: a B or S mark at each signal's breakout box, the
// 45-degree lines through the cells (the active one solid, the broken ones dashed) and
// the objectives as short dashes at the grid's right edge. It reads the signals of the
// last finished build, computed when first asked for, and paints only what is in view.

#include "pfgeometry.h"
#include "pfsignals.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QRect>

#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace korvala {

class PFDocument;

namespace pfview {

// The centre of a cell in cell-area pixels (rows as far away as a line may run).
QPointF CellCentre(const GridMetrics &m, int col, long long row);
// The columns at least partly in view: first and last (last < first when none).
std::pair<int, int> ColumnsInView(const GridMetrics &m);
// The part of a line that runs through the columns in view; none when it lies outside
// them or wholly above or below the view.
std::optional<QLineF> LineInView(const GridMetrics &m, const PFTrendLine &line);
// The objective's dash: a short horizontal line at the right edge, level with the centre
// of the row whose X cells stand for the price; none when that lies outside the view.
std::optional<QLineF> ObjectiveDash(const GridMetrics &m, const PFPriceScale &scale, double price);

} // namespace pfview

class PFSignalOverlay final
{
public:
    static const QColor kBuyColor;  // B marks, support lines, buy objectives
    static const QColor kSellColor; // S marks, resistance lines, sell objectives

    explicit PFSignalOverlay(const PFDocument &doc);

    // After a Refresh that reached the build: its signals, once asked for; none when the
    // build did not finish.
    void BuildDone();
    // The grid no longer matches the quotes (a new file is open): none until a build.
    void Forget();

    // The signals of the last finished build; empty without one.
    const PFSignals &Signals() const;
    const PFSignal *SignalAt(int col, int row) const;

    // Paints what lies within rect (cell-area coordinates) over the cells.
    void Draw(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const;

private:
    // The lines that may run through the columns first..last, by index.
    std::pair<std::size_t, std::size_t> LinesNear(int first, int last) const;
    void DrawLines(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const;
    void DrawMarks(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const;
    void DrawObjectives(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const;
    const QImage &Glyph(PFSignalKind kind, int cellSize, qreal ratio) const;

    const PFDocument &m_doc;
    // The box and reversal of the last finished build.
    std::optional<std::pair<double, double>> m_built;
    mutable std::optional<PFSignals> m_signals;
    // Per line, the largest last column of the lines up to it (the lines start in order).
    mutable std::vector<int> m_reach;
    struct GlyphKey
    {
        PFSignalKind kind;
        int cellSize;
        qreal ratio;
    };
    mutable std::vector<std::pair<GlyphKey, QImage>> m_glyphs;
};

} // namespace korvala

#pragma once

// PFGridZoom: the magnitude of the P&F grid changed from the mouse and the keyboard, about
// the pointer, without a rebuild (the cells do not depend on their size).

#include <QObject>
#include <QPoint>

class QWheelEvent;

namespace korvala {

class PFGridView;

// Ctrl+wheel over the grid zooms about the pointer, one magnitude per notch; ZoomIn and
// ZoomOut (Ctrl+plus, Ctrl+minus) about the pointer when it is over the grid, else about
// the middle of the view. The box under the pointer stays under it wherever the scroll
// bars leave room. Fit picks the largest magnitude at which the whole chart fits in the
// view, or 1, and shows the chart from its first column and row.
class PFGridZoom final : public QObject
{
    Q_OBJECT

public:
    explicit PFGridZoom(PFGridView *grid);

    void ZoomIn();
    void ZoomOut();
    void Fit();
    // steps magnitudes up (down when negative) about a point of the cell area.
    void ZoomAbout(int steps, QPoint anchor);

signals:
    // The grid's cells now have this size; the grid has been scrolled already.
    void MagnitudeChanged(int magnitude);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint Anchor() const;
    void Apply(int magnitude, QPoint topLeft);
    bool Wheel(QWheelEvent *event);

    PFGridView *m_grid;
    // Wheel movement not yet a whole notch (fine-grained wheels and touch pads).
    int m_wheelRest = 0;
};

} // namespace korvala

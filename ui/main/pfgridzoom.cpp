#include "pfgridzoom.h"

#include "pfgeometry.h"
#include "pfgridview.h"

#include <QCursor>
#include <QWheelEvent>

#include <algorithm>

namespace korvala {

namespace {

constexpr int kWheelNotch = 120;

} // namespace

PFGridZoom::PFGridZoom(PFGridView *grid) : QObject(grid), m_grid(grid)
{
    grid->viewport()->installEventFilter(this);
}

void PFGridZoom::ZoomIn() { ZoomAbout(1, Anchor()); }

void PFGridZoom::ZoomOut() { ZoomAbout(-1, Anchor()); }

void PFGridZoom::ZoomAbout(int steps, QPoint anchor)
{
    const pfview::GridMetrics m = m_grid->Metrics();
    const int magnitude =
        std::clamp(m.cellW + steps, pfview::kMinMagnitude, pfview::kMaxMagnitude);
    if (magnitude == m.cellW)
        return;
    Apply(magnitude, pfview::ZoomedTopLeft(m, anchor, magnitude));
}

void PFGridZoom::Fit()
{
    // The view as it is without scroll bars: they go when the chart fits.
    const QSize view = m_grid->maximumViewportSize();
    Apply(pfview::FitMagnitude(m_grid->ColCount(), m_grid->RowCount(), view.width(), view.height()),
          QPoint(0, 0));
}

QPoint PFGridZoom::Anchor() const
{
    const QPoint pointer = m_grid->viewport()->mapFromGlobal(QCursor::pos());
    return m_grid->viewport()->rect().contains(pointer) ? pointer
                                                        : m_grid->viewport()->rect().center();
}

void PFGridZoom::Apply(int magnitude, QPoint topLeft)
{
    m_grid->SetCellSize(magnitude);
    m_grid->SetLeftCol(topLeft.x());
    m_grid->SetTopRow(topLeft.y());
    emit MagnitudeChanged(magnitude);
}

bool PFGridZoom::Wheel(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / kWheelNotch;
    m_wheelRest -= steps * kWheelNotch;
    if (steps != 0)
        ZoomAbout(steps, event->position().toPoint());
    event->accept();
    return true;
}

bool PFGridZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == m_grid->viewport())
        return Wheel(static_cast<QWheelEvent *>(event));
    return QObject::eventFilter(watched, event);
}

} // namespace korvala

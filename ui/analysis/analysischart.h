#pragma once

// TFinChart: the analysis chart. Draws one quote list as closes, pivot zigzag,
// resistance/support marks, target lines and the 3x3 average over a dashed price grid,
// with a crosshair that follows the mouse, and turns a left press and release into two
// prices for its owner.

#include "finchartgeometry.h"
#include "quotes.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QPainter;

namespace korvala {

class TFinChart final : public QWidget
{
    Q_OBJECT

public:
    // The owner's callback for a press or a release; its argument is the chart.
    using TNotifyEvent = std::function<void(TFinChart *sender)>;

    explicit TFinChart(QWidget *parent = nullptr);

    // Attaches the quotes (not owned, may be null) and shows all of them: the zoom
    // becomes the list's Count, or 1 without a list. Requests no repaint and does not
    // hand the period to the list.
    void SetData(TFList *list);
    TFList *Data() const { return FList; }

    // The number of pivots with target lines. With a list attached it becomes the
    // list's LevelDepth, the levels are recomputed and the chart repainted.
    void SetPeriod(int n);
    int Period() const { return FPeriod; }

    void SetShowClose(bool show);
    void SetShowZigzag(bool show);
    void SetShowResSup(bool show);
    void SetShowTargets(bool show);
    void SetShowMA3x3(bool show);
    bool ShowClose() const { return FShowClose; }
    bool ShowZigzag() const { return FShowZigzag; }
    bool ShowResSup() const { return FShowResSup; }
    bool ShowTargets() const { return FShowTargets; }
    bool ShowMA3x3() const { return FShowMA3x3; }

    // The plot width is divided into VisibleCount() + 1 steps.
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    int VisibleCount() const { return FVisibleCount; }

    void SetOnPriceDown(TNotifyEvent event) { FOnPriceDown = std::move(event); }
    void SetOnPriceUp(TNotifyEvent event) { FOnPriceUp = std::move(event); }
    // Price under the cursor at the last left press and the last left release.
    double PriceDown() const { return FPriceDown; }
    double PriceUp() const { return FPriceUp; }

    // Last position reported by a mouse movement.
    int MouseX() const { return FMouseX; }
    int MouseY() const { return FMouseY; }

    // The attached quotes changed (pivot selection, levels): repaints from them.
    void DataChanged();

    // The plot geometry for the control's current size, list and zoom.
    FinChartGeometry Geometry() const;
    // … for a control of that size.
    FinChartGeometry GeometryFor(QSize size) const;

    // The chart as it would be drawn at size, without the crosshair: a picture of the
    // quotes for files and the printer.
    void PaintPicture(QPainter &painter, QSize size) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void ChartMouseMove(int x, int y);
    void ChartMouseDown(Qt::MouseButton button);
    void ChartMouseUp(Qt::MouseButton button);

    // Drops the cached layers (and the cached grid) and requests a paint.
    void RepaintLayers();
    void InvalidateCaches();
    void EnsureCaches();

    ChartOptions Options() const;
    void DrawBackground(QPainter &painter) const;
    void DrawPlot(QPainter &painter, const FinChartGeometry &g) const;
    void DrawGrid(QPainter &painter, const FinChartGeometry &g) const;
    void DrawCrosshair(QPainter &painter, const FinChartGeometry &g) const;
    void DrawLayers(QPainter &painter, const FinChartGeometry &g) const;
    // Text with its top-left corner at (x, y) on a RGB(250, 250, 250) box.
    void DrawText(QPainter &painter, int x, int y, const QString &text, const QColor &color) const;

    TFList *FList = nullptr;
    int FVisibleCount = 0;
    int FMouseX = 0;
    int FMouseY = 0;
    bool FShowClose = true;
    bool FShowZigzag = true;
    int FPeriod = 3;
    bool FShowTargets = true;
    bool FShowResSup = true;
    bool FShowMA3x3 = false;
    TNotifyEvent FOnPriceDown;
    TNotifyEvent FOnPriceUp;
    double FPriceDown = 0;
    double FPriceUp = 0;

    // What does not move with the mouse, in device pixels: below the crosshair the
    // background, plot and grid; above it the five layers on a transparent image.
    QImage m_base;
    QImage m_layers;
    bool m_baseValid = false;
    bool m_layersValid = false;
};

} // namespace korvala

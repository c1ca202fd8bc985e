#include "analysischart.h"

#include "boxtext.h"
#include "numtext.h"

#include <QFontMetrics>
#include <QLine>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <vector>

namespace korvala {

namespace {

const QColor kPlotColor(250, 250, 250);
const QColor kGridColor(192, 192, 192);
const QColor kCrosshairColor(200, 200, 200);
const QColor kCrosshairTextColor(0, 128, 0);
const QColor kResSupColor(255, 100, 100);
const QColor kTargetColor(80, 80, 255);
const QColor kZigzagColor(255, 0, 0);

// 1 pixel wide, aliased; a line covers both its end points.
QPen LinePen(const QColor &color, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(color, 1, style, Qt::SquareCap);
}

int Px(long long v) { return static_cast<int>(v); }

void DrawSegments(QPainter &painter, const std::vector<ChartSegment> &segments, const QPen &pen)
{
    if (segments.empty())
        return;
    std::vector<QLine> lines;
    lines.reserve(segments.size());
    for (const ChartSegment &s : segments)
        lines.emplace_back(Px(s.X1), Px(s.Y1), Px(s.X2), Px(s.Y2));
    painter.setPen(pen);
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

QImage NewImage(const QSize &logical, qreal ratio, QImage::Format format)
{
    QImage image(logical * ratio, format);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

TFinChart::TFinChart(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetPeriod(3);
}

void TFinChart::SetData(TFList *list)
{
    FList = list;
    FVisibleCount = list ? list->Count() : 1;
    InvalidateCaches();
}

void TFinChart::SetPeriod(int n)
{
    FPeriod = n;
    if (!FList)
        return;
    FList->SetLevelDepth(n);
    FList->CalcLevels();
    RepaintLayers();
}

void TFinChart::SetShowClose(bool show)
{
    FShowClose = show;
    RepaintLayers();
}

void TFinChart::SetShowZigzag(bool show)
{
    FShowZigzag = show;
    RepaintLayers();
}

void TFinChart::SetShowResSup(bool show)
{
    FShowResSup = show;
    RepaintLayers();
}

void TFinChart::SetShowTargets(bool show)
{
    FShowTargets = show;
    RepaintLayers();
}

void TFinChart::SetShowMA3x3(bool show)
{
    FShowMA3x3 = show;
    RepaintLayers();
}

void TFinChart::ZoomIn()
{
    if (FVisibleCount > 1) {
        --FVisibleCount;
        RepaintLayers();
    }
}

void TFinChart::ZoomOut()
{
    if (FList && FList->Count() > FVisibleCount) {
        ++FVisibleCount;
        RepaintLayers();
    }
}

void TFinChart::ResetZoom()
{
    FVisibleCount = FList ? FList->Count() : 1;
    RepaintLayers();
}

void TFinChart::DataChanged()
{
    InvalidateCaches();
    update();
}

FinChartGeometry TFinChart::Geometry() const { return GeometryFor(size()); }

FinChartGeometry TFinChart::GeometryFor(QSize size) const
{
    const double minLow = FList ? FList->MinLow : TFList::kMinStart;
    const double maxHigh = FList ? FList->MaxHigh : 0;
    return FinChartGeometry(size.width(), size.height(), minLow, maxHigh, FVisibleCount);
}

ChartOptions TFinChart::Options() const
{
    ChartOptions options;
    options.ShowClose = FShowClose;
    options.ShowZigzag = FShowZigzag;
    options.ShowResSup = FShowResSup;
    options.ShowTargets = FShowTargets;
    options.ShowMA3x3 = FShowMA3x3;
    options.Period = FPeriod;
    return options;
}

void TFinChart::RepaintLayers()
{
    m_layersValid = false;
    update();
}

void TFinChart::InvalidateCaches()
{
    m_baseValid = false;
    m_layersValid = false;
}

// ---- mouse -------------------------------------------------------------------------

void TFinChart::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    ChartMouseMove(at.x(), at.y());
}

void TFinChart::mousePressEvent(QMouseEvent *event) { ChartMouseDown(event->button()); }

void TFinChart::mouseReleaseEvent(QMouseEvent *event) { ChartMouseUp(event->button()); }

void TFinChart::ChartMouseMove(int x, int y)
{
    FMouseX = x;
    FMouseY = y;
    update();
}

void TFinChart::ChartMouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !FOnPriceDown)
        return;
    // The row of the last movement, not the row of the press.
    FPriceDown = Geometry().PriceAtY(FMouseY);
    FOnPriceDown(this);
}

void TFinChart::ChartMouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !FOnPriceUp)
        return;
    FPriceUp = Geometry().PriceAtY(FMouseY);
    FOnPriceUp(this);
}

// ---- painting ----------------------------------------------------------------------

void TFinChart::resizeEvent(QResizeEvent *event)
{
    InvalidateCaches();
    QWidget::resizeEvent(event);
}

void TFinChart::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        InvalidateCaches();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TFinChart::paintEvent(QPaintEvent *)
{
    EnsureCaches();
    QPainter painter(this);
    painter.drawImage(0, 0, m_base);
    DrawCrosshair(painter, Geometry());
    painter.drawImage(0, 0, m_layers);
}

void TFinChart::EnsureCaches()
{
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = size() * ratio;
    if (m_base.size() != deviceSize || m_base.devicePixelRatio() != ratio)
        InvalidateCaches();
    const FinChartGeometry g = Geometry();
    if (!m_baseValid) {
        m_base = NewImage(size(), ratio, QImage::Format_RGB32);
        QPainter painter(&m_base);
        painter.setFont(font());
        DrawBackground(painter);
        DrawPlot(painter, g);
        DrawGrid(painter, g);
        m_baseValid = true;
    }
    if (!m_layersValid) {
        m_layers = NewImage(size(), ratio, QImage::Format_ARGB32_Premultiplied);
        m_layers.fill(Qt::transparent);
        QPainter painter(&m_layers);
        DrawLayers(painter, g);
        m_layersValid = true;
    }
}

void TFinChart::PaintPicture(QPainter &painter, QSize size) const
{
    const FinChartGeometry g = GeometryFor(size);
    painter.save();
    painter.setFont(font());
    painter.fillRect(QRect(QPoint(0, 0), size), palette().color(backgroundRole()));
    DrawPlot(painter, g);
    DrawGrid(painter, g);
    DrawLayers(painter, g);
    painter.restore();
}

void TFinChart::DrawBackground(QPainter &painter) const
{
    painter.fillRect(rect(), palette().color(backgroundRole()));
}

void TFinChart::DrawPlot(QPainter &painter, const FinChartGeometry &g) const
{
    // An inverted rectangle (a control too small for the margins) fills nothing.
    if (g.Right() > g.Left() && g.Bottom() > g.Top())
        painter.fillRect(QRect(QPoint(g.Left(), g.Top()), QPoint(g.Right() - 1, g.Bottom() - 1)),
                         kPlotColor);
}

void TFinChart::DrawText(QPainter &painter, int x, int y, const QString &text,
                         const QColor &color) const
{
    chart::DrawTextOnBox(painter, x, y, text, kPlotColor, color);
}

void TFinChart::DrawGrid(QPainter &painter, const FinChartGeometry &g) const
{
    for (int i = 0; i <= 9; ++i) {
        const int y = Px(std::clamp<long long>(g.GridY(i), -(1 << 20), 1 << 20));
        painter.setPen(LinePen(kGridColor, Qt::DashLine));
        painter.drawLine(g.Left(), y, g.Right(), y);
        DrawText(painter, 3, y, QString::fromStdString(FormatN(g.GridPrice(i), 2)), Qt::black);
    }
}

void TFinChart::DrawCrosshair(QPainter &painter, const FinChartGeometry &g) const
{
    painter.setPen(LinePen(kCrosshairColor));
    if (FMouseY >= 0 && FMouseY <= height()) {
        painter.drawLine(g.Left(), FMouseY, g.Right(), FMouseY);
        const QString price = QString::fromStdString(FormatN(g.PriceAtY(FMouseY), 2));
        DrawText(painter, 3, FMouseY, price, kCrosshairTextColor);
        DrawText(painter, FMouseX + 3, FMouseY + 5, price, kCrosshairTextColor);
        painter.setPen(LinePen(kCrosshairColor));
    }
    if (FMouseX >= g.Left() && FMouseX <= g.Right())
        painter.drawLine(FMouseX, g.Top(), FMouseX, g.Bottom());
}

void TFinChart::DrawLayers(QPainter &painter, const FinChartGeometry &g) const
{
    if (!FList)
        return;
    const ChartLayers layers = BuildChartLayers(*FList, g, Options());
    for (const ChartSquare &s : layers.ResSup)
        painter.fillRect(QRect(Px(s.X) - 2, Px(s.Y) - 2, 4, 4), kResSupColor);
    DrawSegments(painter, layers.Targets, LinePen(kTargetColor));
    DrawSegments(painter, layers.Close, LinePen(Qt::black));
    DrawSegments(painter, layers.Zigzag, LinePen(kZigzagColor));
    DrawSegments(painter, layers.Average, LinePen(Qt::black));
}

} // namespace korvala

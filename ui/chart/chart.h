#pragma once

// The chart control layer: a chart that fills its parent, candle series and line
// series. QCustomPlot does the drawing; none of its types appear here.

#include "candle.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace korvala::chart {

class Chart;

// Open-high-low-close points drawn as candlesticks 4 pixels wide: white body when the
// close is above the open, red when below.
class CandleSeries final
{
public:
    void Clear();
    // At the next index (0, 1, 2, …).
    void Add(double open, double high, double low, double close);
    // With a date-time as the horizontal value.
    void AddDated(double dateTime, double open, double high, double low, double close);
    // Drops the last point (none when empty).
    void RemoveLast();
    // Replaces the contents at once (fast path for large fills).
    void Assign(const std::vector<Candle> &candles, bool dated);
    // n random demonstration candles.
    void FillSampleValues(int n);

    int Count() const;
    // The candles in ascending order of x (the order of adding, for ascending dates); a
    // default Candle outside 0 … Count() − 1.
    Candle At(int index) const;
    // Whether the first point since the last Clear came with a date; the chart then shows
    // a date-time axis.
    bool Dated() const;

private:
    friend class Chart;
    struct Impl;
    explicit CandleSeries(std::unique_ptr<Impl> impl);
    ~CandleSeries();
    std::unique_ptr<Impl> d;
};

// y values at consecutive indexes, optionally with a text label per point, and value
// marks: texts on a transparent background, each joined to its point by an 8-pixel arrow,
// above peaks and below troughs of the points in view, about one per label width. The
// marks of all the chart's lines stand inside the plot, off every line and apart.
// The marks read the value; the labels name the points on the horizontal axis (of the
// first series that has labels) and, with MarkStyle::Label, in the marks.
class LineSeries final
{
public:
    using LabelSource = std::function<QString(int index)>;
    enum class MarkStyle { Value, Label };

    void Clear();
    void Add(double y);
    void Add(double y, const QString &label);
    // Replaces the contents at once; labels, when given, are asked for only when drawn.
    void Assign(std::vector<double> values, LabelSource labels = {});

    void SetColor(const QColor &color);
    QColor Color() const;
    void SetPointersVisible(bool visible);
    void SetMarksVisible(bool visible);
    bool MarksVisible() const;
    void SetMarkArrowColor(const QColor &color);
    void SetMarkStyle(MarkStyle style); // Value at first; Label falls back to the value
    MarkStyle GetMarkStyle() const;

    int Count() const;
    double ValueAt(int index) const;
    QString LabelAt(int index) const; // empty when the point has none

    // The value marks of the last drawing: the point's index and the box of its text, in
    // the chart's pixels.
    struct ShownMark
    {
        int index = 0;
        QRectF box;
    };
    std::vector<ShownMark> ShownMarks() const;

private:
    friend class Chart;
    struct Impl;
    explicit LineSeries(std::unique_ptr<Impl> impl);
    ~LineSeries();
    std::unique_ptr<Impl> d;
};

// The chart fills its parent while the parent has no layout; in a layout, the layout
// places it. The mouse zooms the horizontal axis: the wheel about the pointer, a drag
// with the left button pans, a double click shows everything again. The vertical axis
// always fits the prices in view.
class Chart final : public QWidget
{
    Q_OBJECT

public:
    explicit Chart(QWidget *parent = nullptr);
    ~Chart() override;

    void SetView3D(bool on); // only the flat view exists; kept off
    bool View3D() const;
    void SetLegendVisible(bool visible);
    bool LegendVisible() const;
    void SetTitle(const QString &title);
    QString Title() const;
    void SetDoubleBuffered(bool on); // the chart always draws through its own buffer
    bool DoubleBuffered() const;
    void SetMouseZoom(bool on);
    bool MouseZoom() const;
    void SetBackWallColor(const QColor &color);
    void SetBackWallClearBrush(bool clear);

    // Series belong to the chart and live until RemoveSeries or the chart's end.
    CandleSeries *AddCandleSeries(const QString &name);
    LineSeries *AddLineSeries(const QString &name);
    void RemoveSeries(CandleSeries *series);
    void RemoveSeries(LineSeries *series);

    // Shows the whole of every series. Clearing or refilling a series does the same; points
    // added one by one extend the view unless the user has zoomed or panned it.
    void ResetZoom();
    // Horizontal range in view, for tests and for callers that keep the view.
    double ViewFirst() const;
    double ViewLast() const;
    void SetView(double first, double last);

    // Draws now instead of at the next turn of the event loop.
    void ReplotNow();

    // Pictures of the chart as it stands, drawn by the plotting library at size (in
    // pixels; the chart's own size when empty). The view is fitted to that size as it
    // would be on screen; the chart on screen is left as it was.
    QImage ToImage(QSize size = {});
    // One PDF page of size points; false when the file could not be written.
    bool SavePdf(const QString &path, QSize size = {});
    // As vectors onto a paint device (an SVG generator, a printer), scaled into target
    // (device coordinates). Pens keep their proportions when scaled.
    void Render(QPaintDevice &device, const QRectF &target, QSize size = {});

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korvala::chart

#pragma once

// The chart control layer: a chart that fills its parent, candle series and line
// series. QCustomPlot does the drawing; none of its types appear here.

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace korvala::chart {

struct Candle
{
    double x = 0; // index, or a date-time (days since 30.12.1899) for dated candles
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
};

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
    // Replaces the contents at once (fast path for large fills).
    void Assign(const std::vector<Candle> &candles, bool dated);
    // n random demonstration candles.
    void FillSampleValues(int n);

    int Count() const;
    Candle At(int index) const;
    bool Dated() const;

private:
    friend class Chart;
    struct Impl;
    explicit CandleSeries(std::unique_ptr<Impl> impl);
    ~CandleSeries();
    std::unique_ptr<Impl> d;
};

// y values at consecutive indexes, optionally with a text label per point, and value
// marks (the label, or the value, above each point with an 8-pixel arrow).
class LineSeries final
{
public:
    using LabelSource = std::function<QString(int index)>;

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

    int Count() const;
    double ValueAt(int index) const;
    QString LabelAt(int index) const; // empty when the point has none

private:
    friend class Chart;
    struct Impl;
    explicit LineSeries(std::unique_ptr<Impl> impl);
    ~LineSeries();
    std::unique_ptr<Impl> d;
};

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
    void SetDoubleBuffered(bool on);
    void SetMouseZoom(bool on);
    bool MouseZoom() const;
    void SetBackWallColor(const QColor &color);
    void SetBackWallClearBrush(bool clear);

    // Series belong to the chart and live until RemoveSeries or the chart's end.
    CandleSeries *AddCandleSeries(const QString &name);
    LineSeries *AddLineSeries(const QString &name);
    void RemoveSeries(CandleSeries *series);
    void RemoveSeries(LineSeries *series);

    // Shows the whole of every series (after a refill).
    void ResetZoom();
    // Horizontal range in view, for tests and for callers that keep the view.
    double ViewFirst() const;
    double ViewLast() const;
    void SetView(double first, double last);

    // Draws now instead of at the next turn of the event loop.
    void ReplotNow();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korvala::chart

#include "chart.h"

#include "axisticks.h"
#include "chartgeometry.h"
#include "plottables.h"
#include "plotwidget.h"
#include "tickers.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

namespace korvala::chart {

namespace detail {

// What a series tells its chart.
class Host
{
public:
    // refilled: the series was cleared or replaced, so the view shows everything again.
    virtual void SeriesChanged(bool refilled) = 0;

protected:
    ~Host() = default;
};

} // namespace detail

namespace {

constexpr int kPadPx = 8;           // room at the ends of the horizontal axis
constexpr int kMarksPadPx = 24;     // … when value marks may stand at the ends
constexpr int kValuePadPx = 8;      // room above and below the prices in view
constexpr int kValueTickPx = 40;    // vertical pixels per value tick
constexpr int kTickGapPx = 28;      // room between two horizontal tick labels

const QColor kGridColor(226, 226, 226);
const QColor kAxisColor(150, 150, 150);
const QColor kTextColor(60, 60, 60);

// Keeps the chart over the whole of a parent that has no layout.
class ParentFiller final : public QObject
{
public:
    ParentFiller(QWidget *chart, QWidget *parent)
        : QObject(chart)
        , m_chart(chart)
    {
        parent->installEventFilter(this);
        Fill(parent);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == m_chart->parentWidget())
            Fill(m_chart->parentWidget());
        return false;
    }

private:
    void Fill(QWidget *parent)
    {
        if (!parent->layout())
            m_chart->setGeometry(parent->rect());
    }

    QWidget *m_chart;
};

bool Differs(const QCPRange &a, const QCPRange &b)
{
    const double tolerance = std::max(std::abs(a.size()), std::abs(b.size())) * 1e-9;
    return std::abs(a.lower - b.lower) > tolerance || std::abs(a.upper - b.upper) > tolerance;
}

} // namespace

// ---------------------------------------------------------------------------------------
// CandleSeries

struct CandleSeries::Impl
{
    CandlePlottable *plot = nullptr;
    detail::Host *host = nullptr;
    bool dated = false;

    void Append(double x, const Candle &c, bool isDated)
    {
        if (plot->data()->isEmpty()) {
            dated = isDated;
            plot->SetIndexPlaced(!dated);
        }
        plot->data()->add(QCPFinancialData(x, c.open, c.high, c.low, c.close));
        host->SeriesChanged(false);
    }
};

CandleSeries::CandleSeries(std::unique_ptr<Impl> impl)
    : d(std::move(impl))
{
}

CandleSeries::~CandleSeries() = default;

void CandleSeries::Clear()
{
    d->plot->data()->clear();
    d->dated = false;
    d->plot->SetIndexPlaced(true);
    d->host->SeriesChanged(true);
}

void CandleSeries::Add(double open, double high, double low, double close)
{
    d->Append(Count(), Candle{0, open, high, low, close}, false);
}

void CandleSeries::AddDated(double dateTime, double open, double high, double low, double close)
{
    d->Append(dateTime, Candle{dateTime, open, high, low, close}, true);
}

void CandleSeries::RemoveLast()
{
    const auto data = d->plot->data();
    if (data->isEmpty())
        return;
    data->remove((data->constEnd() - 1)->key);
    d->host->SeriesChanged(false);
}

void CandleSeries::Assign(const std::vector<Candle> &candles, bool dated)
{
    QVector<QCPFinancialData> data;
    data.reserve(static_cast<qsizetype>(candles.size()));
    bool sorted = true;
    for (std::size_t i = 0; i < candles.size(); ++i) {
        const Candle &c = candles[i];
        const double x = dated ? c.x : static_cast<double>(i);
        sorted = sorted && (data.isEmpty() || data.constLast().key <= x);
        data.append(QCPFinancialData(x, c.open, c.high, c.low, c.close));
    }
    d->plot->data()->set(data, sorted);
    d->dated = dated && !candles.empty();
    d->plot->SetIndexPlaced(!d->dated);
    d->host->SeriesChanged(true);
}

void CandleSeries::FillSampleValues(int n)
{
    Assign(SampleCandles(n, std::random_device{}()), false);
}

int CandleSeries::Count() const
{
    return d->plot->data()->size();
}

Candle CandleSeries::At(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    const auto it = d->plot->data()->at(index);
    return {it->key, it->open, it->high, it->low, it->close};
}

bool CandleSeries::Dated() const
{
    return d->dated;
}

// ---------------------------------------------------------------------------------------
// LineSeries

struct LineSeries::Impl
{
    LinePlottable *plot = nullptr;
    detail::Host *host = nullptr;
    QColor color;
    bool pointers = false;
    MarkStyle markStyle = MarkStyle::Value;
    // Labels given point by point, from index labelBase on.
    std::vector<QString> labels;
    int labelBase = 0;
    // Labels asked for when needed, for the points 0 … sourceCount − 1.
    LabelSource source;
    int sourceCount = 0;

    void ApplyPen()
    {
        plot->setPen(QPen(color, 1));
        plot->setScatterStyle(pointers ? QCPScatterStyle(QCPScatterStyle::ssCircle, color,
                                                         Qt::white, 5)
                                       : QCPScatterStyle(QCPScatterStyle::ssNone));
    }
};

LineSeries::LineSeries(std::unique_ptr<Impl> impl)
    : d(std::move(impl))
{
    d->ApplyPen();
    d->plot->SetMarkText([this](int index, double value) {
        if (d->markStyle == MarkStyle::Label) {
            QString label = LabelAt(index);
            if (!label.isEmpty())
                return label;
        }
        return MarkValueText(value);
    });
}

LineSeries::~LineSeries() = default;

void LineSeries::Clear()
{
    d->plot->data()->clear();
    d->labels.clear();
    d->labelBase = 0;
    d->source = {};
    d->sourceCount = 0;
    d->host->SeriesChanged(true);
}

void LineSeries::Add(double y)
{
    d->plot->data()->add(QCPGraphData(Count(), y));
    d->host->SeriesChanged(false);
}

void LineSeries::Add(double y, const QString &label)
{
    const int index = Count();
    if (d->labels.empty())
        d->labelBase = index;
    d->labels.resize(static_cast<std::size_t>(index - d->labelBase) + 1);
    d->labels.back() = label;
    Add(y);
}

void LineSeries::Assign(std::vector<double> values, LabelSource labels)
{
    QVector<QCPGraphData> data(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        data[static_cast<qsizetype>(i)] = QCPGraphData(static_cast<double>(i), values[i]);
    d->plot->data()->set(data, true);
    d->labels.clear();
    d->labelBase = 0;
    d->source = std::move(labels);
    d->sourceCount = d->source ? static_cast<int>(values.size()) : 0;
    d->host->SeriesChanged(true);
}

void LineSeries::SetColor(const QColor &color)
{
    d->color = color;
    d->ApplyPen();
    d->host->SeriesChanged(false);
}

QColor LineSeries::Color() const
{
    return d->color;
}

void LineSeries::SetPointersVisible(bool visible)
{
    d->pointers = visible;
    d->ApplyPen();
    d->host->SeriesChanged(false);
}

void LineSeries::SetMarksVisible(bool visible)
{
    d->plot->SetMarksVisible(visible);
    d->host->SeriesChanged(false);
}

bool LineSeries::MarksVisible() const
{
    return d->plot->MarksVisible();
}

void LineSeries::SetMarkArrowColor(const QColor &color)
{
    d->plot->SetArrowColor(color);
    d->host->SeriesChanged(false);
}

void LineSeries::SetMarkStyle(MarkStyle style)
{
    d->markStyle = style;
    d->host->SeriesChanged(false);
}

LineSeries::MarkStyle LineSeries::GetMarkStyle() const
{
    return d->markStyle;
}

int LineSeries::Count() const
{
    return d->plot->data()->size();
}

double LineSeries::ValueAt(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return d->plot->data()->at(index)->value;
}

QString LineSeries::LabelAt(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    if (d->source && index < d->sourceCount)
        return d->source(index);
    const auto offset = static_cast<std::size_t>(index - d->labelBase);
    if (index >= d->labelBase && offset < d->labels.size())
        return d->labels[offset];
    return {};
}

std::vector<LineSeries::ShownMark> LineSeries::ShownMarks() const
{
    std::vector<ShownMark> shown;
    if (!d->plot->MarksVisible())
        return shown;
    for (const PlacedMark &m : d->plot->PlacedMarks())
        shown.push_back({static_cast<int>(m.index), m.box});
    return shown;
}

// ---------------------------------------------------------------------------------------
// Chart

struct Chart::Impl final : detail::Host
{
    explicit Impl(Chart *owner);
    ~Impl();
    Impl(const Impl &) = delete;
    Impl &operator=(const Impl &) = delete;

    void SeriesChanged(bool refilled) override;

    void Style();
    void ApplyWall();
    bool IsDated() const;
    std::optional<Span> DataSpan() const;
    double Spacing() const;
    Span FullView() const;
    bool BeforeLayout();
    bool AfterLayout();
    void PlaceMarks();
    struct ValueScan
    {
        QCPRange keys;
        unsigned version = 0;
        double lo = 0;
        double hi = 0;
        int markHeight = 0;
    };
    bool FitValues();
    ValueScan ScanValues(const QCPRange &keys) const;
    void SetKeyRange(Span span);
    void Settle();
    void OnUserRange(const QCPRange &range);
    const LineSeries *LabelledSeries() const;

    Chart *owner;
    PlotWidget *plot;
    QCPTextElement *title = nullptr;
    QString titleText;
    bool legendVisible = true;
    bool mouseZoom = true;
    bool doubleBuffered = true;
    bool follow = true;       // the view shows all the data
    bool settingRange = false;
    unsigned dataVersion = 0;  // counts changes of any series
    std::optional<ValueScan> valueCache;
    QColor wallColor = Qt::white;
    bool wallClear = false;
    std::vector<CandleSeries *> candles;
    std::vector<LineSeries *> lines;
    QSharedPointer<DateTicker> dateTicker = QSharedPointer<DateTicker>::create();
    QSharedPointer<IndexTicker> indexTicker = QSharedPointer<IndexTicker>::create();
    QSharedPointer<ValueTicker> valueTicker = QSharedPointer<ValueTicker>::create();
};

Chart::Impl::Impl(Chart *chart)
    : owner(chart)
    , plot(new PlotWidget(chart))
{
    auto *layout = new QVBoxLayout(chart);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot);
    Style();
    plot->SetLayoutHooks([this] { return BeforeLayout(); }, [this] { return AfterLayout(); });
    plot->SetLaidOutHook([this] { PlaceMarks(); });
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);

    QObject::connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), plot,
                     [this](const QCPRange &range) { OnUserRange(range); });
    QObject::connect(plot, &QCustomPlot::mouseDoubleClick, plot, [this](QMouseEvent *) {
        follow = true;
        plot->replot(QCustomPlot::rpQueuedReplot);
    });
    // The plot keeps mouse events to itself: a right-click on it asks the chart for the
    // chart's own context menu.
    plot->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(plot, &QWidget::customContextMenuRequested, plot, [this](const QPoint &pos) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, plot->mapTo(owner, pos),
                                plot->mapToGlobal(pos));
        QCoreApplication::sendEvent(owner, &event);
    });
}

Chart::Impl::~Impl()
{
    delete plot; // first, while the series it calls back are alive
    for (CandleSeries *series : candles)
        delete series;
    for (LineSeries *series : lines)
        delete series;
}

void Chart::Impl::Style()
{
    plot->setBackground(QBrush(Qt::white));
    plot->setPlottingHint(QCP::phFastPolylines, true);
    plot->setNoAntialiasingOnDrag(true);
    plot->setAntialiasedElements(QCP::aePlottables);

    QCPAxisRect *rect = plot->axisRect();
    rect->setRangeDrag(Qt::Horizontal);
    rect->setRangeZoom(Qt::Horizontal);
    rect->setRangeZoomFactor(0.85);
    rect->setRangeDragAxes(plot->xAxis, nullptr);
    rect->setRangeZoomAxes(plot->xAxis, nullptr);

    plot->xAxis->setTicker(indexTicker);
    plot->yAxis->setTicker(valueTicker);
    for (QCPAxis *axis : {plot->xAxis, plot->yAxis, plot->xAxis2, plot->yAxis2}) {
        axis->setBasePen(QPen(kAxisColor));
        axis->setTickPen(QPen(kAxisColor));
        axis->setSubTicks(false);
        axis->setTickLabelColor(kTextColor);
        axis->setTickLengthIn(0);
        axis->setTickLengthOut(4);
        axis->grid()->setPen(QPen(kGridColor, 0, Qt::SolidLine));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    for (QCPAxis *axis : {plot->xAxis2, plot->yAxis2}) {
        axis->setVisible(true);
        axis->setTicks(false);
        axis->setTickLabels(false);
        axis->grid()->setVisible(false);
    }
    plot->xAxis->setRange(0, 10);
    plot->yAxis->setRange(0, 1);

    plot->legend->setVisible(true);
    plot->legend->setBorderPen(QPen(QColor(200, 200, 200)));
    plot->legend->setBrush(QColor(255, 255, 255, 220));
    plot->legend->setTextColor(kTextColor);
    rect->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    ApplyWall();
}

void Chart::Impl::ApplyWall()
{
    plot->axisRect()->setBackground(wallClear ? QBrush(Qt::NoBrush) : QBrush(wallColor));
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::Impl::SeriesChanged(bool refilled)
{
    ++dataVersion;
    if (refilled)
        follow = true;
    plot->replot(QCustomPlot::rpQueuedReplot);
}

bool Chart::Impl::IsDated() const
{
    return std::any_of(candles.begin(), candles.end(),
                       [](const CandleSeries *s) { return s->Dated() && s->Count() > 0; });
}

std::optional<Span> Chart::Impl::DataSpan() const
{
    std::optional<Span> span;
    const auto widen = [&span](double lo, double hi) {
        span = span ? Span{std::min(span->first, lo), std::max(span->last, hi)} : Span{lo, hi};
    };
    for (const CandleSeries *s : candles) {
        if (s->Count() > 0)
            widen(s->At(0).x, s->At(s->Count() - 1).x);
    }
    for (const LineSeries *s : lines) {
        if (s->Count() > 0)
            widen(0, s->Count() - 1);
    }
    return span;
}

// The usual distance between neighbouring points: 1 for indexes, the mean step of the
// largest dated series.
double Chart::Impl::Spacing() const
{
    double spacing = 1;
    int largest = 0;
    for (const CandleSeries *s : candles) {
        if (s->Dated() && s->Count() > std::max(1, largest)) {
            largest = s->Count();
            spacing = (s->At(largest - 1).x - s->At(0).x) / (largest - 1);
        }
    }
    return spacing > 0 ? spacing : 1;
}

Span Chart::Impl::FullView() const
{
    const std::optional<Span> data = DataSpan();
    if (!data)
        return {0, 10};
    const bool marks = std::any_of(lines.begin(), lines.end(),
                                   [](const LineSeries *s) { return s->MarksVisible(); });
    return FitKeySpan(data->first, data->last, 2 * Spacing(), plot->axisRect()->width(),
                      marks ? kMarksPadPx : kPadPx);
}

const LineSeries *Chart::Impl::LabelledSeries() const
{
    for (const LineSeries *s : lines) {
        if (s->Count() > 0 && (s->d->source || !s->d->labels.empty()))
            return s;
    }
    return nullptr;
}

// Chooses the horizontal ticker and the tick counts for the plot's present size; true
// when a count or the ticker changed.
bool Chart::Impl::BeforeLayout()
{
    QCPAxisTicker *const ticker = plot->xAxis->ticker().data();
    const int xTicks = ticker->tickCount();
    const int yTicks = valueTicker->tickCount();
    const QFontMetrics metrics(plot->xAxis->tickLabelFont());
    const int width = std::max(100, plot->axisRect()->width());
    int labelWidth = metrics.horizontalAdvance(QStringLiteral("8 888 888"));
    if (IsDated()) {
        if (plot->xAxis->ticker() != dateTicker)
            plot->xAxis->setTicker(dateTicker);
        labelWidth = metrics.horizontalAdvance(QStringLiteral("88.88.88"));
    } else {
        if (plot->xAxis->ticker() != indexTicker)
            plot->xAxis->setTicker(indexTicker);
        if (const LineSeries *labelled = LabelledSeries()) {
            indexTicker->SetLabels([labelled](long long i) { return labelled->LabelAt(static_cast<int>(i)); },
                                   labelled->Count());
            const QCPRange view = plot->xAxis->range();
            const auto middle = static_cast<int>(std::clamp(std::round(view.center()), 0.0,
                                                            labelled->Count() - 1.0));
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(labelled->LabelAt(middle)));
        } else {
            indexTicker->SetLabels({}, 0);
        }
    }
    const int ticks = std::max(2, width / (labelWidth + kTickGapPx));
    plot->xAxis->ticker()->setTickCount(ticks);
    valueTicker->setTickCount(std::max(2, plot->axisRect()->height() / kValueTickPx));
    return plot->xAxis->ticker().data() != ticker || ticks != xTicks
        || valueTicker->tickCount() != yTicks;
}

bool Chart::Impl::AfterLayout()
{
    bool changed = false;
    if (follow) {
        const Span full = FullView();
        const QCPRange target(full.first, full.last);
        if (Differs(plot->xAxis->range(), target)) {
            SetKeyRange(full);
            changed = true;
        }
    }
    return FitValues() || changed;
}

bool Chart::Impl::FitValues()
{
    const QCPRange keys = plot->xAxis->range();
    if (!valueCache || valueCache->version != dataVersion || Differs(valueCache->keys, keys))
        valueCache = ScanValues(keys);
    if (valueCache->lo > valueCache->hi)
        return false;
    // Room for a mark above the highest and below the lowest point.
    const Span values = FitValueSpan(valueCache->lo, valueCache->hi, plot->axisRect()->height(),
                                     kValuePadPx + valueCache->markHeight,
                                     kValuePadPx + valueCache->markHeight);
    const QCPRange target(values.first, values.last);
    if (!Differs(plot->yAxis->range(), target))
        return false;
    plot->yAxis->setRange(target);
    return true;
}

// The marks of all lines are placed together, once the plot has its final size and
// ranges: inside the plot, off every line and apart from each other.
void Chart::Impl::PlaceMarks()
{
    const bool any = std::any_of(lines.begin(), lines.end(), [](const LineSeries *s) {
        return s->MarksVisible() && s->Count() > 0;
    });
    if (!any) {
        for (LineSeries *s : lines)
            s->d->plot->SetPlacedMarks({});
        return;
    }
    const QRect area = plot->axisRect()->rect().adjusted(1, 1, -1, -1);
    std::vector<LineFootprint> footprints;
    footprints.reserve(lines.size());
    std::vector<MarkCandidate> candidates;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        footprints.emplace_back(area.left(), area.width());
        lines[i]->d->plot->CollectMarks(static_cast<int>(i), footprints.back(), candidates);
    }
    // Left to right, the lines taking turns.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const MarkCandidate &a, const MarkCandidate &b) { return a.point.x() < b.point.x(); });
    std::vector<const LineFootprint *> footprintList;
    for (const LineFootprint &f : footprints)
        footprintList.push_back(&f);
    const int gap = QFontMetrics(plot->font()).horizontalAdvance(QLatin1Char(' '));
    std::vector<std::vector<PlacedMark>> perLine(lines.size());
    for (const PlacedMark &m : chart::PlaceMarks(candidates, footprintList, area, gap, LinePlottable::kArrowLength))
        perLine[static_cast<std::size_t>(m.series)].push_back(m);
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i]->d->plot->SetPlacedMarks(std::move(perLine[i]));
}

// The prices within keys, over every series.
Chart::Impl::ValueScan Chart::Impl::ScanValues(const QCPRange &keys) const
{
    double lo = INFINITY;
    double hi = -INFINITY;
    int markHeight = 0;
    for (const CandleSeries *s : candles) {
        double a = 0;
        double b = 0;
        if (s->d->plot->ValueSpan(keys, a, b)) {
            lo = std::min(lo, a);
            hi = std::max(hi, b);
        }
    }
    for (const LineSeries *s : lines) {
        double a = 0;
        double b = 0;
        if (s->d->plot->ValueSpan(keys, a, b)) {
            lo = std::min(lo, a);
            hi = std::max(hi, b);
            if (s->MarksVisible())
                markHeight = std::max(markHeight, s->d->plot->MarkHeight());
        }
    }
    return {keys, dataVersion, lo, hi, markHeight};
}

void Chart::Impl::SetKeyRange(Span span)
{
    settingRange = true;
    plot->xAxis->setRange(span.first, span.last);
    settingRange = false;
}

// A zoom or pan by the mouse: kept within the data, no narrower than a few points.
void Chart::Impl::OnUserRange(const QCPRange &range)
{
    if (settingRange)
        return;
    const Span full = FullView();
    const Span view = ClampView({range.lower, range.upper}, full, 4 * Spacing());
    follow = view.Width() >= full.Width();
    if (Differs(range, QCPRange(view.first, view.last)))
        SetKeyRange(view);
}

// The view as the next replot will show it: a view that follows the data is fitted to it
// at the chart's current size.
void Chart::Impl::Settle()
{
    if (!follow)
        return;
    if (owner->layout())
        owner->layout()->activate();
    plot->Relayout();
}

Chart::Chart(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Impl>(this))
{
    if (parent)
        new ParentFiller(this, parent);
}

Chart::~Chart() = default;

void Chart::SetView3D(bool)
{
}

bool Chart::View3D() const
{
    return false;
}

void Chart::SetLegendVisible(bool visible)
{
    d->legendVisible = visible;
    d->plot->legend->setVisible(visible);
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

bool Chart::LegendVisible() const
{
    return d->legendVisible;
}

void Chart::SetTitle(const QString &title)
{
    d->titleText = title;
    QCPLayoutGrid *layout = d->plot->plotLayout();
    if (title.isEmpty()) {
        if (d->title) {
            layout->remove(d->title);
            layout->simplify();
            d->title = nullptr;
        }
    } else if (d->title) {
        d->title->setText(title);
    } else {
        QFont font = d->plot->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.15);
        layout->insertRow(0);
        d->title = new QCPTextElement(d->plot, title, font);
        d->title->setTextColor(kTextColor);
        layout->addElement(0, 0, d->title);
    }
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

QString Chart::Title() const
{
    return d->titleText;
}

void Chart::SetDoubleBuffered(bool on)
{
    d->doubleBuffered = on;
}

bool Chart::DoubleBuffered() const
{
    return d->doubleBuffered;
}

void Chart::SetMouseZoom(bool on)
{
    d->mouseZoom = on;
    d->plot->setInteractions(on ? QCP::iRangeDrag | QCP::iRangeZoom : QCP::Interactions());
}

bool Chart::MouseZoom() const
{
    return d->mouseZoom;
}

void Chart::SetBackWallColor(const QColor &color)
{
    d->wallColor = color;
    d->ApplyWall();
}

void Chart::SetBackWallClearBrush(bool clear)
{
    d->wallClear = clear;
    d->ApplyWall();
}

CandleSeries *Chart::AddCandleSeries(const QString &name)
{
    auto impl = std::make_unique<CandleSeries::Impl>();
    impl->plot = new CandlePlottable(d->plot->xAxis, d->plot->yAxis);
    impl->plot->setName(name);
    impl->host = d.get();
    auto *series = new CandleSeries(std::move(impl));
    d->candles.push_back(series);
    d->SeriesChanged(true);
    return series;
}

LineSeries *Chart::AddLineSeries(const QString &name)
{
    static const QColor palette[] = {QColor(31, 119, 180), QColor(214, 39, 40),
                                     QColor(44, 160, 44), QColor(148, 103, 189)};
    auto impl = std::make_unique<LineSeries::Impl>();
    impl->plot = new LinePlottable(d->plot->xAxis, d->plot->yAxis);
    impl->plot->setName(name);
    impl->host = d.get();
    impl->color = palette[d->lines.size() % std::size(palette)];
    auto *series = new LineSeries(std::move(impl));
    d->lines.push_back(series);
    d->SeriesChanged(true);
    return series;
}

void Chart::RemoveSeries(CandleSeries *series)
{
    const auto it = std::find(d->candles.begin(), d->candles.end(), series);
    if (it == d->candles.end())
        return;
    d->plot->removePlottable(series->d->plot);
    d->candles.erase(it);
    delete series;
    d->SeriesChanged(true);
}

void Chart::RemoveSeries(LineSeries *series)
{
    const auto it = std::find(d->lines.begin(), d->lines.end(), series);
    if (it == d->lines.end())
        return;
    d->indexTicker->SetLabels({}, 0);
    d->plot->removePlottable(series->d->plot);
    d->lines.erase(it);
    delete series;
    d->SeriesChanged(true);
}

void Chart::ResetZoom()
{
    d->follow = true;
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

double Chart::ViewFirst() const
{
    d->Settle();
    return d->plot->xAxis->range().lower;
}

double Chart::ViewLast() const
{
    d->Settle();
    return d->plot->xAxis->range().upper;
}

void Chart::SetView(double first, double last)
{
    if (last < first)
        std::swap(first, last);
    if (last == first)
        last = first + d->Spacing();
    d->follow = false;
    d->SetKeyRange({first, last});
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::ReplotNow()
{
    if (layout())
        layout()->activate();
    d->plot->setViewport(d->plot->rect());
    d->plot->replot(QCustomPlot::rpImmediateRefresh);
}

namespace {

// A picture of the chart at a size of its own: the layout of that size while it is
// drawn (the ticks are chosen from the plot's size before each layout pass), the
// screen's layout again afterwards.
class PictureLayout final
{
public:
    PictureLayout(PlotWidget *plot, QSize size)
        : m_plot(plot)
        , m_size(size.isEmpty() ? plot->size() : size)
    {
        m_plot->Relayout(m_size);
    }
    ~PictureLayout()
    {
        m_plot->Relayout();
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
    PictureLayout(const PictureLayout &) = delete;
    PictureLayout &operator=(const PictureLayout &) = delete;

    QSize Size() const { return m_size; }

private:
    PlotWidget *m_plot;
    QSize m_size;
};

} // namespace

QImage Chart::ToImage(QSize size)
{
    const PictureLayout layout(d->plot, size);
    return d->plot->toPixmap(layout.Size().width(), layout.Size().height()).toImage();
}

bool Chart::SavePdf(const QString &path, QSize size)
{
    const PictureLayout layout(d->plot, size);
    return d->plot->savePdf(path, layout.Size().width(), layout.Size().height(), QCP::epNoCosmetic,
                            QCoreApplication::applicationName(), d->titleText);
}

void Chart::Render(QPaintDevice &device, const QRectF &target, QSize size)
{
    const PictureLayout layout(d->plot, size);
    size = layout.Size();
    if (size.isEmpty())
        return;
    QCPPainter painter(&device);
    if (!painter.isActive())
        return;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setMode(QCPPainter::pmNonCosmetic);
    painter.translate(target.topLeft());
    painter.scale(target.width() / size.width(), target.height() / size.height());
    d->plot->toPainter(&painter, size.width(), size.height());
    painter.end();
}

} // namespace korvala::chart

#include "candletab.h"
#include "appmessages.h"

#include "chart.h"
#include "datetimepicker.h"
#include "spinedit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace korvala {

namespace {

constexpr int kPanelHeight = 95;
constexpr int kSampleCandles = 100;

// The panel fixes where each control starts; its width is the design's, or more when
// its text asks for more, and its height what it asks for.
template <class W>
W *Place(W *widget, int left, int top, int width)
{
    widget->move(left, top);
    const QSize hint = widget->sizeHint();
    widget->resize(std::max(width, hint.width()), hint.height());
    return widget;
}

QLabel *MakeLabel(QWidget *parent, const char *text, int left, int top)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton *MakeButton(QWidget *parent, const char *text, int left, int top, int width)
{
    return Place(new QPushButton(QString::fromUtf8(text), parent), left, top, width);
}

} // namespace

CandleTabView::CandleTabView(const TFList &quotes, QWidget *parent) : QWidget(parent), m_quotes(quotes)
{
    CandleChart = new chart::Chart(this);
    CandleChart->SetView3D(false);
    CandleChart->SetLegendVisible(false);
    CandleChart->SetDoubleBuffered(true);
    CandleSeries = CandleChart->AddCandleSeries(QStringLiteral("CandleSeries"));
    CandleSeries->FillSampleValues(kSampleCandles);

    CreatePanel();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CandleChart, 1);
    layout->addWidget(Panel4);

    Timer2 = new QTimer(this);
    connect(Timer2, &QTimer::timeout, this, Guarded(this, &CandleTabView::Timer2Timer));

    connect(DateTimePicker2, &DateTimePicker::Changed, this, Guarded(this, &CandleTabView::DateTimePicker2Change));
    connect(DateTimePicker1, &DateTimePicker::Changed, this, Guarded(this, &CandleTabView::DateTimePicker1Change));
    connect(SpinEdit2, &SpinEdit::Changed, this, Guarded(this, &CandleTabView::SpinEdit2Change));
    connect(SpinEdit3, &SpinEdit::Changed, this, Guarded(this, &CandleTabView::SpinEdit2Change));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded(this, &CandleTabView::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded(this, &CandleTabView::BitBtn2Click));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &CandleTabView::Button2Click));
}

CandleTabView::~CandleTabView() = default;

// Panel4 reads: end date − number of days = start date, then the replay controls.
void CandleTabView::CreatePanel()
{
    Panel4 = new QFrame(this);
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setMinimumHeight(kPanelHeight);

    Label5 = MakeLabel(Panel4, "Конец", 8, 8);
    DateTimePicker2 = Place(new DateTimePicker(kCandlePickerInitial, Panel4), 8, 24, 150);
    Label6 = MakeLabel(Panel4, "-", 162, 27);
    SpinEdit2 = Place(new SpinEdit(1, 1000000, kCandleDaysInitial, Panel4), 176, 24, 81);
    Label7 = MakeLabel(Panel4, "=", 260, 27);
    Label4 = MakeLabel(Panel4, "Начало", 280, 8);
    DateTimePicker1 = Place(new DateTimePicker(kCandlePickerInitial, Panel4), 280, 24, 186);
    BitBtn1 = MakeButton(Panel4, "Прокрутка", 472, 8, 75);
    BitBtn2 = MakeButton(Panel4, "Стоп", 472, 40, 75);
    SpinEdit3 = Place(new SpinEdit(1, 100, kReplaySpeedInitial, Panel4), 552, 8, 81);
    Label8 = MakeLabel(Panel4, "x 0.1 сек", 640, 16);

    Button2 = MakeButton(Panel4, "<", 96, 8, 25);
    Button3 = MakeButton(Panel4, ">", 128, 8, 25);
    Button4 = MakeButton(Panel4, "В начало", 280, 48, 75);
    Button2->hide();
    Button3->hide();
    Button4->hide();
}

void CandleTabView::SetEndDateAndApply(double endDateTime)
{
    DateTimePicker2->SetValue(endDateTime);
    DateTimePicker2Change();
}

void CandleTabView::RefreshCandles()
{
    BuildCandles(m_quotes, DateTimePicker1->Value(), DateTimePicker2->Value());
}

// Applying the range: start := end − n days (same time of day), then the chart. Label7
// is left as it is.
void CandleTabView::DateTimePicker2Change()
{
    const int n = SpinEdit2->Value();
    DateTimePicker1->SetValue(CandleRangeStart(DateTimePicker2->Value(), n));
    BuildCandles(m_quotes, DateTimePicker1->Value(), DateTimePicker2->Value());
}

// Also runs when the replay speed changes. Nothing while the days' text is empty.
void CandleTabView::SpinEdit2Change()
{
    if (SpinEdit2->Text().isEmpty())
        return;
    DateTimePicker2Change();
}

void CandleTabView::DateTimePicker1Change()
{
    Label7->setText(QString::fromStdString(
        CandleRangeSign(DateTimePicker1->Value(), DateTimePicker2->Value(), SpinEdit2->Value())));
    Label7->adjustSize();
}

// Starts the replay from the beginning; ignored while it runs. Nothing is drawn until
// the first tick.
void CandleTabView::BitBtn1Click()
{
    if (m_timer2Enabled)
        return;
    m_replay.Start();
    m_timer2Interval = ReplayIntervalMs(SpinEdit3->Value());
    m_timer2Enabled = true;
    if (m_timer2Interval > 0)
        Timer2->start(static_cast<int>(std::min<long long>(m_timer2Interval, INT_MAX)));
}

// The chart keeps the frame last shown.
void CandleTabView::BitBtn2Click()
{
    m_timer2Enabled = false;
    Timer2->stop();
}

void CandleTabView::Timer2Timer()
{
    if (m_replay.Tick(m_quotes.Count()))
        BitBtn2Click();
    ShowReplayFrame(m_quotes, m_replay.FReplayFirst, m_replay.FReplayLast);
}

void CandleTabView::Button2Click()
{
    DateTimePicker2->SetValue(DateTimePicker2->Value() - 3);
    DateTimePicker2Change();
}

void CandleTabView::BuildCandles(const TFList &list, double start, double end)
{
    ShowCandles(list, SelectCandles(list, start, end));
}

void CandleTabView::ShowReplayFrame(const TFList &list, int first, int last)
{
    const auto [begin, end] = CandleReplay::FrameIndexes(first, last, list.Count());
    std::vector<int> indexes(static_cast<std::size_t>(end - begin));
    for (int i = begin; i < end; ++i)
        indexes[static_cast<std::size_t>(i - begin)] = i;
    ShowCandles(list, indexes);
}

void CandleTabView::ShowCandles(const TFList &list, const std::vector<int> &indexes)
{
    std::vector<chart::Candle> candles;
    candles.reserve(indexes.size());
    for (int i : indexes) {
        const TFPoint &q = *list.Items(i);
        candles.push_back({q.DateTime, q.Open, q.High, q.Low, q.Close});
    }
    CandleSeries->Assign(candles, true); // a refill shows the whole series
}

} // namespace korvala

#include "indicatorwindow.h"
#include "appmessages.h"

#include "codec.h"

#include "chart.h"
#include "indicator.h"
#include "pictureexport.h"
#include "spinedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <exception>

#include <stdexcept>
#include <string>
#include <vector>

namespace korvala {

namespace {

constexpr int kPanelHeight = 41; // at least: more when the font asks for it
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kTeal(0, 128, 128);

} // namespace

// The date texts of the quotes shown, kept with the line: a later open refills the quote
// list but leaves the window's lines (and their labels) as they were. One buffer with
// offsets, so a million labels cost a few bytes each.
class TfIndic::DateLabels final
{
public:
    DateLabels(const TFList &list, std::size_t count)
    {
        m_start.reserve(count + 1);
        m_text.reserve(count * 14);
        list.ForEach([&](const TFPoint &q, int index) {
            if (static_cast<std::size_t>(index) >= count)
                return;
            m_start.push_back(m_text.size());
            m_text += ShortText(q.DateText);
        });
        m_start.push_back(m_text.size());
    }

    QString At(int index) const
    {
        if (index < 0 || static_cast<std::size_t>(index) + 1 >= m_start.size())
            return {};
        const std::size_t from = m_start[static_cast<std::size_t>(index)];
        const std::size_t to = m_start[static_cast<std::size_t>(index) + 1];
        return QString::fromUtf8(m_text.data() + from, static_cast<qsizetype>(to - from));
    }

private:
    std::string m_text;
    std::vector<std::size_t> m_start;
};

TfIndic::TfIndic(const TFList *quotes, QWidget *parent) : QWidget(parent, Qt::Window), m_quotes(quotes)
{
    setWindowTitle(QStringLiteral("fIndic"));
    resize(696, 480);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setMinimumHeight(kPanelHeight);
    Label1 = new QLabel(QStringLiteral("Last"), Panel1);
    SpinEdit1 = new SpinEdit(1, 10000000, 1, Panel1);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->addItems({QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"),
                         QStringLiteral("75"), QStringLiteral("50")});
    ComboBox1->setCurrentIndex(-1);
    CheckBox1 = new QCheckBox(QStringLiteral("CheckBox1"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(QStringLiteral("CheckBox2"), Panel1);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setChecked(true);
    spPeriod = new SpinEdit(1, 1000000, 3, Panel1);
    spOffset = new SpinEdit(1, 1000000, 3, Panel1);
    // Left to right in one row, each control as wide as its text asks.
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(7);
    for (QWidget *control : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(SpinEdit1),
                             static_cast<QWidget *>(ComboBox1), static_cast<QWidget *>(CheckBox1),
                             static_cast<QWidget *>(CheckBox2), static_cast<QWidget *>(spPeriod),
                             static_cast<QWidget *>(spOffset)})
        row->addWidget(control);
    row->addStretch(1);

    Chart1 = new chart::Chart(this);
    Chart1->SetTitle(QStringLiteral("TChart"));
    Chart1->SetLegendVisible(false);
    Chart1->SetView3D(false);
    Chart1->SetMouseZoom(true);
    Chart1->SetBackWallColor(Qt::white);
    Chart1->SetBackWallClearBrush(true);
    Series1 = Chart1->AddLineSeries(QStringLiteral("Series1"));
    Series1->SetColor(kRed);
    Series1->SetPointersVisible(false);
    Series1->SetMarksVisible(true);
    Series2 = Chart1->AddLineSeries(QStringLiteral("Series2"));
    Series2->SetColor(kGreen);
    Series2->SetPointersVisible(false);
    Series2->SetMarksVisible(true);
    Series2->SetMarkArrowColor(kTeal);
    chart::AddExportActions(Chart1, [this] { return ChartPicture(); }, QStringLiteral("indicator"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Chart1, 1);

    connect(spPeriod, &SpinEdit::Changed, this, Guarded(this, &TfIndic::spPeriodChange));
    connect(spOffset, &SpinEdit::Changed, this, Guarded(this, &TfIndic::spPeriodChange));
    connect(CheckBox1, &QCheckBox::toggled, this, Guarded(this, &TfIndic::CheckBox1Click));
    connect(CheckBox2, &QCheckBox::toggled, this, Guarded(this, &TfIndic::CheckBox2Click));

    FormCreate();
}

TfIndic::~TfIndic() = default;

void TfIndic::SetQuoteList(const TFList *quotes) { m_quotes = quotes; }

void TfIndic::FormCreate()
{
    FPeriod = kIndicatorPeriodInitial;
    FOffset = kIndicatorOffsetInitial;
}

void TfIndic::CalcIndicator()
{
    static const TFList kNoQuotes;
    const TFList &list = m_quotes ? *m_quotes : kNoQuotes;
    // A stopped computation still shows what it made, then reports why it stopped.
    IndicatorSeries s;
    std::exception_ptr stopped;
    try {
        s = CalcIndicatorSeries(list, FPeriod, FOffset);
    } catch (IndicatorError &error) {
        s = std::move(error.Partial);
        stopped = std::current_exception();
    }

    m_labels = std::make_shared<const DateLabels>(list, s.Series1.size());
    Series1->Assign(std::move(s.Series1),
                    [labels = m_labels](int index) { return labels->At(index); });
    Series2->Assign(std::move(s.Series2));
    if (stopped)
        std::rethrow_exception(stopped);
}

std::unique_ptr<chart::ExportPicture> TfIndic::ChartPicture(QSize size) const
{
    return std::make_unique<chart::ChartPicture>(*Chart1, size);
}

// Either spin: both are read, unless one of them is being cleared.
void TfIndic::spPeriodChange()
{
    if (spPeriod->Text().isEmpty() || spOffset->Text().isEmpty())
        return;
    FPeriod = spPeriod->Value();
    FOffset = spOffset->Value();
    CalcIndicator();
}

void TfIndic::CheckBox1Click() { Series1->SetMarksVisible(CheckBox1->isChecked()); }

void TfIndic::CheckBox2Click() { Series2->SetMarksVisible(CheckBox2->isChecked()); }

} // namespace korvala

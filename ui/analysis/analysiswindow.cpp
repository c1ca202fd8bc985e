#include "analysiswindow.h"
#include "appmessages.h"

#include "analysischart.h"
#include "numtext.h"
#include "pictureexport.h"
#include "reports.h"
#include "swinglist.h"
#include "reportwindow.h"
#include "spinedit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

namespace korvala {

namespace {

template <class W>
W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox *NewCheckBox(QWidget *parent, const char *name, const QString &caption, bool checked)
{
    auto *box = Named(new QCheckBox(caption, parent), name);
    box->setChecked(checked);
    return box;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, const QString &text)
{
    auto *edit = Named(new QLineEdit(text, parent), name);
    edit->setFixedWidth(80);
    return edit;
}

QLabel *NewLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = Named(new QLabel(caption, parent), name);
    label->setMinimumWidth(90);
    return label;
}

QHBoxLayout *NewRow()
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    return row;
}

// The analysis chart at a size of its own, drawn as it would be at that size.
class FinChartPicture final : public chart::ExportPicture
{
public:
    FinChartPicture(const TFinChart &chart, QSize size) : m_chart(chart), m_size(size) {}

    chart::PictureSize Size() const override { return {m_size.width(), m_size.height()}; }

    void Render(QPaintDevice &device, const QRectF &target) override
    {
        QPainter painter(&device);
        painter.translate(target.topLeft());
        painter.scale(target.width() / m_size.width(), target.height() / m_size.height());
        m_chart.PaintPicture(painter, m_size);
    }

private:
    const TFinChart &m_chart;
    QSize m_size;
};

} // namespace

QFont AnalysisFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

TForm2::TForm2(TfReport *report, QWidget *parent)
    : QDialog(parent)
    , FChart(nullptr)
    , m_report(report)
{
    // FormCreate. Qt paints every window through a back buffer, which is the double
    // buffering this window asks for.
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setFont(AnalysisFont());
    resize(696, 480);

    CreateBottomPanel();
    CreateLeftPanel();

    FChart = Named(new TFinChart(this), "FChart");
    QPalette white = FChart->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    FChart->setPalette(white);
    FChart->SetOnPriceDown([this](TFinChart *) { ChartPriceDown(); });
    FChart->SetOnPriceUp([this](TFinChart *) { ChartPriceUp(); });
    chart::AddExportActions(FChart, [this] { return ChartPicture(); }, QStringLiteral("analysis"));

    Splitter1 = Named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    Splitter1->addWidget(Panel2);
    Splitter1->addWidget(FChart);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({185, 696 - 185});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(Panel1);

    // Enter in an edit presses no button.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    ConnectHandlers();
}

TForm2::~TForm2() = default;

void TForm2::CreateBottomPanel()
{
    Panel1 = Named(new QWidget(this), "Panel1");
    Panel1->setFixedHeight(85);
    QWidget *p = Panel1;

    CheckBox1 = NewCheckBox(p, "CheckBox1", QStringLiteral("Price (Close)"), true);
    CheckBox2 = NewCheckBox(p, "CheckBox2", QStringLiteral("Dinapoli"), true);
    // "&&" shows the ampersand itself rather than marking a shortcut key.
    CheckBox3 = NewCheckBox(p, "CheckBox3", QStringLiteral("Resistence && support"), true);
    CheckBox4 = NewCheckBox(p, "CheckBox4", QStringLiteral("OP, COP, XOP"), true);
    SpinEdit1 = Named(new SettlingSpinBox(p), "SpinEdit1");
    SpinEdit1->setRange(1, 100000000);
    SpinEdit1->setValue(3);
    SpinEdit1->setMinimumWidth(70);
    Button1 = Named(new QPushButton(QStringLiteral("Отчет"), p), "Button1");
    BitBtn1 = Named(new QPushButton(QStringLiteral("+"), p), "BitBtn1");
    BitBtn2 = Named(new QPushButton(QStringLiteral("-"), p), "BitBtn2");
    BitBtn3 = Named(new QPushButton(QStringLiteral("-><-"), p), "BitBtn3");
    for (QPushButton *zoom : {BitBtn1, BitBtn2, BitBtn3})
        zoom->setFixedWidth(36);

    Edit1 = NewEdit(p, "Edit1", QStringLiteral("1"));
    Edit2 = NewEdit(p, "Edit2", QStringLiteral("2"));
    Label1 = NewLabel(p, "Label1", QStringLiteral("Label1"));
    Label2 = NewLabel(p, "Label2", QStringLiteral("Label2"));
    CheckBox5 = NewCheckBox(p, "CheckBox5", QStringLiteral("MA 3x3"), false);

    Edit3 = NewEdit(p, "Edit3", QStringLiteral("1"));
    Edit4 = NewEdit(p, "Edit4", QStringLiteral("2"));
    Edit5 = NewEdit(p, "Edit5", QStringLiteral("2"));
    Label3 = NewLabel(p, "Label3", QStringLiteral("Label1"));
    Label4 = NewLabel(p, "Label4", QStringLiteral("Label2"));
    Label5 = NewLabel(p, "Label5", QStringLiteral("Label2"));

    QHBoxLayout *row1 = NewRow();
    for (QWidget *w : std::initializer_list<QWidget *>{CheckBox1, CheckBox2, CheckBox3, CheckBox4,
                                                       SpinEdit1, Button1})
        row1->addWidget(w);
    row1->addStretch(1);
    row1->setSpacing(4);
    for (QWidget *w : {BitBtn1, BitBtn2, BitBtn3})
        row1->addWidget(w);

    QHBoxLayout *row2 = NewRow();
    for (QWidget *w : std::initializer_list<QWidget *>{Edit1, Edit2, Label1, Label2, CheckBox5})
        row2->addWidget(w);
    row2->addStretch(1);

    QHBoxLayout *row3 = NewRow();
    for (QWidget *w : std::initializer_list<QWidget *>{Edit3, Edit4, Edit5, Label3, Label4, Label5})
        row3->addWidget(w);
    row3->addStretch(1);

    auto *rows = new QVBoxLayout(p);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setSpacing(2);
    rows->addLayout(row1);
    rows->addLayout(row2);
    rows->addLayout(row3);
}

void TForm2::CreateLeftPanel()
{
    Panel2 = Named(new QWidget(this), "Panel2");
    QWidget *p = Panel2;

    cbxItems = new SwingListModel(this);
    cbx = Named(new QListView(p), "cbx");
    cbx->setModel(cbxItems);
    cbx->setUniformItemSizes(true);
    cbx->setSelectionMode(QAbstractItemView::SingleSelection);
    cbx->setFixedHeight(156);
    Button2 = Named(new QPushButton(QStringLiteral("+"), p), "Button2");
    mm = Named(new QPlainTextEdit(QStringLiteral("mm"), p), "mm");
    Button3 = Named(new QPushButton(QStringLiteral("Button3"), p), "Button3");

    auto *column = new QVBoxLayout(p);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(cbx);
    column->addWidget(Button2);
    column->addWidget(mm, 1);
    column->addWidget(Button3);
}

void TForm2::ConnectHandlers()
{
    connect(CheckBox1, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBox1Click));
    connect(CheckBox2, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBox2Click));
    connect(CheckBox3, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBox3Click));
    connect(CheckBox4, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBox4Click));
    connect(CheckBox5, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBox5Click));
    connect(SpinEdit1, &QSpinBox::textChanged, this, Guarded(this, &TForm2::SpinEdit1Change));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded(this, &TForm2::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded(this, &TForm2::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded(this, &TForm2::BitBtn3Click));
    connect(Edit1, &QLineEdit::textChanged, this, Guarded(this, &TForm2::Edit1Change));
    connect(Edit2, &QLineEdit::textChanged, this, Guarded(this, &TForm2::Edit2Change));
    connect(Edit3, &QLineEdit::textChanged, this, Guarded(this, &TForm2::Edit3Change));
    connect(Edit4, &QLineEdit::textChanged, this, Guarded(this, &TForm2::Edit3Change));
    connect(Edit5, &QLineEdit::textChanged, this, Guarded(this, &TForm2::Edit3Change));
    connect(cbx, &QListView::clicked, this, Guarded(this, &TForm2::cbxClick));
    connect(cbxItems, &SwingListModel::CheckToggled, this, Guarded(this, &TForm2::cbxClick));
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TForm2::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &TForm2::Button2Click));
    connect(Button3, &QPushButton::clicked, this, Guarded(this, &TForm2::Button3Click));
}

void TForm2::Open(TFList *quotes)
{
    FChart->SetData(quotes);
    FillSwingList();
}

void TForm2::ShowFor(TFList *quotes)
{
    Open(quotes);
    exec();
    // The items point into the quotes, which the next open replaces: the next showing
    // fills the list again.
    cbxItems->Assign({});
}

std::unique_ptr<chart::ExportPicture> TForm2::ChartPicture(QSize size) const
{
    return std::make_unique<FinChartPicture>(*FChart, size.isEmpty() ? FChart->size() : size);
}

void TForm2::FillSwingList() { cbxItems->Assign(SwingListItems(FChart->Data())); }

void TForm2::CheckBox1Click() { FChart->SetShowClose(CheckBox1->isChecked()); }
void TForm2::CheckBox2Click() { FChart->SetShowZigzag(CheckBox2->isChecked()); }
void TForm2::CheckBox3Click() { FChart->SetShowResSup(CheckBox3->isChecked()); }
void TForm2::CheckBox4Click() { FChart->SetShowTargets(CheckBox4->isChecked()); }
void TForm2::CheckBox5Click() { FChart->SetShowMA3x3(CheckBox5->isChecked()); }

void TForm2::SpinEdit1Change()
{
    const auto value = SpinEditValue(SpinEdit1->text().toStdString(), SpinEdit1->minimum(),
                                     SpinEdit1->maximum());
    if (value)
        FChart->SetPeriod(*value);
}

void TForm2::BitBtn1Click() { FChart->ZoomIn(); }
void TForm2::BitBtn2Click() { FChart->ZoomOut(); }
void TForm2::BitBtn3Click() { FChart->ResetZoom(); }

void TForm2::ChartPriceDown()
{
    const QString text = QString::fromStdString(FormatF(FChart->PriceDown(), 3));
    Edit1->setText(text);
    Edit3->setText(text);
}

void TForm2::ChartPriceUp()
{
    const QString text = QString::fromStdString(FormatF(FChart->PriceUp(), 3));
    Edit2->setText(text);
    Edit4->setText(text);
}

void TForm2::Edit1Change()
{
    const auto labels = RetraceLabels(Edit1->text().toStdString(), Edit2->text().toStdString());
    Label1->setText(QString::fromStdString(labels[0]));
    Label2->setText(QString::fromStdString(labels[1]));
}

void TForm2::Edit2Change() { Edit1Change(); }

void TForm2::Edit3Change()
{
    const auto labels = ProjectionLabels(Edit3->text().toStdString(), Edit4->text().toStdString(),
                                         Edit5->text().toStdString());
    Label3->setText(QString::fromStdString(labels[0]));
    Label4->setText(QString::fromStdString(labels[1]));
    Label5->setText(QString::fromStdString(labels[2]));
}

void TForm2::cbxClick()
{
    TFList *quotes = FChart->Data();
    if (!quotes)
        return;
    ApplySwingChecks(*quotes, cbxItems->Items());
    FChart->DataChanged();
}

void TForm2::ShowReport(const std::vector<std::string> &lines)
{
    if (!m_report)
        return;
    m_report->SetLines(lines);
    m_report->ShowModal();
}

void TForm2::Button1Click()
{
    const TFList *quotes = FChart->Data();
    ShowReport(quotes ? TargetsReport(*quotes) : std::vector<std::string>());
}

void TForm2::Button2Click()
{
    std::vector<std::string> lines = MemoLines(mm->toPlainText().toStdString());
    const QItemSelectionModel *selection = cbx->selectionModel();
    bool added = false;
    for (int k = 0; k < cbxItems->Count(); ++k)
        if (selection->isRowSelected(k, QModelIndex())) {
            lines.push_back(cbxItems->Text(k).toStdString());
            added = true;
        }
    if (added)
        mm->setPlainText(QString::fromStdString(MemoText(lines)));
}

void TForm2::Button3Click()
{
    ShowReport(FNodesReport(MemoLines(mm->toPlainText().toStdString())));
}

} // namespace korvala

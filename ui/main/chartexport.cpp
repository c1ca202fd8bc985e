#include "chartexport.h"

#include "analysiswindow.h"
#include "appmessages.h"
#include "candletab.h"
#include "chart.h"
#include "indicatorwindow.h"
#include "mainwindow.h"
#include "pfgridview.h"
#include "pfpicture.h"
#include "pictureexport.h"
#include "texts.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>

#include <array>
#include <stdexcept>
#include <utility>

namespace korvala {

namespace {

struct KindName
{
    ChartKind kind;
    const char *name;
};

constexpr std::array<KindName, 5> kKindNames{{
    {ChartKind::PF, "pf"},
    {ChartKind::LineBreak, "linebreak"},
    {ChartKind::Candles, "candles"},
    {ChartKind::Indicator, "indicator"},
    {ChartKind::Analysis, "analysis"},
}};

MainChartExport::ViewOfferHook &OfferHook()
{
    static MainChartExport::ViewOfferHook hook;
    return hook;
}

bool OfferView(QWidget *parent, const QString &question)
{
    if (OfferHook())
        return OfferHook()(question);
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

[[noreturn]] void Fail(const QString &text) { throw std::runtime_error(text.toStdString()); }

} // namespace

std::optional<ChartKind> ChartKindFromName(const QString &name)
{
    for (const KindName &k : kKindNames) {
        if (name == QLatin1String(k.name))
            return k.kind;
    }
    return std::nullopt;
}

QString ChartKindName(ChartKind kind)
{
    for (const KindName &k : kKindNames) {
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    }
    return {};
}

// --- The File menu's commands ---------------------------------------------------------

MainChartExport::MainChartExport(TForm1 &form)
    : QObject(&form)
    , m_form(form)
{
    const auto make = [this](const QString &text, const char *name, const QKeySequence &keys,
                             auto command) {
        auto *action = new QAction(text, &m_form);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setProperty("caption", QString(text).remove(QLatin1Char('&')));
        action->setProperty("category", QStringLiteral("Файл"));
        connect(action, &QAction::triggered, this, [this, command] { RunGuarded([&] { Run(command); }); });
        return action;
    };
    aExportChart = make(QStringLiteral("&Export chart..."), "aExportChart",
                        QKeySequence(Qt::CTRL | Qt::Key_E), [this](chart::ExportPicture &p) {
                            chart::SavePictureAs(&m_form, p, ChartKindName(*ActiveChart()));
                        });
    aCopyChart = make(QStringLiteral("&Copy chart"), "aCopyChart", QKeySequence(Qt::CTRL | Qt::Key_C),
                      [](chart::ExportPicture &p) { chart::CopyPicture(p); });
    aPrintChart = make(QStringLiteral("&Print chart..."), "aPrintChart",
                       QKeySequence(Qt::CTRL | Qt::Key_P),
                       [this](chart::ExportPicture &p) { chart::PrintPictureAs(&m_form, p); });
    aPrintPreview = make(QStringLiteral("Print pre&view..."), "aPrintPreview", QKeySequence(),
                         [this](chart::ExportPicture &p) { chart::PreviewPicture(&m_form, p); });
}

void MainChartExport::AddTo(QMenu *menu)
{
    menu->addAction(aExportChart);
    menu->addAction(aCopyChart);
    menu->addAction(aPrintChart);
    menu->addAction(aPrintPreview);
}

void MainChartExport::FollowTabs(QTabWidget *tabs)
{
    m_tabs = tabs;
    connect(tabs, &QTabWidget::currentChanged, this, Guarded(this, &MainChartExport::UpdateEnabled));
    UpdateEnabled();
}

void MainChartExport::UpdateEnabled()
{
    const bool chart = ActiveChart().has_value();
    for (QAction *a : {aExportChart, aCopyChart, aPrintChart, aPrintPreview})
        a->setEnabled(chart);
}

std::optional<ChartKind> MainChartExport::ActiveChart() const
{
    const QWidget *tab = m_form.PageControl1 ? m_form.PageControl1->currentWidget() : nullptr;
    if (tab && tab == m_form.TabSheet1)
        return ChartKind::PF;
    if (tab && tab == m_form.TabSheet2)
        return ChartKind::LineBreak;
    if (tab && tab == m_form.ts_Candle)
        return ChartKind::Candles;
    return std::nullopt;
}

MainChartExport::ViewOfferHook MainChartExport::SetViewOfferHook(ViewOfferHook hook)
{
    ViewOfferHook previous = std::move(OfferHook());
    OfferHook() = std::move(hook);
    return previous;
}

std::unique_ptr<chart::ExportPicture> MainChartExport::ActivePicture()
{
    const std::optional<ChartKind> kind = ActiveChart();
    if (!kind)
        return nullptr;
    switch (*kind) {
    case ChartKind::PF: {
        const int magnitude = m_form.sg->DefaultColWidth();
        const PFDocument &doc = m_form.Document();
        auto whole = std::make_unique<PFPicture>(doc, magnitude, m_form.font(),
                                                 PFPicture::WholeChart(doc));
        whole->SetOverlay(m_form.sg->Overlay());
        const QString refusal = chart::SizeRefusal(whole->Size());
        if (refusal.isEmpty())
            return whole;
        const QString question = QStringLiteral("The whole chart is too large for a picture. %1.\n\n"
                                                "Take the part in view instead?")
                                     .arg(refusal);
        if (!OfferView(&m_form, question))
            return nullptr;
        auto view = std::make_unique<PFPicture>(doc, magnitude, m_form.font(),
                                                PFPicture::InView(*m_form.sg));
        view->SetOverlay(m_form.sg->Overlay());
        return view;
    }
    case ChartKind::LineBreak:
        return std::make_unique<chart::ChartPicture>(*m_form.LineBreakChart);
    case ChartKind::Candles:
        return std::make_unique<chart::ChartPicture>(*m_form.CandleTab()->Chart());
    case ChartKind::Indicator:
    case ChartKind::Analysis:
        break;
    }
    return nullptr;
}

void MainChartExport::Run(const std::function<void(chart::ExportPicture &)> &command)
{
    try {
        if (const std::unique_ptr<chart::ExportPicture> picture = ActivePicture())
            command(*picture);
    } catch (const std::exception &error) {
        ShowStandardError(error.what());
    }
}

// --- Without a window -----------------------------------------------------------------

void RunHeadlessExport(const HeadlessExport &request)
{
    TForm1 form;
    form.OpenQuoteFile(request.file);
    if (request.box || request.reverse) {
        if (request.box)
            form.eBox->setText(*request.box);
        if (request.reverse)
            form.eReverse->setText(*request.reverse);
        form.aRefresh->trigger();
    }
    // The window's Refresh stops without a word at a box or reversal below 0,01.
    const PFDocument &built = form.Document();
    if (!built.Built || !ParamsUsable(built.FBox, built.FReverse))
        Fail(QStringLiteral("The box and the reversal must be at least 0,01; no chart was built"));

    std::unique_ptr<chart::ExportPicture> picture;
    std::unique_ptr<TfIndic> indicator;
    std::unique_ptr<TForm2> analysis;
    switch (request.chart) {
    case ChartKind::PF: {
        const PFDocument &doc = form.Document();
        picture = std::make_unique<PFPicture>(doc, request.magnitude.value_or(form.sg->DefaultColWidth()),
                                              form.font(), PFPicture::WholeChart(doc));
        break;
    }
    case ChartKind::LineBreak:
        picture = std::make_unique<chart::ChartPicture>(*form.LineBreakChart, request.size);
        break;
    case ChartKind::Candles:
        picture = std::make_unique<chart::ChartPicture>(*form.CandleTab()->Chart(), request.size);
        break;
    case ChartKind::Indicator:
        indicator = std::make_unique<TfIndic>(&form.QuoteList());
        indicator->CalcIndicator();
        picture = indicator->ChartPicture(request.size);
        break;
    case ChartKind::Analysis:
        analysis = std::make_unique<TForm2>();
        analysis->Open(&form.QuoteList());
        picture = analysis->ChartPicture(request.size);
        break;
    }
    chart::SavePicture(*picture, request.out);
}

} // namespace korvala

#pragma once

// The charts of the main window leave the program: the File menu's commands for the chart
// of the active tab, and the export without any window for `korvala FILE --export OUT`.

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QTabWidget;

namespace korvala {

namespace chart {
class ExportPicture;
} // namespace chart

class TForm1;

enum class ChartKind { PF, LineBreak, Candles, Indicator, Analysis };

// "pf", "linebreak", "candles", "indicator", "analysis".
std::optional<ChartKind> ChartKindFromName(const QString &name);
QString ChartKindName(ChartKind kind);

// File / "Export chart..." (Ctrl+E), "Copy chart" (Ctrl+C), "Print chart..." (Ctrl+P) and
// "Print preview..." for the chart of the active tab; the tab without a chart leaves
// them disabled. The P&F tab gives the whole chart: every column and row at the
// magnitude in force, with rulers, dates and volume bars. A whole chart too large for a
// picture is refused with the reason and the offer of the part in view.
class MainChartExport final : public QObject
{
    Q_OBJECT

public:
    explicit MainChartExport(TForm1 &form);

    QAction *aExportChart = nullptr;
    QAction *aCopyChart = nullptr;
    QAction *aPrintChart = nullptr;
    QAction *aPrintPreview = nullptr;

    // Adds the four commands to menu.
    void AddTo(QMenu *menu);
    // Enables the commands for the tabs that show a chart.
    void FollowTabs(QTabWidget *tabs);

    // The active tab's chart as a picture; none for a tab without a chart, or when the
    // user turned down the part in view of a P&F chart too large for a picture.
    std::unique_ptr<chart::ExportPicture> ActivePicture();
    // The chart of a tab, none when the tab has none.
    std::optional<ChartKind> ActiveChart() const;

    // The question whether to take the part in view: true for yes. Tests answer it.
    using ViewOfferHook = std::function<bool(const QString &question)>;
    static ViewOfferHook SetViewOfferHook(ViewOfferHook hook);

private:
    void Run(const std::function<void(chart::ExportPicture &)> &command);
    void UpdateEnabled();

    TForm1 &m_form;
    QTabWidget *m_tabs = nullptr;
};

// `korvala FILE --export OUT`: the file opened as File / Open... would open it, in a main
// window that is never shown, and the chosen chart written to out (PNG, SVG or PDF by
// its suffix). Throws std::exception whose text says what failed.
struct HeadlessExport
{
    QString file;
    QString out;
    ChartKind chart = ChartKind::PF;
    // The P&F chart's magnitude (pixels per box); the window's 3 when none.
    std::optional<int> magnitude;
    // The box and reversal texts, put into the edits before a second Refresh.
    std::optional<QString> box;
    std::optional<QString> reverse;
    // The size of the other charts' pictures.
    QSize size = kDefaultSize;

    static constexpr QSize kDefaultSize{1200, 800};
};
void RunHeadlessExport(const HeadlessExport &request);

} // namespace korvala

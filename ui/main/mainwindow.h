#pragma once

// The main window: menu, tabs, the P&F tab with its grid, strips and cursor window,
// the open sequence and the Refresh pipeline.

#include "document.h"
#include "pfstrips.h"

#include "aboutbox.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace korvala {

namespace chart {
class Chart;
class CandleSeries;
} // namespace chart

class CandleTabView;
class CursorWindow;
class ImportDialog;
class LineBreakReplayTarget;
class MainChartExport;
class PFGridView;
class PFGridZoom;
class PFReplayTarget;
class PFSignalOverlay;
class RecentFiles;
class ReplayBar;
class TfReport;

class TForm1 final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // --- Connections to the other windows, made by the program's entry. ---
    // Chart / "Action2": hand the quotes to the analysis window, prepare it and show it
    // modally. Chart / "Индикаторы": recompute the indicator window and show it.
    using WindowHook = std::function<void(TFList &quotes)>;
    void SetAnalysisWindowHook(WindowHook hook) { m_analysisWindow = std::move(hook); }
    void SetIndicatorWindowHook(WindowHook hook) { m_indicatorWindow = std::move(hook); }
    void SetAboutBox(TAboutBox *box) { m_aboutBox = box; }
    // Chart / signals report: the report window it fills and shows modally.
    void SetReportWindow(TfReport *report);

    // The file name the open dialog would give (empty: cancelled). Tests answer it; it
    // answers File / Import... as well.
    using OpenDialogHook = std::function<QString()>;
    void SetOpenDialogHook(OpenDialogHook hook) { m_openDialog = std::move(hook); }
    // The import preview, shown modally: true when the user imports. Tests answer it
    // through the dialog's controls.
    using ImportPreviewHook = std::function<bool(ImportDialog &dialog)>;
    void SetImportPreviewHook(ImportPreviewHook hook) { m_importPreview = std::move(hook); }
    // A file named on the command line: opened when the window is first shown, in place
    // of the open dialog.
    void SetStartFile(const QString &path) { m_startFile = path; }

    // --- Components. ---
    QMenuBar *ActionMainMenuBar1 = nullptr;
    QAction *Action1 = nullptr;
    QAction *aImport = nullptr;         // File / Import...: a quote file written elsewhere
    QAction *aExit = nullptr;
    QAction *Action2 = nullptr;
    QAction *aIndic = nullptr;
    QAction *aRefresh = nullptr;
    // The P&F signals over the grid (checkable, off at start) and their report.
    QAction *aSignals = nullptr;
    QAction *aSignalsReport = nullptr;
    QAction *aAbout = nullptr;
    QMenu *mnRecent = nullptr;          // File / recent files
    QAction *aZoomIn = nullptr;         // the grid's magnitude up, about the pointer
    QAction *aZoomOut = nullptr;
    QAction *aZoomFit = nullptr;        // the largest magnitude that shows the whole chart
    QAction *aReplay = nullptr;         // shows the replay bars of the P&F and line-break tabs

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *ts_Candle = nullptr;
    QWidget *tbCommon = nullptr;
    QPlainTextEdit *mm_Common = nullptr;
    QStatusBar *stb = nullptr;
    QFileDialog *od = nullptr;
    QTimer *Timer1 = nullptr;           // removes the cursor window once the pointer left the grid

    QSplitter *Splitter1 = nullptr;     // between the parameters and the drawing panel
    QWidget *Panel1 = nullptr;          // left of the P&F tab: parameters and statistics
    QGroupBox *GroupBox1 = nullptr;
    QLineEdit *eBox = nullptr;
    QLineEdit *eReverse = nullptr;
    QPushButton *Button1 = nullptr;     // "Refersh" (carries aRefresh)
    QSpinBox *SpinEdit1 = nullptr;      // "Magnitude": pixels per box
    QCheckBox *chkHintShow = nullptr;
    QFrame *Panel3 = nullptr;           // frame of the statistics memo
    QPlainTextEdit *Memo1 = nullptr;
    QFrame *Panel2 = nullptr;           // the drawing panel: grid and strips
    PaintBox *pb1 = nullptr;            // date strip above the grid
    PaintBox *pb = nullptr;             // volume strip below the grid
    PaintBox *pbc = nullptr;            // left price ruler
    PaintBox *pbc1 = nullptr;           // right price strip
    QSplitter *Splitter3 = nullptr;     // between the left ruler and the grid
    PFGridView *sg = nullptr;

    chart::Chart *LineBreakChart = nullptr;
    chart::CandleSeries *LineBreakSeries = nullptr;
    // Tab "Candle": its chart, date range and replay (with Timer2).
    CandleTabView *CandleTab() const { return m_candleTab; }
    // File / "Export chart...", "Copy chart", "Print chart...", "Print preview...".
    MainChartExport *ChartExport() const { return m_chartExport; }

    // The store of the cursor window's current text.
    QString Hint;

    // --- Event handlers. ---
    void FormCreate();
    void FormShow();
    void FormDeactivate();
    void FormDestroy();
    void Action1Execute();
    void aImportExecute();
    void aExitExecute();
    void Action2Execute();
    void aIndicExecute();
    void aRefreshExecute();
    void aAboutExecute();
    void aSignalsExecute();
    void aSignalsReportExecute();
    void SpinEdit1Change(const QString &text);
    void Memo1MouseMove();
    void eBoxExit();
    void eReverseExit();
    void sgMouseMove(int x, int y);
    void sgTopLeftChanged();
    void Timer1Timer();
    void pbPaint(QPainter &painter);
    void pb1Paint(QPainter &painter);
    void pbcPaint(QPainter &painter);
    void pbc1Paint(QPainter &painter);
    // A file dragged over the window is taken when it is one local file.
    bool FormDragOver(const QMimeData &mime) const;

    // The open sequence after the dialog: the file, the edits, the statistics, the
    // caption, the candle tab's range, the common figures, then Refresh.
    void OpenQuoteFile(const QString &path);
    // File / Import... after its dialog: the preview; on the user's word the file read
    // through the import (with the corrections chosen), then the same sequence as an open.
    void ImportQuoteFile(const QString &path);
    // A file dropped onto the window or named on the command line: a native quote file
    // by the open sequence, any other through the import (the preview only when the
    // guess is uncertain).
    void OpenAnyQuoteFile(const QString &path);
    // Places the window for a screen of that size.
    void PlaceWindow(QSize screen);
    // File / recent files: opens the file, or drops it from the list with a note when it
    // is gone.
    void OpenRecentFile(const QString &path);

    // --- Remembered between runs. ---
    // The magnitude, set without a rebuild (the cells keep their place in the chart).
    int Magnitude() const { return m_magnitude; }
    void SetMagnitude(int magnitude);
    QString LastFolder() const { return m_lastFolder; }
    void SetLastFolder(const QString &folder) { m_lastFolder = folder; }
    RecentFiles *Recent() const { return m_recent; }

    // The grid's zoom and the replays of the P&F and line-break tabs.
    PFGridZoom *Zoom() const { return m_zoom; }
    ReplayBar *PFReplayBar() const { return m_pfReplayBar; }
    ReplayBar *LineBreakReplayBar() const { return m_lineBreakReplayBar; }

    // --- State, for the program's other windows and for tests. ---
    TFList &QuoteList() { return m_doc.QuoteList; }
    const PFDocument &Document() const { return m_doc; }
    const PFViewState &ViewState() const { return m_view; }
    const PFSignalOverlay &SignalOverlay() const { return *m_overlay; }
    CursorWindow *CursorWnd() const { return FCursorWnd; }
    QString StatusText() const;
    QString CellText() const;

signals:
    // The main window was closed: the program ends.
    void Closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateActions();
    void CreateMenu();
    void CreateTabs();
    QWidget *CreateParametersPanel();
    QWidget *CreateDrawingPanel();
    void WatchMouseMoves(QWidget *control);
    void CreateOpenDialog(const QString &folder);
    void CreateLineBreakChart();
    void CreateCandleTab();

    // The open sequence once the document holds the new quotes of the file at path.
    void Opened(const QString &path);
    // The import of a file's bytes, with the preview first (always) or only when the guess
    // is uncertain.
    void ImportBytes(const QString &path, std::string bytes, bool alwaysPreview);
    bool PreviewAccepted(ImportDialog &dialog);

    // Refresh's steps and the open sequence's candle step; the line-break and candle
    // steps belong to the chart tabs.
    void BuildPF();
    void DrawVolumeBars();
    void BuildLineBreak();
    void BuildCandles();
    void SetCandleEndDate();

    void EditExit(QLineEdit *edit, double &field);
    void ReadEditTexts();
    void SetStatusText(const QString &text);
    void SetRulerWidth(int width);
    // Repaints the four strips round the grid.
    void UpdateStrips();

    // The grid's picture moved under the pointer (zoom, a replay step): the cell under it
    // is looked up again.
    void GridPictureChanged();
    void ReplayedChartChanged(int rowShift);
    void StopReplays();
    void ShowReplayBars(bool on);

    void ShowCursorWnd(const QString &text);
    void EnsureCursorWnd();
    void DestroyCursorWnd();

    PFDocument m_doc;
    PFViewState m_view;
    std::unique_ptr<PFStrips> m_strips;
    std::unique_ptr<PFSignalOverlay> m_overlay;
    QPointer<TfReport> m_report;
    CursorWindow *FCursorWnd = nullptr;
    QLabel *m_stbText = nullptr;
    int m_magnitude = 3;
    bool m_shownOnce = false;
    QString m_lastFolder;

    QPointer<TAboutBox> m_aboutBox;
    CandleTabView *m_candleTab = nullptr;
    MainChartExport *m_chartExport = nullptr;
    bool m_inEditExit = false;
    WindowHook m_analysisWindow;
    WindowHook m_indicatorWindow;
    OpenDialogHook m_openDialog;
    ImportPreviewHook m_importPreview;
    QString m_startFile;

    RecentFiles *m_recent = nullptr;
    PFGridZoom *m_zoom = nullptr;
    std::unique_ptr<PFReplayTarget> m_pfReplayTarget;
    std::unique_ptr<LineBreakReplayTarget> m_lineBreakReplayTarget;
    ReplayBar *m_pfReplayBar = nullptr;
    ReplayBar *m_lineBreakReplayBar = nullptr;
};

} // namespace korvala

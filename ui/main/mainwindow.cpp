#include "mainwindow.h"

#include "appmessages.h"
#include "candletab.h"
#include "chartexport.h"
#include "chart.h"
#include "celltext.h"
#include "cursorwindow.h"
#include "importdialog.h"
#include "linebreakview.h"
#include "numtext.h"
#include "texts.h"
#include "pfgeometry.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "pfsignals.h"
#include "reportwindow.h"
#include "quoteimport.h"
#include "aboutbox.h"
#include "chartreplays.h"
#include "pfgridzoom.h"
#include "recentfiles.h"
#include "replaybar.h"
#include "spinedit.h"

#include <QAction>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace korvala {

namespace {

QString FromStd(const std::string &text) { return QString::fromStdString(text); }

QString JoinLines(const std::vector<std::string> &lines)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string &line : lines)
        list.append(FromStd(line));
    return list.join(u'\n');
}

// The hourglass and "Ждите..." while a build runs; the pointer comes back whatever
// happens to the build.
class BusyCursor final
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

constexpr int kDesignWidth = 750;
constexpr int kDesignHeight = 550;
constexpr int kPanel1Width = 185;
constexpr int kGroupBox1Height = 152;
constexpr int kSplitterWidth = pfview::kSplitterWidth;
constexpr int kPb1Height = pfview::kDateStripHeight;
constexpr int kPbHeight = pfview::kVolumeStripHeight;
constexpr int kPbcWidth = pfview::kRulerWidth;
constexpr int kPbc1Width = 10;
constexpr int kStbHeight = 19;
constexpr int kMenuBarHeight = 24;
constexpr int kTimer1Interval = 1000;
constexpr int kDemoCandles = 100;
constexpr int kImportMessageMs = 20000; // how long the status bar says what an import read

// The one local file a drag carries, or an empty text.
QString DraggedFile(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kInitialCaption));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(11);
    setFont(font);
    resize(kDesignWidth, kDesignHeight);
    setWindowIcon(QIcon(ProgramIconPixmap(64)));
    setAcceptDrops(true);

    CreateActions();
    CreateMenu();
    CreateTabs();
    m_chartExport->FollowTabs(PageControl1);

    stb = new QStatusBar(this);
    stb->setObjectName(QStringLiteral("stb"));
    stb->setFixedHeight(kStbHeight);
    stb->setSizeGripEnabled(true);
    m_stbText = new QLabel(stb);
    stb->addWidget(m_stbText, 1);
    setStatusBar(stb);
    WatchMouseMoves(stb);
    WatchMouseMoves(m_stbText);

    CreateOpenDialog(QString());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1Interval);
    connect(Timer1, &QTimer::timeout, this, Guarded(this, &TForm1::Timer1Timer));

    FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

// --- Building the window. ---

void TForm1::CreateActions()
{
    const auto make = [this](const char *name, const QString &menuText, const QString &caption,
                             const QString &category, void (TForm1::*handler)()) {
        auto *action = new QAction(menuText, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setProperty("caption", caption);
        action->setProperty("category", category);
        connect(action, &QAction::triggered, this, Guarded(this, handler));
        return action;
    };
    const QString file = QStringLiteral("Файл");
    const QString chart = QStringLiteral("График");
    const QString help = QStringLiteral("Help");
    Action1 = make("Action1", QStringLiteral("&Open..."), QStringLiteral("Open..."), file,
                   &TForm1::Action1Execute);
    aImport = make("aImport", QStringLiteral("&Import..."), QStringLiteral("Import..."), file,
                   &TForm1::aImportExecute);
    aExit = make("aExit", QStringLiteral("&Exit"), QStringLiteral("Exit"), file,
                 &TForm1::aExitExecute);
    Action2 = make("Action2", QStringLiteral("Action2"), QStringLiteral("Action2"), chart,
                   &TForm1::Action2Execute);
    aIndic = make("aIndic", QStringLiteral("Индикаторы"), QStringLiteral("Индикаторы"), chart,
                  &TForm1::aIndicExecute);
    aRefresh = make("aRefresh", QStringLiteral("&Refersh"), QStringLiteral("Refersh"), chart,
                    &TForm1::aRefreshExecute);
    aAbout = make("aAbout", QStringLiteral("&About..."), QStringLiteral("About..."), help,
                  &TForm1::aAboutExecute);
    aSignals = make("aSignals", QStringLiteral("Сигналы P&&F на графике"),
                    QStringLiteral("Сигналы P&F на графике"), chart, &TForm1::aSignalsExecute);
    aSignals->setCheckable(true);
    aSignalsReport = make("aSignalsReport", QStringLiteral("Отчет по сигналам P&&F"),
                          QStringLiteral("Отчет по сигналам P&F"), chart,
                          &TForm1::aSignalsReportExecute);
    Action1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    aExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    aRefresh->setShortcut(QKeySequence(Qt::Key_F5));

    // The grid's zoom (no rebuild: the magnitude only sizes the cells) and the replays.
    const auto extra = [this, &chart](const char *name, const QString &text, const QString &caption) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setProperty("caption", caption);
        action->setProperty("category", chart);
        return action;
    };
    aZoomIn = extra("aZoomIn", QStringLiteral("Zoom &in"), QStringLiteral("Zoom in"));
    aZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(aZoomIn, &QAction::triggered, this, [this] { RunGuarded([&] { m_zoom->ZoomIn(); }); });
    aZoomOut = extra("aZoomOut", QStringLiteral("Zoom &out"), QStringLiteral("Zoom out"));
    aZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(aZoomOut, &QAction::triggered, this, [this] { RunGuarded([&] { m_zoom->ZoomOut(); }); });
    aZoomFit = extra("aZoomFit", QStringLiteral("&Fit chart"), QStringLiteral("Fit chart"));
    aZoomFit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(aZoomFit, &QAction::triggered, this, [this] { RunGuarded([&] { m_zoom->Fit(); }); });
    aReplay = extra("aReplay", QStringLiteral("Re&play"), QStringLiteral("Replay"));
    aReplay->setCheckable(true);
    connect(aReplay, &QAction::toggled, this, Guarded(this, &TForm1::ShowReplayBars));
}

void TForm1::CreateMenu()
{
    ActionMainMenuBar1 = new QMenuBar(this);
    ActionMainMenuBar1->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    QFont menuFont(QStringLiteral("Tahoma"));
    menuFont.setPointSize(8);
    menuFont.setPixelSize(11);
    ActionMainMenuBar1->setFont(menuFont);
    ActionMainMenuBar1->setMinimumHeight(kMenuBarHeight);
    QPalette pal = ActionMainMenuBar1->palette();
    pal.setColor(QPalette::Highlight, QColor(226, 225, 219));
    pal.setColor(QPalette::HighlightedText, Qt::black);
    ActionMainMenuBar1->setPalette(pal);

    QMenu *file = ActionMainMenuBar1->addMenu(QStringLiteral("&File"));
    file->addAction(Action1);
    file->addAction(aImport);
    mnRecent = file->addMenu(QStringLiteral("Recent &files"));
    mnRecent->setObjectName(QStringLiteral("mnRecent"));
    mnRecent->menuAction()->setObjectName(QStringLiteral("aRecent"));
    mnRecent->menuAction()->setProperty("caption", QStringLiteral("Recent files"));
    mnRecent->menuAction()->setProperty("category", QStringLiteral("Файл"));
    m_recent = new RecentFiles(mnRecent, this);
    connect(m_recent, &RecentFiles::OpenRequested, this, Guarded(this, &TForm1::OpenRecentFile));
    file->addSeparator();
    m_chartExport = new MainChartExport(*this);
    m_chartExport->AddTo(file);
    file->addSeparator();
    file->addAction(aExit);
    QMenu *chart = ActionMainMenuBar1->addMenu(QStringLiteral("&Chart"));
    chart->addAction(Action2);
    chart->addAction(aIndic);
    chart->addSeparator();
    chart->addAction(aRefresh);
    chart->addSeparator();
    chart->addAction(aSignals);
    chart->addAction(aSignalsReport);
    chart->addSeparator();
    chart->addAction(aZoomIn);
    chart->addAction(aZoomOut);
    chart->addAction(aZoomFit);
    chart->addSeparator();
    chart->addAction(aReplay);
    QMenu *help = ActionMainMenuBar1->addMenu(QStringLiteral("&Help"));
    help->addAction(aAbout);
    for (QMenu *menu : {file, chart, help})
        menu->setFont(menuFont);
    setMenuBar(ActionMainMenuBar1);
}

void TForm1::CreateTabs()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(false);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto *pfLayout = new QVBoxLayout(TabSheet1);
    pfLayout->setContentsMargins(2, 2, 2, 2);
    Splitter1 = new QSplitter(Qt::Horizontal, TabSheet1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(CreateParametersPanel());
    Splitter1->addWidget(CreateDrawingPanel());
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kPanel1Width, kDesignWidth - kPanel1Width});
    pfLayout->addWidget(Splitter1, 1);
    m_pfReplayTarget = std::make_unique<PFReplayTarget>(
        m_doc, [this](int rowShift) { ReplayedChartChanged(rowShift); });
    m_pfReplayBar = new ReplayBar(m_doc.QuoteList, *m_pfReplayTarget, TabSheet1);
    m_pfReplayBar->setObjectName(QStringLiteral("PFReplayBar"));
    m_pfReplayBar->hide();
    pfLayout->addWidget(m_pfReplayBar);
    PageControl1->addTab(TabSheet1, QStringLiteral("P && F"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("3 line breaking"));

    ts_Candle = new QWidget;
    ts_Candle->setObjectName(QStringLiteral("ts_Candle"));
    PageControl1->addTab(ts_Candle, QStringLiteral("Candle"));

    tbCommon = new QWidget;
    tbCommon->setObjectName(QStringLiteral("tbCommon"));
    auto *commonLayout = new QVBoxLayout(tbCommon);
    commonLayout->setContentsMargins(0, 0, 0, 0);
    mm_Common = new QPlainTextEdit(tbCommon);
    mm_Common->setObjectName(QStringLiteral("mm_Common"));
    mm_Common->setLineWrapMode(QPlainTextEdit::NoWrap);
    mm_Common->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mm_Common->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commonLayout->addWidget(mm_Common);
    PageControl1->addTab(tbCommon, QStringLiteral("Общие показатели"));

    PageControl1->setCurrentIndex(0);
    setCentralWidget(PageControl1);
}

QWidget *TForm1::CreateParametersPanel()
{
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(60);
    auto *layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    GroupBox1 = new QGroupBox(QStringLiteral("Parameters"), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(kGroupBox1Height);
    auto *grid = new QGridLayout(GroupBox1);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    eBox = new QLineEdit(QStringLiteral("1"), GroupBox1);
    eBox->setObjectName(QStringLiteral("eBox"));
    eReverse = new QLineEdit(QStringLiteral("3"), GroupBox1);
    eReverse->setObjectName(QStringLiteral("eReverse"));
    Button1 = new QPushButton(aRefresh->property("caption").toString(), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, aRefresh, &QAction::trigger);
    SpinEdit1 = new SettlingSpinBox(GroupBox1);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(pfview::kMinMagnitude, pfview::kMaxMagnitude);
    SpinEdit1->setValue(pfview::kDefaultMagnitude);
    chkHintShow = new QCheckBox(QStringLiteral("курсорное окно"), GroupBox1);
    chkHintShow->setObjectName(QStringLiteral("chkHintShow"));
    chkHintShow->setChecked(true);

    auto *boxLabel = new QLabel(QStringLiteral("BOX"), GroupBox1);
    boxLabel->setBuddy(eBox);
    auto *reverseLabel = new QLabel(QStringLiteral("REVERSAL"), GroupBox1);
    reverseLabel->setBuddy(eReverse);
    auto *magnitudeLabel = new QLabel(QStringLiteral("Magnitude"), GroupBox1);
    magnitudeLabel->setBuddy(SpinEdit1);
    grid->addWidget(boxLabel, 0, 0);
    grid->addWidget(eBox, 0, 1);
    grid->addWidget(reverseLabel, 1, 0);
    grid->addWidget(eReverse, 1, 1);
    grid->addWidget(Button1, 2, 0, 1, 2);
    grid->addWidget(magnitudeLabel, 3, 0);
    grid->addWidget(SpinEdit1, 3, 1);
    grid->addWidget(chkHintShow, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    eBox->installEventFilter(this);
    eReverse->installEventFilter(this);
    connect(SpinEdit1, &QSpinBox::textChanged, this, Guarded(this, &TForm1::SpinEdit1Change));
    WatchMouseMoves(GroupBox1);
    WatchMouseMoves(Button1);

    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameShape(QFrame::Panel);
    Panel3->setFrameShadow(QFrame::Sunken);
    auto *memoLayout = new QVBoxLayout(Panel3);
    memoLayout->setContentsMargins(1, 1, 1, 1);
    Memo1 = new QPlainTextEdit(Panel3);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette memoPal = Memo1->palette();
    memoPal.setColor(QPalette::Base, memoPal.color(QPalette::Button));
    Memo1->setPalette(memoPal);
    memoLayout->addWidget(Memo1);
    WatchMouseMoves(Memo1->viewport());

    layout->addWidget(GroupBox1);
    layout->addWidget(Panel3, 1);
    return Panel1;
}

QWidget *TForm1::CreateDrawingPanel()
{
    Panel2 = new QFrame;
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Raised);
    Panel2->setLineWidth(1);
    Panel2->setAutoFillBackground(true);
    QPalette pal = Panel2->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Panel2->setPalette(pal);
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pb1 = new PaintBox(Panel2);
    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setFixedHeight(kPb1Height);
    pb = new PaintBox(Panel2);
    pb->setObjectName(QStringLiteral("pb"));
    pb->setFixedHeight(kPbHeight);

    Splitter3 = new QSplitter(Qt::Horizontal, Panel2);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    Splitter3->setHandleWidth(kSplitterWidth);
    Splitter3->setChildrenCollapsible(false);
    pbc = new PaintBox(Splitter3);
    pbc->setObjectName(QStringLiteral("pbc"));
    pbc->setMinimumWidth(1);
    auto *middle = new QWidget(Splitter3);
    auto *middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    sg = new PFGridView(middle);
    sg->setObjectName(QStringLiteral("sg"));
    sg->SetGrid(&m_doc.sg);
    pbc1 = new PaintBox(middle);
    pbc1->setObjectName(QStringLiteral("pbc1"));
    pbc1->setFixedWidth(kPbc1Width);
    middleLayout->addWidget(sg, 1);
    middleLayout->addWidget(pbc1);
    Splitter3->addWidget(pbc);
    Splitter3->addWidget(middle);
    Splitter3->setStretchFactor(0, 0);
    Splitter3->setStretchFactor(1, 1);
    Splitter3->setSizes({kPbcWidth, 400});

    layout->addWidget(pb1);
    layout->addWidget(Splitter3, 1);
    layout->addWidget(pb);

    m_strips = std::make_unique<PFStrips>(m_view, m_doc, *sg);
    m_overlay = std::make_unique<PFSignalOverlay>(m_doc);
    pb->SetOnPaint([this](QPainter &p) { pbPaint(p); });
    pb1->SetOnPaint([this](QPainter &p) { pb1Paint(p); });
    pbc->SetOnPaint([this](QPainter &p) { pbcPaint(p); });
    pbc1->SetOnPaint([this](QPainter &p) { pbc1Paint(p); });
    for (QWidget *strip : {static_cast<QWidget *>(pb), static_cast<QWidget *>(pb1),
                           static_cast<QWidget *>(pbc), static_cast<QWidget *>(pbc1)})
        WatchMouseMoves(strip);

    connect(sg, &PFGridView::MouseMoved, this, Guarded(this, &TForm1::sgMouseMove));
    connect(sg, &PFGridView::TopLeftChanged, this, Guarded(this, &TForm1::sgTopLeftChanged));
    m_zoom = new PFGridZoom(sg);
    connect(m_zoom, &PFGridZoom::MagnitudeChanged, this, [this](int magnitude) {
        RunGuarded([&] {
            SetMagnitude(magnitude);
            GridPictureChanged();
        });
    });
    return Panel2;
}

void TForm1::CreateOpenDialog(const QString &folder)
{
    delete od;
    od = new QFileDialog(this, QStringLiteral("Открыть котировку"), folder);
    od->setObjectName(QStringLiteral("od"));
    od->setFileMode(QFileDialog::ExistingFile);
    od->setAcceptMode(QFileDialog::AcceptOpen);
}

void TForm1::WatchMouseMoves(QWidget *control)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

// --- The window's life. ---

void TForm1::FormCreate()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        PlaceWindow(screen->geometry().size());
    m_view = PFViewState{};
    FCursorWnd = nullptr;
    // The chart tabs show demonstration candles until the first build.
    CreateLineBreakChart();
    CreateCandleTab();
}

void TForm1::CreateLineBreakChart()
{
    auto *layout = new QVBoxLayout(TabSheet2);
    layout->setContentsMargins(0, 0, 0, 0);
    LineBreakChart = new chart::Chart(TabSheet2);
    LineBreakChart->setObjectName(QStringLiteral("LineBreakChart"));
    LineBreakChart->SetView3D(false);
    layout->addWidget(LineBreakChart, 1);
    LineBreakSeries = LineBreakChart->AddCandleSeries(QStringLiteral("LineBreakSeries"));
    LineBreakSeries->FillSampleValues(kDemoCandles);
    m_lineBreakReplayTarget = std::make_unique<LineBreakReplayTarget>(m_doc.QuoteList, *LineBreakSeries);
    m_lineBreakReplayBar = new ReplayBar(m_doc.QuoteList, *m_lineBreakReplayTarget, TabSheet2);
    m_lineBreakReplayBar->setObjectName(QStringLiteral("LineBreakReplayBar"));
    m_lineBreakReplayBar->setVisible(aReplay->isChecked());
    layout->addWidget(m_lineBreakReplayBar);
}

void TForm1::CreateCandleTab()
{
    auto *layout = new QVBoxLayout(ts_Candle);
    layout->setContentsMargins(0, 0, 0, 0);
    m_candleTab = new CandleTabView(m_doc.QuoteList, ts_Candle);
    m_candleTab->setObjectName(QStringLiteral("CandleTab"));
    layout->addWidget(m_candleTab);
}

void TForm1::PlaceWindow(QSize screen)
{
    const QRect r = pfview::MainWindowRect(screen.width(), screen.height());
    resize(r.size());
    move(r.topLeft());
}

void TForm1::FormShow()
{
    if (!m_startFile.isEmpty()) {
        const QString path = std::exchange(m_startFile, QString());
        try {
            OpenAnyQuoteFile(path);
        } catch (const std::exception &error) {
            ShowStandardError(error.what()); // then the open dialog, as without a file
        }
    }
    if (m_doc.QuoteList.Count() == 0)
        Action1->trigger();
}

void TForm1::FormDeactivate() { DestroyCursorWnd(); }

void TForm1::FormDestroy()
{
    StopReplays();
    DestroyCursorWnd();
    Timer1->stop();
    delete m_candleTab;
    m_candleTab = nullptr;
    if (LineBreakChart) {
        LineBreakChart->RemoveSeries(LineBreakSeries);
        LineBreakSeries = nullptr;
    }
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !m_shownOnce) {
        m_shownOnce = true;
        // The window is painted first, then the open dialog comes up over it.
        QTimer::singleShot(0, this, Guarded(this, &TForm1::FormShow));
    }
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Only another window of the program taking over counts, not another program.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()
        && QApplication::activeWindow() != nullptr)
        FormDeactivate();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == pbc) {
        // The right strip takes the left ruler's width, however the ruler got it.
        pbc1->setFixedWidth(pbc->width());
    } else if (event->type() == QEvent::MouseMove && watched != eBox && watched != eReverse) {
        RunGuarded([this] { Memo1MouseMove(); });
    } else if (event->type() == QEvent::FocusOut && (watched == eBox || watched == eReverse)) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Leaving the edit for another control of the window, not the window itself.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            RunGuarded([this, watched] { watched == eBox ? eBoxExit() : eReverseExit(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Actions. ---

void TForm1::Action1Execute()
{
    QString path;
    if (m_openDialog) {
        path = m_openDialog();
    } else {
        // A fresh dialog each time: an empty name field in the folder of the last choice.
        CreateOpenDialog(m_lastFolder);
        const bool accepted = od->exec() == QDialog::Accepted;
        // A completion list still open under the name field must not outlive the dialog.
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        if (accepted && !od->selectedFiles().isEmpty()) {
            path = od->selectedFiles().constFirst();
            m_lastFolder = od->directory().absolutePath();
        }
    }
    if (path.isEmpty())
        return;
    OpenQuoteFile(path);
}

void TForm1::OpenQuoteFile(const QString &path)
{
    // An open that fails changes nothing: the file that was open stays in every window
    // (only a replay ends).
    StopReplays();
    m_doc.OpenFile(path.toStdString());
    Opened(path);
}

void TForm1::aImportExecute()
{
    QString path;
    if (m_openDialog) {
        path = m_openDialog();
    } else {
        QFileDialog dialog(this, QStringLiteral("Импорт котировки"), m_lastFolder);
        dialog.setObjectName(QStringLiteral("odImport"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            path = dialog.selectedFiles().constFirst();
            m_lastFolder = dialog.directory().absolutePath();
        }
    }
    if (!path.isEmpty())
        ImportQuoteFile(path);
}

void TForm1::ImportQuoteFile(const QString &path)
{
    ImportBytes(path, ReadWholeFile(path.toStdString()), true);
}

void TForm1::OpenAnyQuoteFile(const QString &path)
{
    std::string bytes = ReadWholeFile(path.toStdString());
    TFList native;
    native.SetLevelDepth(m_doc.QuoteList.LevelDepth);
    if (IsNativeQuoteFile(bytes, &native)) {
        bytes = std::string();
        StopReplays();
        m_doc.OpenLoaded(path.toStdString(), native);
        Opened(path);
        return;
    }
    ImportBytes(path, std::move(bytes), false);
}

bool TForm1::PreviewAccepted(ImportDialog &dialog)
{
    if (m_importPreview)
        return m_importPreview(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TForm1::ImportBytes(const QString &path, std::string bytes, bool alwaysPreview)
{
    const QString name = QFileInfo(path).fileName();
    TFList loaded;
    loaded.SetLevelDepth(m_doc.QuoteList.LevelDepth);
    ImportResult result;
    ImportOptions options;
    if (alwaysPreview) {
        ImportDialog dialog(this, bytes, name);
        if (!PreviewAccepted(dialog))
            return;
        options = dialog.Options();
    }
    result = ImportQuotes(bytes, loaded, options);
    if (!alwaysPreview && result.Uncertain()) {
        ImportDialog dialog(this, bytes, name);
        if (!PreviewAccepted(dialog))
            return;
        options = dialog.Options();
        if (options.separator || options.decimalMark || options.dateOrder != DateOrder::Auto)
            result = ImportQuotes(bytes, loaded, options);
    }
    bytes = std::string(); // the file's bytes go before the rest of the open
    // A failed import has changed nothing; from here on it is an open like any other.
    StopReplays();
    m_doc.OpenLoaded(path.toStdString(), loaded);
    Opened(path);
    stb->showMessage(FromStd(result.Description()), kImportMessageMs);
}

bool TForm1::FormDragOver(const QMimeData &mime) const { return !DraggedFile(mime).isEmpty(); }

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData() && FormDragOver(*event->mimeData()))
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    if (!event->mimeData())
        return;
    event->acceptProposedAction();
    // The drop ends before the file opens: the source's drag is not held up by the load,
    // nor by a preview or a message.
    const QString path = DraggedFile(*event->mimeData());
    if (!path.isEmpty())
        QTimer::singleShot(0, this, [this, path] { OpenAnyQuoteFile(path); });
}

void TForm1::Opened(const QString &path)
{
    m_recent->Add(path);
    m_pfReplayBar->QuotesChanged();
    m_lineBreakReplayBar->QuotesChanged();
    // The quotes are new: nothing under the pointer belongs to them yet, and the signals
    // of the grid on screen wait for its rebuild.
    m_overlay->Forget();
    m_view.FCellQuote = nullptr;
    m_view.FColumnRec.reset();
    m_view.FCellX = PFViewState::kNoCell;
    m_view.FCellY = PFViewState::kNoCell;
    sg->viewport()->update();
    UpdateStrips();
    eBox->setText(FromStd(m_doc.eBox));
    eReverse->setText(FromStd(m_doc.eReverse));
    Memo1->setPlainText(JoinLines(m_doc.Memo1));
    setWindowTitle(FromStd(m_doc.Caption));
    if (m_doc.QuoteList.Count() > 0)
        SetCandleEndDate();
    m_doc.ShowCommonInfo();
    mm_Common->setPlainText(JoinLines(m_doc.mm_Common));
    aRefresh->trigger();
}

void TForm1::aExitExecute() { close(); }

void TForm1::SetReportWindow(TfReport *report) { m_report = report; }

void TForm1::aSignalsExecute() { sg->SetOverlay(aSignals->isChecked() ? m_overlay.get() : nullptr); }

void TForm1::aSignalsReportExecute()
{
    if (!m_report)
        return;
    m_report->SetLines(SignalsReport(m_overlay->Signals()));
    m_report->ShowModal();
}

void TForm1::Action2Execute()
{
    if (m_analysisWindow)
        m_analysisWindow(m_doc.QuoteList);
}

void TForm1::aIndicExecute()
{
    if (m_indicatorWindow)
        m_indicatorWindow(m_doc.QuoteList);
}

void TForm1::aAboutExecute()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

void TForm1::aRefreshExecute()
{
    DestroyCursorWnd();
    Hint.clear();
    ReadEditTexts();
    if (!m_doc.ReadParams())
        return;
    StopReplays();
    BuildPF();
    DrawVolumeBars();
    BuildLineBreak();
    BuildCandles();
}

void TForm1::SpinEdit1Change(const QString &text)
{
    const std::optional<int> magnitude = pfview::MagnitudeFromText(text.toStdString());
    if (!magnitude)
        return;
    m_magnitude = *magnitude;
    sg->SetCellSize(m_magnitude);
    aRefresh->trigger();
}

// --- Refresh's steps. ---

void TForm1::BuildPF()
{
    SetStatusText(QString::fromUtf8(kBusyText));
    stb->repaint();
    const BusyCursor busy;
    const auto shown = qScopeGuard([this] {
        // A new grid: nothing of the earlier one survives, even after a failure.
        sg->SetGrid(&m_doc.sg);
        m_overlay->BuildDone();
        sg->ResetView(m_magnitude);
        // The view opens on the latest data, as a chart is read.
        sg->ShowLatest();
        Memo1->setPlainText(JoinLines(m_doc.Memo1));
        SetStatusText(FromStd(m_doc.stb));
        UpdateStrips();
    });
    // ReadParams has passed: the document's Refresh goes on to BuildPF.
    m_doc.Refresh();
}

void TForm1::DrawVolumeBars() { pb->update(); }

void TForm1::BuildLineBreak() { FillLineBreakSeries(*LineBreakSeries, m_doc.QuoteList); }

void TForm1::BuildCandles() { m_candleTab->RefreshCandles(); }

void TForm1::SetCandleEndDate()
{
    m_candleTab->SetEndDateAndApply(m_doc.QuoteList.Items(m_doc.LastQuoteIndex())->DateTime);
}

// --- Parameters. ---

void TForm1::ReadEditTexts()
{
    m_doc.eBox = eBox->text().toStdString();
    m_doc.eReverse = eReverse->text().toStdString();
}

void TForm1::EditExit(QLineEdit *edit, double &field)
{
    // The focus going back to one edit must not check the other in turn.
    if (m_inEditExit)
        return;
    const QScopedValueRollback<bool> guard(m_inEditExit, true);
    const EditCheck check = CheckParamEdit(edit->text().toStdString());
    if (check.ok) {
        field = check.value;
        return;
    }
    ShowAppMessage(this, FromStd(check.message));
    edit->setFocus(Qt::OtherFocusReason);
}

void TForm1::eBoxExit() { EditExit(eBox, m_doc.FBox); }

void TForm1::eReverseExit() { EditExit(eReverse, m_doc.FReverse); }

void TForm1::SetStatusText(const QString &text) { m_stbText->setText(text); }

QString TForm1::StatusText() const { return m_stbText->text(); }

// --- The grid and its strips. ---

void TForm1::sgMouseMove(int x, int y)
{
    m_view.FCellX = PFViewState::kNoCell;
    m_view.FCellY = PFViewState::kNoCell;
    const QPoint cell = sg->MouseCoord(x, y);
    const int c = cell.x();
    const int r = cell.y();
    if (c >= 0 && c < sg->ColCount() && r >= 0 && r < sg->RowCount()
        && m_doc.FColumns.Count() > 0) {
        m_view.FColumnRec = m_doc.FColumns.Share(c);
        m_view.FCellQuote = m_doc.QuoteList.Items(m_doc.sg.CellQuote(c, r));
        sg->SetCol(c);
        sg->SetRow(r);
        const QRect rect = sg->CellRect(c, r);
        m_view.FCellX = rect.left();
        m_view.FCellY = rect.top();
        if (chkHintShow->isChecked()) {
            Hint = CellText();
            if (Hint.isEmpty() && c < m_doc.FColumns.Count() && m_view.FColumnRec)
                Hint = FromStd(ColumnText(*m_view.FColumnRec));
            // With the signals shown, the box of a breakout tells which.
            if (const PFSignal *signal = aSignals->isChecked() ? m_overlay->SignalAt(c, r) : nullptr)
                Hint = FromStd(WithSignalText(Hint.toStdString(), *signal));
            if (!Hint.isEmpty())
                ShowCursorWnd(Hint);
        }
    }
    // The left ruler grows now, before it paints, when the closing price needs more room.
    SetRulerWidth(m_strips->RulerWidthFor(pbc->width(), pbc->font()));
    UpdateStrips();
}

void TForm1::UpdateStrips()
{
    pb->update();
    pb1->update();
    pbc->update();
    pbc1->update();
}

QString TForm1::CellText() const { return FromStd(korvala::CellText(m_view.FCellQuote)); }

void TForm1::sgTopLeftChanged() { pb->update(); }

void TForm1::pbPaint(QPainter &painter) { m_strips->pbPaint(painter, pb->size(), pbc->width()); }

void TForm1::pb1Paint(QPainter &painter) { m_strips->pb1Paint(painter, pbc->width()); }

void TForm1::pbcPaint(QPainter &painter) { m_strips->pbcPaint(painter, pbc->size()); }

void TForm1::pbc1Paint(QPainter &painter) { m_strips->pbc1Paint(painter, pbc1->size()); }

void TForm1::SetRulerWidth(int width)
{
    QList<int> sizes = Splitter3->sizes();
    if (sizes.size() != 2 || sizes[0] == width)
        return;
    const int total = sizes[0] + sizes[1];
    Splitter3->setSizes({width, std::max(0, total - width)});
}

void TForm1::Memo1MouseMove() { DestroyCursorWnd(); }

// --- The cursor window. ---

void TForm1::EnsureCursorWnd()
{
    if (!FCursorWnd)
        FCursorWnd = new CursorWindow(this);
}

void TForm1::DestroyCursorWnd()
{
    delete FCursorWnd;
    FCursorWnd = nullptr;
}

void TForm1::ShowCursorWnd(const QString &text)
{
    EnsureCursorWnd();
    const QPoint pointer = QCursor::pos();
    const int margin = CursorHeightMargin(sg->viewport()->cursor());
    const int limitY = mapToGlobal(QPoint(0, sg->height())).y();
    QRect rect = pfview::CursorWndRect(pointer, margin, FCursorWnd->MaxLineWidth(text),
                                       pfview::LineCount(text), FCursorWnd->LineHeight(), limitY);
    const QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        rect = pfview::ClampToDesktop(rect, screen->geometry());
    FCursorWnd->ShowText(text, rect);
    if (!Timer1->isActive())
        Timer1->start();
}

void TForm1::Timer1Timer()
{
    if (!FCursorWnd)
        return;
    const QPoint p = sg->viewport()->mapFromGlobal(QCursor::pos());
    const int w = sg->VisibleColCount() * sg->DefaultColWidth();
    const int h = sg->VisibleRowCount() * sg->DefaultRowHeight();
    if (p.x() < 0 || p.y() < 0 || p.x() > w || p.y() > h)
        DestroyCursorWnd();
}

// --- Zoom, replays, recent files. ---

void TForm1::SetMagnitude(int magnitude)
{
    m_magnitude = std::clamp(magnitude, pfview::kMinMagnitude, pfview::kMaxMagnitude);
    {
        const QSignalBlocker quiet(SpinEdit1);
        SpinEdit1->setValue(m_magnitude);
    }
    if (sg->DefaultColWidth() != m_magnitude)
        sg->SetCellSize(m_magnitude);
}

void TForm1::GridPictureChanged()
{
    const QPoint p = sg->viewport()->mapFromGlobal(QCursor::pos());
    if (sg->viewport()->rect().contains(p)) {
        sgMouseMove(p.x(), p.y());
        return;
    }
    m_view.FCellX = PFViewState::kNoCell;
    m_view.FCellY = PFViewState::kNoCell;
    UpdateStrips();
}

void TForm1::ReplayedChartChanged(int rowShift)
{
    // The records and cells under the pointer may be gone from the chart shown now.
    m_view.FCellQuote = nullptr;
    m_view.FColumnRec.reset();
    // The signals are those of the chart shown, found again when asked for.
    m_overlay->BuildDone();
    const pfview::GridMetrics before = sg->Metrics();
    sg->SetGrid(&m_doc.sg);
    const int newest = m_doc.sg.ColCount - 1;
    const int reached = m_doc.sg.ColumnMark(newest) == PFGrid::kMarkX ? m_doc.sg.FirstRow(newest)
                                                                       : m_doc.sg.LastRow(newest);
    const QPoint topLeft = pfview::ReplayTopLeft(before, m_doc.sg.ColCount, m_doc.sg.RowCount,
                                                 rowShift, reached);
    sg->SetLeftCol(topLeft.x());
    sg->SetTopRow(topLeft.y());
    GridPictureChanged();
}

void TForm1::StopReplays()
{
    m_pfReplayBar->Stop();
    m_lineBreakReplayBar->Stop();
}

void TForm1::ShowReplayBars(bool on)
{
    if (!on)
        StopReplays();
    m_pfReplayBar->setVisible(on);
    if (m_lineBreakReplayBar)
        m_lineBreakReplayBar->setVisible(on);
}

void TForm1::OpenRecentFile(const QString &path)
{
    if (QFileInfo::exists(path)) {
        OpenAnyQuoteFile(path);
        return;
    }
    m_recent->Remove(path);
    ShowAppMessage(this, QStringLiteral("The file \"%1\" no longer exists; it has been removed "
                                        "from the recent files.")
                             .arg(QDir::toNativeSeparators(path)),
                   QMessageBox::Information);
}

} // namespace korvala

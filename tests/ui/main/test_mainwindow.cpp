// The main window wires the document (whose open sequence, rules and texts are the model's
// tests) to its controls: start-up, menu, the open, the parameter checks, Refresh, the
// magnitude, the view of the grid, the cursor window and the strips, the standard error
// message for a bad file, the signals, the shortcuts, and the ways in for files written
// elsewhere (File / Import..., a dropped file, a file on the command line).

#include "guiapp.h"
#include "pixels.h"

#include "candletab.h"
#include "celltext.h"
#include "chart.h"
#include "cursorwindow.h"
#include "importdialog.h"
#include "linebreak.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "pfsignals.h"
#include "pfstrips.h"
#include "mainwindow.h"
#include "reportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

using test::ExamplePath;

class MainWindowTest : public ::testing::Test
{
protected:
    void Open(const std::string &path) { form->OpenQuoteFile(QString::fromStdString(path)); }

    void Hover(int c, int r = -1) { test::Hover(*form, c, r); }

    // The row of the last box of column c: the top of a rising column, the bottom of a
    // falling one (which may reach the row below the drawn grid).
    int LastBox(int c) const
    {
        const PFDocument &doc = form->Document();
        const std::size_t i = static_cast<std::size_t>(c);
        const int row = doc.FColumns.Items(c)->Direction == 1 ? doc.FColTopRow[i] : doc.FColBottomRow[i];
        return std::min(row, doc.sg.RowCount - 1);
    }
    bool InView(int c, int r) const
    {
        const PFGridView &g = *form->sg;
        return c >= g.LeftCol() && c < g.LeftCol() + g.VisibleColCount() && r >= g.TopRow()
            && r < g.TopRow() + g.VisibleRowCount();
    }

    int dialogs = 0;
    std::unique_ptr<TForm1> form = test::ShownMainWindow({}, &dialogs);
    test::MessageRecorder recorder;
};

// Pixels of a strip that the pointer leaves there: the cross line, the column band (fill
// or line), dark text.
int PointerPixels(QWidget *strip)
{
    return test::CountPixels(strip->grab().toImage(), [](const QColor &c) {
        return c == PFStrips::kCrossColor || c == PFStrips::kRiseBandFill || c == PFStrips::kFallBandFill
               || c == PFStrips::kRiseBandLine || c == PFStrips::kFallBandLine || c.lightness() < 100;
    });
}

} // namespace

TEST_F(MainWindowTest, StartsWithTheOpenDialogAnEmptyWindowItsMenusAndTabs)
{
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(QRect(form->pos(), form->size()), QRect(128, 96, 768, 576));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Корвала, ver 0.0.1 alfa"));
    EXPECT_EQ(form->eBox->text() + form->eReverse->text(), QStringLiteral("13"));
    EXPECT_EQ(form->SpinEdit1->value(), 3);
    EXPECT_TRUE(form->chkHintShow->isChecked());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    // Both chart tabs show 100 demonstration candles; only the line-break chart a legend.
    EXPECT_EQ(form->LineBreakSeries->Count() + form->CandleTab()->Series()->Count(), 200);
    EXPECT_TRUE(form->LineBreakChart->LegendVisible());
    EXPECT_FALSE(form->CandleTab()->Chart()->LegendVisible());

    QString menus; // per menu its text, then its items' ("-" for a separator)
    for (QAction *menu : form->ActionMainMenuBar1->actions()) {
        menus += menu->text() + QLatin1Char(':');
        for (QAction *a : menu->menu()->actions())
            menus += QLatin1Char(' ') + (a->isSeparator() ? QStringLiteral("-") : a->text());
        menus += QLatin1Char('\n');
    }
    EXPECT_EQ(menus.toStdString(), "&File: &Open... &Import... Recent &files - &Export chart... &Copy chart "
                                   "&Print chart... Print pre&view... - &Exit\n"
                                   "&Chart: Action2 Индикаторы - &Refersh - Сигналы P&&F на графике "
                                   "Отчет по сигналам P&&F - Zoom &in Zoom &out &Fit chart - Re&play\n"
                                   "&Help: &About...\n");
    EXPECT_EQ(form->Button1->text(), QStringLiteral("Refersh"));
    QStringList tabs;
    for (int i = 0; i < form->PageControl1->count(); ++i)
        tabs << form->PageControl1->tabText(i);
    EXPECT_EQ(tabs.join(QLatin1Char('|')).toStdString(), "P && F|3 line breaking|Candle|Общие показатели");
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
}

TEST_F(MainWindowTest, OpeningFillsEveryViewAndTheChartMenuPassesTheQuotes)
{
    const TFList *analysed = nullptr, *indicated = nullptr;
    form->SetAnalysisWindowHook([&](TFList &quotes) { analysed = &quotes; });
    form->SetIndicatorWindowHook([&](TFList &quotes) { indicated = &quotes; });
    Open(ExamplePath("daily.txt"));
    const PFDocument &doc = form->Document();
    const TFList &quotes = doc.QuoteList;
    EXPECT_EQ(form->windowTitle().toStdString(), doc.Caption);
    EXPECT_EQ(form->eBox->text().toStdString() + form->eReverse->text().toStdString(), doc.eBox + doc.eReverse);
    EXPECT_EQ(form->Memo1->toPlainText().section(u'\n', 0, 0).toStdString(), doc.Memo1.front());
    EXPECT_EQ(form->mm_Common->toPlainText().section(u'\n', 0, 0).toStdString(), doc.mm_Common.front());
    EXPECT_EQ(form->StatusText(), QStringLiteral("Количество периодов = 600"));
    EXPECT_EQ(form->sg->ColCount(), doc.FColumns.Count());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the hourglass is gone
    // The line-break bricks replace the demonstration candles, at consecutive positions.
    const int bricks = static_cast<int>(BuildLineBreakBricks(quotes).size());
    EXPECT_EQ(form->LineBreakSeries->Count(), bricks);
    EXPECT_EQ(form->LineBreakSeries->At(bricks - 1).x, bricks - 1);
    // The candle tab ends with the last quote.
    const chart::CandleSeries &candles = *form->CandleTab()->Series();
    EXPECT_EQ(candles.At(candles.Count() - 1).x, quotes.Items(quotes.Count() - 1)->DateTime);
    form->Action2->trigger();
    form->aIndic->trigger();
    EXPECT_EQ(analysed, &quotes);
    EXPECT_EQ(indicated, &quotes);
}

// A history larger than the view: it stands on the newest column and its last box, not
// on the top-left corner (empty for a rising history); Home and End jump.
TEST_F(MainWindowTest, EachBuildShowsTheNewestColumnWithItsLastBoxHomeAndEndJump)
{
    form->SpinEdit1->setValue(12);
    Open(ExamplePath("intraday.txt"));
    const PFGridView &g = *form->sg;
    const int last = g.ColCount() - 1;
    ASSERT_GT(last + 1, g.VisibleColCount()); // more columns than the view holds
    EXPECT_TRUE(InView(last, LastBox(last)));
    EXPECT_EQ(g.LeftCol() + g.VisibleColCount() - 1, last); // at the right edge
    EXPECT_EQ(g.Col() + g.Row(), 0);                        // the current cell stays

    // The window grows: the view keeps to the latest data.
    form->resize(form->width() + 250, form->height() + 150);
    QCoreApplication::processEvents();
    EXPECT_TRUE(InView(last, LastBox(last)));
    EXPECT_EQ(g.LeftCol() + g.VisibleColCount() - 1, last);

    // Home and End: the first or the last column at its last box.
    form->sg->setFocus();
    QTest::keyClick(form->sg, Qt::Key_Home);
    EXPECT_EQ(std::make_pair(g.Col(), g.Row()), std::make_pair(0, LastBox(0)));
    EXPECT_TRUE(InView(0, LastBox(0)));
    QTest::keyClick(form->sg, Qt::Key_End);
    EXPECT_EQ(std::make_pair(g.Col(), g.Row()), std::make_pair(last, LastBox(last)));
    EXPECT_TRUE(InView(last, LastBox(last)));
    // Once the user has moved the view, a new size leaves it where it is; a rebuild brings
    // the latest data back.
    QTest::keyClick(form->sg, Qt::Key_Home);
    form->resize(form->width() - 100, form->height() - 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(g.LeftCol(), 0);
    form->aRefresh->trigger();
    EXPECT_TRUE(InView(last, LastBox(last)));
}

// Opening another file drops the column under the pointer: nothing of the old file stays
// on the rulers and the date strip. Refresh of the same file keeps it.
TEST_F(MainWindowTest, AnotherFileLeavesNothingOfTheOldColumnRefreshKeepsIt)
{
    form->SpinEdit1->setValue(12);
    Open(ExamplePath("daily.txt"));
    const int c = form->sg->LeftCol() + 1;
    const int emptyRow = LastBox(c) + (form->Document().FColumns.Items(c)->Direction == 1 ? -1 : 1);
    Hover(c, emptyRow); // an empty cell of the column: its band and period
    ASSERT_NE(form->ViewState().FColumnRec, nullptr);
    for (QWidget *strip : {form->pbc, form->pbc1, form->pb})
        EXPECT_GT(PointerPixels(strip), 0) << strip->objectName().toStdString();
    const std::shared_ptr<const TFPoint> record = form->ViewState().FColumnRec;
    form->aRefresh->trigger();
    EXPECT_EQ(form->ViewState().FColumnRec, record);

    Open(ExamplePath("intraday.txt"));
    EXPECT_EQ(form->ViewState().FColumnRec, nullptr);
    for (QWidget *strip : {form->pbc, form->pbc1, form->pb1})
        EXPECT_EQ(PointerPixels(strip), 0) << strip->objectName().toStdString();
}

// The check's rule and texts are the model's; here the message, the text and value kept,
// and the focus brought back, when the edit is left or tabbed away from.
TEST_F(MainWindowTest, ParameterEditsAreCheckedWhenLeft)
{
    Open(ExamplePath("daily.txt"));
    const double box = form->Document().FBox;
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->eBox->setFocus(Qt::TabFocusReason);
    form->eBox->setText(QStringLiteral("2.5"));
    form->eReverse->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("Неверный формат <2.5>"));
    EXPECT_EQ(form->eBox->text(), QStringLiteral("2.5")); // stays as typed
    EXPECT_EQ(form->Document().FBox, box);                 // the value in force stays
    EXPECT_EQ(QApplication::focusWidget(), form->eBox);    // the focus comes back
    form->eReverse->setText(QStringLiteral("2,"));
    form->eReverseExit();
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(form->Document().FReverse, 2.0);
}

TEST_F(MainWindowTest, RefreshWithATooSmallBoxOnlyRemovesTheCursorWindowTheMagnitudeRebuilds)
{
    Open(ExamplePath("daily.txt"));
    Hover(1);
    ASSERT_NE(form->CursorWnd(), nullptr);
    const long long boxes = form->Document().sg.BoxCount();
    const QString box = form->eBox->text();
    form->eBox->setText(QStringLiteral("0,005"));
    form->aRefresh->trigger();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Hint.isEmpty());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().sg.BoxCount(), boxes);

    // The magnitude rebuilds with larger cells; typing (an empty text) changes nothing.
    form->eBox->setText(box);
    form->sg->SetCol(3);
    form->SpinEdit1Change(QString());
    EXPECT_EQ(form->sg->Col(), 3);
    form->SpinEdit1Change(QStringLiteral("5"));
    EXPECT_EQ(form->sg->DefaultColWidth(), 5);
    EXPECT_EQ(form->sg->DefaultRowHeight(), 5);
    EXPECT_EQ(form->sg->Col(), 0); // rebuilt
}

// The texts of the cursor window are the model's; here where they come from, the pop-up's
// look, and when it goes.
TEST_F(MainWindowTest, TheCursorWindowDescribesTheCellAndGoesWhenThePointerLeavesTheGrid)
{
    const test::QuoteFile file("one.txt", {"01.02.05;10:00;1,5;2;1;1,75;10"});
    Open(file.path);
    // One quote: one "x" box on row 1 of a 2-row grid, holding the quote.
    Hover(0, 1);
    const QString cell =
        QStringLiteral("Cell: 01.02.05 10:00\r\nOpen: 1,500\r\nHigh: 2,000\r\nLow: 1,000\r\nClose: 1,750");
    EXPECT_EQ(form->Hint, cell);
    const CursorWindow *wnd = form->CursorWnd();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(wnd->Text(), cell);
    EXPECT_TRUE(wnd->isVisible() && wnd->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(wnd->palette().color(QPalette::Window), QColor(240, 240, 255));
    EXPECT_TRUE(form->Timer1->isActive());
    // Width: the widest line + 10; height: lines × line height + 9.
    EXPECT_EQ(wnd->size(), QSize(wnd->MaxLineWidth(cell) + 10, wnd->LineHeight() * 5 + 9));
    Hover(0, 0); // the empty cell above it: the column's summary
    EXPECT_EQ(form->Hint.toStdString(), ColumnText(*form->ViewState().FColumnRec));

    Open(ExamplePath("daily.txt"));
    Hover(1);
    const TFPoint *quote = form->ViewState().FCellQuote;
    ASSERT_NE(quote, nullptr);
    // Right of the last column: no cell, the quote and the current cell stay.
    form->sgMouseMove(form->sg->CellRect(form->sg->ColCount() + 2, 0).x(), 1);
    EXPECT_EQ(form->ViewState().FCellX, PFViewState::kNoCell);
    EXPECT_EQ(form->ViewState().FCellQuote, quote);
    EXPECT_EQ(form->sg->Col(), 1);
    // Hints off: the pop-up on screen stays as it is, no new one after a Refresh.
    const QString shown = form->CursorWnd()->Text();
    form->chkHintShow->setChecked(false);
    Hover(2);
    EXPECT_EQ(form->CursorWnd()->Text(), shown);
    EXPECT_NE(form->ViewState().FCellQuote, quote);
    form->aRefresh->trigger();
    Hover(1);
    EXPECT_EQ(form->CursorWnd(), nullptr);
    form->chkHintShow->setChecked(true);

    // It goes when the pointer leaves the grid: the watch timer, the neighbouring controls,
    // another window of the program taking over.
    Hover(1);
    form->Timer1Timer(); // the pointer is still over the cells
    EXPECT_NE(form->CursorWnd(), nullptr);
    QCursor::setPos(form->sg->viewport()->mapToGlobal(QPoint(-5, 5)));
    form->Timer1Timer();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Timer1->isActive()); // never disabled again
    for (QWidget *control : std::initializer_list<QWidget *>{form->pbc, form->Memo1->viewport(), form->stb,
                                                             form->Button1}) {
        Hover(1);
        ASSERT_NE(form->CursorWnd(), nullptr);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &move);
        EXPECT_EQ(form->CursorWnd(), nullptr) << control->objectName().toStdString();
    }
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Hover(1);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(form->CursorWnd(), nullptr);
}

TEST_F(MainWindowTest, TheLeftRulerGrowsForAWideCloseAndTheGridNarrows)
{
    const test::QuoteFile file("wide.txt", {"01.02.05;10:00;12345;12346;12340;12345,678;10"});
    Open(file.path);
    Hover(0, 1);
    const int w = QFontMetrics(form->pbc->font()).horizontalAdvance(QStringLiteral("C: 12 345,678"));
    ASSERT_GT(w, 75);
    // At the mouse move itself, not at a later paint.
    EXPECT_EQ(form->pbc->width(), w + 2);
    EXPECT_EQ(form->pbc1->width(), w + 2);
    // The grid narrowed accordingly: it starts right of the wider ruler and its splitter.
    EXPECT_EQ(form->sg->mapTo(form->Panel2, QPoint(0, 0)).x(), w + 2 + 3 + 1);
}

TEST_F(MainWindowTest, BadFileGivesTheStandardErrorAndTheProgramGoesOn)
{
    Open(ExamplePath("daily.txt"));
    const int columns = form->sg->ColCount();
    const test::QuoteFile bad("bad.txt", {"01.02.05;10:00;12.5;2;1;1,75;10"});
    // Through the event loop, as the menu would run it.
    QMetaObject::invokeMethod(form.get(), [&] { Open(bad.path); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text,
              QStringLiteral("'12.5' is not a valid floating point value.\nbad.txt, line 2"));
    // The file that was open stays.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->QuoteList().Count(), 600);
    EXPECT_EQ(form->sg->ColCount(), columns);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The signals, their texts and their report are the model's; here the switch, the cursor
// window's addition, the report window and the next file.
TEST_F(MainWindowTest, SignalsOverTheGridOnRequestInTheCursorWindowAndAsAReport)
{
    // Box 1, reversal 3: X 100-105, O -101, X -107 (a buy above 105, its box 106 on row 3).
    const test::QuoteFile file("signals.txt", test::FlatQuoteLines({100, 105.5, 100.5, 107.5, 102.5, 106.5, 99.5}));
    Open(file.path);
    form->eBox->setText(QStringLiteral("1"));
    form->eReverse->setText(QStringLiteral("3"));
    form->aRefresh->trigger();
    ASSERT_EQ(form->sg->ColCount(), 6);
    EXPECT_FALSE(form->aSignals->isChecked()); // off at start
    EXPECT_EQ(form->sg->Overlay(), nullptr);
    Hover(2, 3);
    EXPECT_FALSE(form->Hint.contains(QStringLiteral("Buy")));
    form->aSignals->trigger();
    EXPECT_NE(form->sg->Overlay(), nullptr);
    Hover(2, 3);
    EXPECT_TRUE(form->Hint.endsWith(QStringLiteral("\r\nBuy: Double top\r\nPrice: 106,000\r\nDate: 01.12.05 10:03")));

    TfReport report;
    form->SetReportWindow(&report);
    test::WhileModal(report, [&] { form->aSignalsReport->trigger(); },
                     [&] { EXPECT_EQ(report.Lines(), SignalsReport(form->SignalOverlay().Signals())); });

    // The choice stays for the next file; its signals are those of the new grid.
    Open(ExamplePath("daily.txt"));
    EXPECT_NE(form->sg->Overlay(), nullptr);
    EXPECT_EQ(form->SignalOverlay().Signals().ColumnCount, form->sg->ColCount());
    form->aSignals->trigger();
    EXPECT_EQ(form->sg->Overlay(), nullptr);
}

TEST_F(MainWindowTest, ShortcutsShownInTheMenusRunTheirActions)
{
    Open(ExamplePath("daily.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Keys typed into the window, wherever the focus is, run the items.
    form->sg->setFocus();
    QTest::keyClick(form->sg, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 2);
    form->eBox->setText(QStringLiteral("7"));
    QTest::keyClick(form->sg, Qt::Key_F5);
    EXPECT_EQ(form->Document().sg.Box, 7.0);
    // Ctrl+plus (also without Shift, as Ctrl+=), Ctrl+minus and Ctrl+0 zoom the grid.
    QTest::keyClick(form->sg, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(form->sg, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->sg->DefaultColWidth(), 5);
    QTest::keyClick(form->sg, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->SpinEdit1->value(), 4);
    QTest::keyClick(form->sg, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(form->sg->LeftCol(), 0);
    // Ctrl+Q closes the window, which ends the program.
    bool closed = false;
    QObject::connect(form.get(), &TForm1::Closed, [&closed] { closed = true; });
    QTest::keyClick(form->eBox, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->isVisible());
}

namespace {

// What the window shows of an open file, all in one text.
QString Shown(TForm1 &w)
{
    return QStringList{w.windowTitle(), w.eBox->text(), w.eReverse->text(), w.Memo1->toPlainText(),
                       w.mm_Common->toPlainText(), w.StatusText(), QString::number(w.sg->ColCount()),
                       QString::number(w.CandleTab()->Series()->Count())}
        .join(QLatin1Char('|'));
}

// A file under the worked example's name (so the same caption): by default its quotes as a
// data site exports them.
struct ExportedExample final
{
    explicit ExportedExample(const std::string &body =
                                 "<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
                                 "X;1;20051201;100000;10;10.5;9.5;10;100\r\nX;1;20051201;110000;10;13;9.8;12.5;200\r\n"
                                 "X;1;20051201;120000;12.5;13.5;12;13;300\r\nX;1;20051201;130000;13;13.2;9.4;9.5;400\r\n"
                                 "X;1;20051201;140000;9.5;9.7;8.5;9;500\r\nX;1;20051201;150000;9;12.8;8.9;12.6;600\r\n")
        : path(QString::fromStdString(dir.Write("pf_example.txt", body)))
    {
    }
    test::TempDir dir;
    QString path;
};

// The import preview answered with the dates read day first.
bool DayFirst(ImportDialog &dialog)
{
    dialog.cbDates->setCurrentIndex(dialog.cbDates->findData(static_cast<int>(DateOrder::DayMonthYear)));
    return true;
}

QMimeData *Dragged(const QList<QUrl> &urls)
{
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

} // namespace

// File / Import...: the preview, then the very state an open of the native twin gives.
TEST_F(MainWindowTest, ImportPreviewsThenBehavesExactlyAsAnOpen)
{
    Open(test::DataPath("pf_example.txt"));
    const QString opened = Shown(*form);

    const ExportedExample exported;
    Open(ExamplePath("daily.txt"));
    int previews = 0;
    form->SetOpenDialogHook([&] { return exported.path; });
    form->SetImportPreviewHook([&](ImportDialog &) { return ++previews > 1; }); // cancelled first
    form->aImport->trigger();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    form->aImport->trigger();
    EXPECT_EQ(previews, 2);
    EXPECT_EQ(Shown(*form), opened);
    EXPECT_EQ(form->stb->currentMessage().toStdString(),
              "data-site export: ';', YYYYMMDD, HHMMSS, decimal point; 6 quotes");

    // The corrections chosen in the preview are the import's.
    const ExportedExample slashes("Date,Close\n04/05/2020,1\n04/06/2020,2\n");
    form->SetOpenDialogHook([&] { return slashes.path; });
    form->SetImportPreviewHook(DayFirst);
    form->aImport->trigger();
    EXPECT_EQ(form->QuoteList().Items(0)->DateText, "04.05.20 00:00");
}

// A dropped file or one named at start: native files by the open sequence, the rest
// through the import, the preview only for an uncertain guess, refusals as errors.
TEST_F(MainWindowTest, DroppedAndStartFilesOpenDirectly)
{
    int previews = 0;
    form->SetImportPreviewHook([&](ImportDialog &dialog) { return ++previews, DayFirst(dialog); });
    const auto local = [](const QString &path) { return QUrl::fromLocalFile(path); };
    const std::unique_ptr<QMimeData> two(Dragged({local(QStringLiteral("/tmp/a.txt")), local(QStringLiteral("/tmp/b.txt"))}));
    const std::unique_ptr<QMimeData> web(Dragged({QUrl(QStringLiteral("https://example.org/q.csv"))}));
    EXPECT_FALSE(form->FormDragOver(*two));
    EXPECT_FALSE(form->FormDragOver(*web));

    // Dropped through the event loop, as the window takes it.
    const auto drop = [this, &local](const QString &path) {
        const std::unique_ptr<QMimeData> mime(Dragged({local(path)}));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
        QCoreApplication::processEvents();
    };
    const QString daily = QString::fromStdString(ExamplePath("daily.txt"));
    drop(daily);
    EXPECT_EQ(form->QuoteList().Count(), 600);
    EXPECT_TRUE(form->stb->currentMessage().isEmpty()); // a native open says nothing more
    const ExportedExample exported, slashes("Date,Close\n04/05/2020,1\n04/06/2020,2\n");
    drop(exported.path);
    EXPECT_EQ(form->QuoteList().Count(), 6);
    EXPECT_EQ(previews, 0); // a clear guess needs no preview
    drop(slashes.path);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(form->QuoteList().Items(0)->DateText, "04.05.20 00:00"); // as corrected there

    // A letter is refused with the standard error; the file that was open stays.
    const ExportedExample letter("Dear all,\nthe prices follow.\n");
    drop(letter.path);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.startsWith(QStringLiteral("Not a quote file: expected")));
    EXPECT_EQ(form->QuoteList().Count(), 2);

    // Started with a file: no open dialog; with a file that cannot be read: the error,
    // then the dialog.
    for (const QString &start : {exported.path, letter.path}) {
        int startDialogs = 0;
        TForm1 started;
        started.SetOpenDialogHook([&] { return ++startDialogs, QString(); });
        started.SetStartFile(start);
        started.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&started));
        QCoreApplication::processEvents();
        const bool good = start == exported.path;
        EXPECT_EQ(startDialogs, good ? 0 : 1);
        EXPECT_EQ(started.QuoteList().Count(), good ? 6 : 0);
    }
    EXPECT_EQ(recorder.messages.size(), 2u);
}

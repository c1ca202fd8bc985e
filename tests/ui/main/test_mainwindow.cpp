// The main window: start-up, menu, the open sequence below the dialog, the parameter
// checks, Refresh, the magnitude, the grid's mouse handler with the strips and the cursor
// window, the standard error message for a bad file, and the ways in for files written
// elsewhere (File / Import..., a dropped file, a file on the command line).

#include "guiapp.h"
#include "pixels.h"

#include "candletab.h"
#include "chart.h"
#include "cursorwindow.h"
#include "importdialog.h"
#include "linebreak.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "pfstrips.h"
#include "mainwindow.h"
#include "reportwindow.h"

#include <QAction>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using namespace korvala;

namespace {

using test::ExamplePath;

class MainWindowTest : public ::testing::Test
{
protected:

    void Open(const std::string &path) { form->OpenQuoteFile(QString::fromStdString(path)); }

    // Moves the mouse over cell (c, r) of the grid (by default the first box of column c
    // with a quote): the pointer goes there, then the grid's mouse handler runs.
    void Hover(int c, int r = -1)
    {
        const PFGrid &g = form->Document().sg;
        for (int row = g.FirstRow(c); r < 0 && row <= g.LastRow(c); ++row)
            r = g.CellQuote(c, row) >= 0 && row < g.RowCount ? row : -1;
        const QPoint p = form->sg->CellRect(c, r).center();
        QCursor::setPos(form->sg->viewport()->mapToGlobal(p));
        form->sgMouseMove(p.x(), p.y());
    }

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

// Pixels of a strip in a colour of the column band (fill or line) or of dark text.
int BandOrTextPixels(QWidget *strip)
{
    return test::CountPixels(strip->grab().toImage(), [](const QColor &c) {
        return c == PFStrips::kRiseBandFill || c == PFStrips::kFallBandFill || c == PFStrips::kRiseBandLine
               || c == PFStrips::kFallBandLine || c.lightness() < 100;
    });
}

} // namespace

TEST_F(MainWindowTest, StartsWithTheOpenDialogAnEmptyWindowItsMenusAndTabs)
{
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(form->pos(), QPoint(128, 96));
    EXPECT_EQ(form->size(), QSize(768, 576));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Корвала, ver 0.0.1 alfa"));
    EXPECT_EQ(form->eBox->text() + form->eReverse->text(), QStringLiteral("13"));
    EXPECT_EQ(form->SpinEdit1->value(), 3);
    EXPECT_TRUE(form->chkHintShow->isChecked());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    // Both chart tabs show 100 demonstration candles; only the line-break chart a legend.
    EXPECT_EQ(form->LineBreakSeries->Count(), 100);
    EXPECT_EQ(form->CandleTab()->Series()->Count(), 100);
    EXPECT_TRUE(form->LineBreakChart->LegendVisible());
    EXPECT_FALSE(form->CandleTab()->Chart()->LegendVisible());

    // Per menu its text, then per item text|name|caption|category, "-" for a separator.
    QString menus;
    for (QAction *menu : form->ActionMainMenuBar1->actions()) {
        menus += menu->text() + QLatin1Char(':');
        for (QAction *a : menu->menu()->actions())
            menus += QLatin1Char(' ') + (a->isSeparator() ? QStringLiteral("-")
                                                          : QStringList{a->text(), a->objectName(),
                                                                        a->property("caption").toString(),
                                                                        a->property("category").toString()}
                                                                .join(QLatin1Char('|')));
        menus += QLatin1Char('\n');
    }
    EXPECT_EQ(menus.toStdString(), "&File: &Open...|Action1|Open...|Файл &Import...|aImport|Import...|Файл "
                                   "Recent &files|aRecent|Recent files|Файл - "
                                   "&Export chart...|aExportChart|Export chart...|Файл "
                                   "&Copy chart|aCopyChart|Copy chart|Файл "
                                   "&Print chart...|aPrintChart|Print chart...|Файл "
                                   "Print pre&view...|aPrintPreview|Print preview...|Файл - "
                                   "&Exit|aExit|Exit|Файл\n"
                                   "&Chart: Action2|Action2|Action2|График "
                                   "Индикаторы|aIndic|Индикаторы|График - "
                                   "&Refersh|aRefresh|Refersh|График - "
                                   "Сигналы P&&F на графике|aSignals|Сигналы P&F на графике|График "
                                   "Отчет по сигналам P&&F|aSignalsReport|Отчет по сигналам P&F|График - "
                                   "Zoom &in|aZoomIn|Zoom in|График Zoom &out|aZoomOut|Zoom out|График "
                                   "&Fit chart|aZoomFit|Fit chart|График - Re&play|aReplay|Replay|График\n"
                                   "&Help: &About...|aAbout|About...|Help\n");
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
    const TFList &quotes = form->Document().QuoteList;
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->eBox->text(), QString::fromStdString(form->Document().eBox));
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(QStringLiteral("Count point = 600\n")));
    EXPECT_TRUE(form->mm_Common->toPlainText().startsWith(QStringLiteral("Количество котировок = 600")));
    EXPECT_EQ(form->StatusText(), QStringLiteral("Количество периодов = 600"));
    EXPECT_EQ(form->sg->ColCount(), form->Document().FColumns.Count());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the hourglass is gone
    // The line-break bricks replace the demonstration candles, at consecutive positions.
    const int bricks = static_cast<int>(BuildLineBreakBricks(quotes).size());
    EXPECT_EQ(form->LineBreakSeries->Count(), bricks);
    EXPECT_EQ(form->LineBreakSeries->At(bricks - 1).x, bricks - 1);
    EXPECT_EQ(form->LineBreakSeries->At(0).open, quotes.Items(0)->Open);
    EXPECT_FALSE(form->LineBreakSeries->Dated());
    // The candle tab ends with the last quote.
    const chart::CandleSeries &candles = *form->CandleTab()->Series();
    ASSERT_GT(candles.Count(), 100);
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
    const bool rising = form->Document().FColumns.Items(last)->Direction == 1;
    const QImage cells = form->sg->viewport()->grab().toImage();
    EXPECT_EQ(cells.pixelColor(g.CellRect(last, LastBox(last)).center()),
              rising ? PFGridView::kMarkXColor : PFGridView::kMarkOColor);

    // The window grows: the view keeps to the latest data.
    form->resize(form->width() + 250, form->height() + 150);
    QCoreApplication::processEvents();
    EXPECT_TRUE(InView(last, LastBox(last)));
    EXPECT_EQ(g.LeftCol() + g.VisibleColCount() - 1, last);

    // Home and End, with or without Ctrl: the first or the last column at its last box.
    form->sg->setFocus();
    for (const auto modifier : {Qt::NoModifier, Qt::ControlModifier}) {
        QTest::keyClick(form->sg, Qt::Key_Home, modifier);
        EXPECT_EQ(std::make_pair(g.Col(), g.Row()), std::make_pair(0, LastBox(0)));
        EXPECT_TRUE(InView(0, LastBox(0)));
        QTest::keyClick(form->sg, Qt::Key_End, modifier);
        EXPECT_EQ(std::make_pair(g.Col(), g.Row()), std::make_pair(last, LastBox(last)));
        EXPECT_TRUE(InView(last, LastBox(last)));
    }
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
// on the rulers and the date strip. Refresh of the same file keeps it, its prices still true.
TEST_F(MainWindowTest, AnotherFileLeavesNothingOfTheOldColumnRefreshKeepsIt)
{
    form->SpinEdit1->setValue(12);
    Open(ExamplePath("daily.txt"));
    const int c = form->sg->LeftCol() + 1;
    const int emptyRow = LastBox(c) + (form->Document().FColumns.Items(c)->Direction == 1 ? -1 : 1);
    Hover(c, emptyRow); // an empty cell of the column: its band and period
    ASSERT_NE(form->ViewState().FColumnRec, nullptr);
    for (QWidget *strip : {form->pbc, form->pbc1, form->pb})
        EXPECT_GT(BandOrTextPixels(strip), 0) << strip->objectName().toStdString();
    const std::shared_ptr<const TFPoint> record = form->ViewState().FColumnRec;
    form->aRefresh->trigger();
    EXPECT_EQ(form->ViewState().FColumnRec, record);

    Open(ExamplePath("intraday.txt"));
    EXPECT_EQ(form->ViewState().FColumnRec, nullptr);
    EXPECT_EQ(form->ViewState().FCellQuote, nullptr);
    EXPECT_EQ(form->ViewState().FCellX, PFViewState::kNoCell);
    EXPECT_EQ(form->ViewState().FCellY, PFViewState::kNoCell);
    for (QWidget *strip : {form->pbc, form->pbc1, form->pb1})
        EXPECT_EQ(BandOrTextPixels(strip), 0) << strip->objectName().toStdString();
}

TEST_F(MainWindowTest, ParameterEditsAreCheckedWhenLeft)
{
    Open(ExamplePath("daily.txt"));
    const double box = form->Document().FBox;
    for (const auto &[bad, message] : {std::pair{"2.5", "Неверный формат <2.5>"},
                                       std::pair{"0,005", "Слишком малое значение <0,005>"}}) {
        recorder.messages.clear();
        form->eBox->setText(QString::fromUtf8(bad));
        form->eBoxExit();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
        EXPECT_EQ(recorder.messages[0].text.toStdString(), message);
        EXPECT_EQ(form->eBox->text().toStdString(), bad);  // stays as typed
        EXPECT_EQ(form->Document().FBox, box);              // the value in force stays
        EXPECT_EQ(QApplication::focusWidget(), form->eBox); // the focus comes back
    }
    recorder.messages.clear();
    form->eReverse->setText(QStringLiteral("2,"));
    form->eReverseExit();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().FReverse, 2.0);

    // Tabbing to the other edit runs the check too.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->eBox->setFocus(Qt::TabFocusReason);
    form->eBox->setText(QStringLiteral("1.5"));
    form->eReverse->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("Неверный формат <1.5>"));
    EXPECT_EQ(QApplication::focusWidget(), form->eBox);
}

TEST_F(MainWindowTest, RefreshWithATooSmallBoxOnlyRemovesTheCursorWindowTheMagnitudeRebuilds)
{
    Open(ExamplePath("daily.txt"));
    Hover(1);
    ASSERT_NE(form->CursorWnd(), nullptr);
    const long long boxes = form->Document().sg.BoxCount();
    const QString memo = form->Memo1->toPlainText(), box = form->eBox->text();
    form->eBox->setText(QStringLiteral("0,005"));
    form->aRefresh->trigger();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Hint.isEmpty());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().sg.BoxCount(), boxes);
    EXPECT_EQ(form->Memo1->toPlainText(), memo);

    // The magnitude rebuilds with larger cells; typing (an empty text) changes nothing.
    form->eBox->setText(box);
    form->SpinEdit1->setValue(5);
    EXPECT_EQ(form->sg->DefaultColWidth(), 5);
    EXPECT_EQ(form->sg->DefaultRowHeight(), 5);
    form->sg->SetCol(3);
    form->SpinEdit1Change(QString()); // typing: nothing changes
    EXPECT_EQ(form->sg->Col(), 3);
    form->SpinEdit1Change(QStringLiteral("40"));
    EXPECT_EQ(form->sg->DefaultColWidth(), 12);
    EXPECT_EQ(form->sg->Col(), 0); // rebuilt
}

TEST_F(MainWindowTest, CursorWindowForABoxWithAQuoteAndForAColumn)
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
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_TRUE(wnd->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(wnd->palette().color(QPalette::Window), QColor(240, 240, 255));
    EXPECT_TRUE(form->Timer1->isActive());
    // Width: the widest line + 10; height: lines × line height + 9.
    EXPECT_EQ(wnd->size(), QSize(wnd->MaxLineWidth(cell) + 10, wnd->LineHeight() * 5 + 9));
    EXPECT_EQ(form->ViewState().FCellY, 3);

    // The empty cell above it: the column's summary.
    Hover(0, 0);
    EXPECT_EQ(form->Hint, QStringLiteral("Trend: 01.02.05 10:00-01.02.05 10:00 - UP\r\nO: 1,500\r\n"
                                         "H: 2,000\r\nL: 1,000\r\nC: 1,750\r\nVolume: 10,000\r\n"));
    EXPECT_EQ(form->CursorWnd()->height(), form->CursorWnd()->LineHeight() * 6 + 9);
}

TEST_F(MainWindowTest, ThePopUpFollowsTheCellsAndGoesWhenThePointerLeavesTheGrid)
{
    Open(ExamplePath("daily.txt"));
    Hover(1);
    const TFPoint *quote = form->ViewState().FCellQuote;
    ASSERT_NE(quote, nullptr);
    form->sgMouseMove(form->sg->CellRect(form->sg->ColCount() + 2, 0).x(), 1);
    EXPECT_EQ(form->ViewState().FCellX, -10000);
    EXPECT_EQ(form->ViewState().FCellY, -10000);
    EXPECT_EQ(form->ViewState().FCellQuote, quote);
    EXPECT_EQ(form->sg->Col(), 1);

    const QString shown = form->CursorWnd()->Text();
    form->chkHintShow->setChecked(false); // the pop-up on screen stays as it is, no new one
    Hover(2);
    EXPECT_EQ(form->CursorWnd()->Text(), shown);
    EXPECT_NE(form->ViewState().FCellQuote, quote);
    form->aRefresh->trigger();
    Hover(1);
    EXPECT_EQ(form->CursorWnd(), nullptr);
    form->chkHintShow->setChecked(true);

    // The pop-up goes when the pointer leaves the grid: the watch timer, the neighbouring
    // controls, another window of the program taking over.
    Hover(1);
    form->Timer1Timer(); // the pointer is still over the cells
    EXPECT_NE(form->CursorWnd(), nullptr);
    QCursor::setPos(form->sg->viewport()->mapToGlobal(QPoint(-5, 5)));
    form->Timer1Timer();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Timer1->isActive()); // never disabled again

    for (QWidget *control : std::initializer_list<QWidget *>{form->pbc, form->pb, form->Memo1->viewport(),
                                                             form->stb, form->Button1}) {
        Hover(1);
        ASSERT_NE(form->CursorWnd(), nullptr);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &move);
        EXPECT_EQ(form->CursorWnd(), nullptr) << control->objectName().toStdString();
    }

    // Another window of the program taking over.
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
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text,
              QStringLiteral("'12.5' is not a valid floating point value.\nbad.txt, line 2"));
    // The file that was open stays whole: its quotes, texts, grid and cell quotes, and a
    // Refresh builds it again.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->QuoteList().Count(), 600);
    EXPECT_EQ(form->sg->ColCount(), columns);
    EXPECT_NE(form->Document().sg.CellQuote(1, form->Document().sg.FirstRow(1)), -1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form->aRefresh->trigger();
    EXPECT_EQ(form->Memo1->toPlainText().section(u'\n', 0, 0), QStringLiteral("Count point = 600"));
    EXPECT_EQ(form->sg->ColCount(), columns);
    Open(ExamplePath("intraday.txt")); // and the program works on
    EXPECT_EQ(form->StatusText(), QStringLiteral("Количество периодов = 3000"));
}

TEST_F(MainWindowTest, SignalsOverTheGridOnRequestInTheCursorWindowAndAsAReport)
{
    // Box 1, reversal 3: X 100-105, O -101, X -107 (a buy above 105, dated 04.02.05), O -103,
    // X -106, O -100 (a sell below 103). The first close lies on row 9, the buy's box (106)
    // on row 3.
    const test::QuoteFile file("signals.txt", test::FlatQuoteLines({100, 105.5, 100.5, 107.5, 102.5, 106.5, 99.5}));
    Open(file.path);
    form->eBox->setText(QStringLiteral("1"));
    form->eReverse->setText(QStringLiteral("3"));
    form->aRefresh->trigger();
    ASSERT_EQ(form->sg->ColCount(), 6);

    // Off at start: the grid as it always was; on and off again: the same picture.
    EXPECT_FALSE(form->aSignals->isChecked());
    EXPECT_EQ(form->sg->Overlay(), nullptr);
    const QImage plain = form->sg->viewport()->grab().toImage();
    form->aSignals->trigger();
    EXPECT_TRUE(form->aSignals->isChecked());
    EXPECT_NE(form->sg->viewport()->grab().toImage(), plain);
    form->aSignals->trigger();
    EXPECT_EQ(form->sg->viewport()->grab().toImage(), plain);

    // The breakout box's cursor window tells the signal only while the signals are shown.
    const QString cell = QStringLiteral("Cell: 01.12.05 10:03\r\nOpen: 107,500\r\nHigh: 107,500\r\n"
                                        "Low: 107,500\r\nClose: 107,500");
    Hover(2, 3);
    EXPECT_EQ(form->Hint, cell);
    form->aSignals->trigger();
    Hover(2, 3);
    EXPECT_EQ(form->Hint, cell + QStringLiteral("\r\nBuy: Double top\r\nPrice: 106,000\r\nDate: 01.12.05 10:03"));
    EXPECT_EQ(form->CursorWnd()->Text(), form->Hint);
    Hover(2, 4);
    EXPECT_EQ(form->Hint.count(QStringLiteral("Buy")), 0);

    // Chart / the report: into the report window, shown modally.
    TfReport report;
    form->SetReportWindow(&report);
    bool seen = false;
    QTimer::singleShot(0, &report, [&] {
        seen = true;
        EXPECT_TRUE(report.isModal());
        const std::vector<std::string> lines = report.Lines();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[2], "01.12.05 10:03 Buy  Double top               106,000");
        EXPECT_EQ(lines[4], "Current signal: Sell, Double bottom, 102,000, 01.12.05 10:06");
        report.reject();
    });
    form->aSignalsReport->trigger();
    EXPECT_TRUE(seen);

    // The choice stays for the next file; its signals are those of the new grid.
    Open(ExamplePath("daily.txt"));
    EXPECT_TRUE(form->aSignals->isChecked());
    EXPECT_NE(form->sg->Overlay(), nullptr);
    EXPECT_EQ(form->SignalOverlay().Signals().ColumnCount, form->sg->ColCount());
}

TEST_F(MainWindowTest, ShortcutsShownInTheMenusRunTheirActions)
{
    Open(ExamplePath("daily.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // The menus show each key beside its item.
    const auto shown = [](QAction *a) { return a->shortcut().toString(QKeySequence::PortableText); };
    EXPECT_EQ(shown(form->Action1), QStringLiteral("Ctrl+O"));
    EXPECT_EQ(shown(form->aExit), QStringLiteral("Ctrl+Q"));
    EXPECT_EQ(shown(form->aRefresh), QStringLiteral("F5"));

    // Keys typed into the window, wherever the focus is, run the items.
    form->sg->setFocus();
    QTest::keyClick(form->sg, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 2);
    // F5 is Refresh: it reads the edits and builds with them.
    form->eBox->setText(QStringLiteral("7"));
    QTest::keyClick(form->sg, Qt::Key_F5);
    EXPECT_EQ(form->Document().FBox, 7.0);
    EXPECT_EQ(form->Document().sg.Box, 7.0);
    // Ctrl+plus (also without Shift, as Ctrl+=), Ctrl+minus and Ctrl+0 zoom the grid.
    QTest::keyClick(form->sg, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(form->sg->DefaultColWidth(), 4);
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
    QStringList parts{w.windowTitle(), w.eBox->text(), w.eReverse->text(), w.Memo1->toPlainText(),
                      w.mm_Common->toPlainText(), w.StatusText(), QString::number(w.sg->ColCount()),
                      QString::number(w.LineBreakSeries->Count()), QString::number(w.CandleTab()->Series()->Count())};
    w.QuoteList().ForEach([&parts](const TFPoint &p, int) {
        parts << QString::fromStdString(p.DateText) + QLatin1Char(' ') + QString::number(p.DateTime, 'g', 17)
                     + QLatin1Char(' ') + QString::number(p.Close, 'g', 17);
    });
    return parts.join(QLatin1Char('|'));
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
        : path(dir.Write("pf_example.txt", body))
    {
    }
    QString qpath() const { return QString::fromStdString(path); }

    test::TempDir dir;
    std::string path;
};

QMimeData *Dragged(const QStringList &paths)
{
    auto *mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << (path.startsWith(QStringLiteral("http")) ? QUrl(path) : QUrl::fromLocalFile(path));
    mime->setUrls(urls);
    return mime;
}

} // namespace

// File / Import...: the preview, then the very state an open of the native twin gives.
TEST_F(MainWindowTest, ImportPreviewsThenBehavesExactlyAsAnOpen)
{
    const std::string twin = test::DataPath("pf_example.txt");
    Open(twin);
    const QString opened = Shown(*form);

    const ExportedExample exported;
    Open(ExamplePath("daily.txt"));
    int previews = 0;
    QString seen;
    form->SetOpenDialogHook([&] { return exported.qpath(); });
    form->SetImportPreviewHook([&](ImportDialog &dialog) {
        ++previews;
        seen = dialog.lblLayout->text();
        EXPECT_EQ(dialog.grdRows->rowCount(), 6);
        EXPECT_EQ(dialog.grdRows->item(1, 1)->text(), QStringLiteral("01.12.05 11:00"));
        return false; // cancelled: nothing changes
    });
    form->aImport->trigger();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(seen.toStdString(), "data-site export: ';', YYYYMMDD, HHMMSS, decimal point");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->QuoteList().Count(), 600);

    form->SetImportPreviewHook([&](ImportDialog &) { return ++previews > 0; });
    form->aImport->trigger();
    EXPECT_EQ(previews, 2);
    EXPECT_EQ(Shown(*form), opened);
    EXPECT_EQ(form->stb->currentMessage().toStdString(),
              "data-site export: ';', YYYYMMDD, HHMMSS, decimal point; 6 quotes");
    form->aRefresh->trigger(); // and Refresh builds it like any open file
    EXPECT_EQ(Shown(*form), opened);

    // The corrections chosen in the preview are the import's.
    const ExportedExample slashes("Date,Close\n04/05/2020,1\n04/06/2020,2\n");
    form->SetOpenDialogHook([&] { return slashes.qpath(); });
    form->SetImportPreviewHook([](ImportDialog &dialog) {
        dialog.cbDates->setCurrentIndex(dialog.cbDates->findData(static_cast<int>(DateOrder::DayMonthYear)));
        EXPECT_EQ(dialog.grdRows->item(0, 1)->text(), QStringLiteral("04.05.20 00:00"));
        return true;
    });
    form->aImport->trigger();
    EXPECT_EQ(form->QuoteList().Items(0)->DateText, "04.05.20 00:00");
}

// A dropped file or one named at start: native files by the open sequence, the rest
// through the import, the preview only for an uncertain guess, refusals as errors.
TEST_F(MainWindowTest, DroppedAndStartFilesOpenDirectly)
{
    int previews = 0;
    form->SetImportPreviewHook([&](ImportDialog &) { return ++previews > 0; });
    const std::unique_ptr<QMimeData> two(Dragged({QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt")}));
    const std::unique_ptr<QMimeData> web(Dragged({QStringLiteral("https://example.org/q.csv")}));
    EXPECT_FALSE(form->FormDragOver(*two));
    EXPECT_FALSE(form->FormDragOver(*web));

    // Dropped through the event loop, as the window takes it.
    const auto dropOnForm = [this](QMimeData *mime) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        QCoreApplication::processEvents();
    };
    const std::unique_ptr<QMimeData> daily(Dragged({QString::fromStdString(ExamplePath("daily.txt"))}));
    dropOnForm(daily.get());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_TRUE(form->stb->currentMessage().isEmpty()); // a native open says nothing more
    EXPECT_EQ(previews, 0);

    const ExportedExample exported;
    const std::unique_ptr<QMimeData> site(Dragged({exported.qpath()}));
    dropOnForm(site.get());
    EXPECT_EQ(previews, 0); // a clear guess needs no preview
    EXPECT_EQ(form->QuoteList().Count(), 6);
    EXPECT_FALSE(form->stb->currentMessage().isEmpty());

    const ExportedExample slashes("Date,Close\n04/05/2020,1\n04/06/2020,2\n");
    const std::unique_ptr<QMimeData> uncertain(Dragged({slashes.qpath()}));
    dropOnForm(uncertain.get());
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(form->QuoteList().Count(), 2);

    // A letter is refused with the standard error; the file that was open stays.
    dropOnForm(daily.get());
    EXPECT_EQ(form->QuoteList().Count(), 600);
    const ExportedExample letter("Dear all,\nthe prices follow.\n");
    const std::unique_ptr<QMimeData> refused(Dragged({letter.qpath()}));
    dropOnForm(refused.get());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.startsWith(QStringLiteral("Not a quote file: expected")));
    EXPECT_TRUE(recorder.messages[0].text.contains(QStringLiteral("\"Dear all,\"")));
    EXPECT_EQ(form->QuoteList().Count(), 600);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));

    // Started with a file: no open dialog; with a file that cannot be read: the error,
    // then the dialog.
    for (const std::string &start : {exported.path, letter.path}) {
        int startDialogs = 0;
        TForm1 started;
        started.SetOpenDialogHook([&] { return ++startDialogs, QString(); });
        started.SetStartFile(QString::fromStdString(start));
        started.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&started));
        QCoreApplication::processEvents();
        const bool good = start == exported.path;
        EXPECT_EQ(startDialogs, good ? 0 : 1);
        EXPECT_EQ(started.QuoteList().Count(), good ? 6 : 0);
    }
    EXPECT_EQ(recorder.messages.size(), 2u);
}

// The toolkit keeps what the file dialogs visited in its settings: they go to the tests'
// own temporary home, never into the home of whoever runs the tests.
TEST(TestHome, TheToolkitsSettingsGoToATemporaryHome)
{
    const QString realHome = QFile::decodeName(getpwuid(getuid())->pw_dir) + QLatin1Char('/');
    {
        TForm1 form; // its open dialog keeps its settings when it goes
        form.od->setDirectory(QString::fromStdString(KORVALA_EXAMPLES_DIR));
    }
    const QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
    EXPECT_TRUE(settings.fileName().startsWith(test::TemporaryHome())) << settings.fileName().toStdString();
    EXPECT_TRUE(QFile::exists(settings.fileName()));
    for (const auto location : {QStandardPaths::GenericConfigLocation, QStandardPaths::ConfigLocation,
                                QStandardPaths::GenericCacheLocation, QStandardPaths::AppDataLocation,
                                QStandardPaths::GenericDataLocation, QStandardPaths::HomeLocation})
        EXPECT_FALSE(QString(QStandardPaths::writableLocation(location) + QLatin1Char('/')).startsWith(realHome))
            << QStandardPaths::writableLocation(location).toStdString();
}

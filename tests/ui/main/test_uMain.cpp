// The main window: start-up, menu, the open sequence below the dialog, the parameter
// checks, Refresh, the magnitude, the grid's mouse handler with the strips and the cursor
// window, and the standard error message for a bad file.

#include "guiapp.h"

#include "chart.h"
#include "cursorwnd.h"
#include "pfgridview.h"
#include "candletab.h"
#include "chart.h"
#include "linebreak.h"
#include "uMain.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace korvala;

namespace {

std::string Example(const char *name) { return std::string(KORVALA_EXAMPLES_DIR) + "/" + name; }

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::App();
        form = std::make_unique<TForm1>();
        form->SetOpenDialogHook([this] {
            ++dialogs;
            return QString();
        });
        form->PlaceWindow(QSize(1024, 768));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents(); // the open dialog of the first show
    }

    void Open(const std::string &path) { form->OpenQuoteFile(QString::fromStdString(path)); }

    // Moves the mouse over cell (c, r) of the grid: the pointer goes there, then the
    // grid's mouse handler runs.
    void Hover(int c, int r)
    {
        const QRect cell = form->sg->CellRect(c, r);
        const QPoint p = cell.topLeft() + QPoint(cell.width() / 2, cell.height() / 2);
        QCursor::setPos(form->sg->viewport()->mapToGlobal(p));
        form->sgMouseMove(p.x(), p.y());
    }

    // The first row of column c that holds a box with a quote (or -1).
    int QuotedRow(int c) const
    {
        const PFGrid &g = form->Document().sg;
        for (int r = g.FirstRow(c); r <= g.LastRow(c); ++r)
            if (g.CellQuote(c, r) >= 0 && r < g.RowCount)
                return r;
        return -1;
    }

    int dialogs = 0;
    std::unique_ptr<TForm1> form;
    test::MessageRecorder recorder;
};

} // namespace

TEST_F(MainWindowTest, StartsWithTheOpenDialogAndAnEmptyWindow)
{
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Корвала, ver 0.0.1 alfa"));
    EXPECT_EQ(form->StatusText(), QString());
    EXPECT_EQ(form->eBox->text(), QStringLiteral("1"));
    EXPECT_EQ(form->eReverse->text(), QStringLiteral("3"));
    EXPECT_EQ(form->SpinEdit1->value(), 3);
    EXPECT_TRUE(form->chkHintShow->isChecked());
    EXPECT_EQ(form->sg->ColCount(), 1);
    EXPECT_EQ(form->sg->RowCount(), 1);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    EXPECT_FALSE(form->CandleTab()->ReplayRunning());
    EXPECT_EQ(form->ViewState().FCellX, -1000);
    EXPECT_EQ(form->ViewState().FCellY, -1000);
    // Both chart tabs show 100 demonstration candles; only the line-break chart a legend.
    ASSERT_NE(form->LineBreakSeries, nullptr);
    ASSERT_NE(form->CandleTab()->Series(), nullptr);
    EXPECT_EQ(form->LineBreakSeries->Count(), 100);
    EXPECT_EQ(form->CandleTab()->Series()->Count(), 100);
    EXPECT_TRUE(form->LineBreakChart->LegendVisible());
    EXPECT_FALSE(form->CandleTab()->Chart()->LegendVisible());
    EXPECT_FALSE(form->LineBreakChart->View3D());
}

TEST_F(MainWindowTest, PlacedOnTheMiddleOfA1024By768Screen)
{
    EXPECT_EQ(form->pos(), QPoint(128, 96));
    EXPECT_EQ(form->size(), QSize(768, 576));
}

TEST_F(MainWindowTest, MenuStructure)
{
    struct Item
    {
        const char *text;
        const char *name;
        const char *caption;
        const char *category;
    };
    const std::vector<std::pair<QString, std::vector<Item>>> expected = {
        {QStringLiteral("&File"),
         {{"&Open...", "Action1", "Open...", "Файл"}, {nullptr, nullptr, nullptr, nullptr},
          {"&Exit", "aExit", "Exit", "Файл"}}},
        {QStringLiteral("&Chart"),
         {{"Action2", "Action2", "Action2", "График"},
          {"Индикаторы", "aIndic", "Индикаторы", "График"},
          {nullptr, nullptr, nullptr, nullptr},
          {"&Refersh", "aRefresh", "Refersh", "График"}}},
        {QStringLiteral("&Help"), {{"&About...", "aAbout", "About...", "Help"}}},
    };
    const QList<QAction *> menus = form->ActionMainMenuBar1->actions();
    ASSERT_EQ(menus.size(), 3);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(menus[m]->text(), expected[m].first);
        const QList<QAction *> items = menus[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].second.size()));
        for (int i = 0; i < items.size(); ++i) {
            const Item &want = expected[m].second[static_cast<std::size_t>(i)];
            if (!want.text) {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(want.text));
            EXPECT_EQ(items[i]->objectName(), QString::fromUtf8(want.name));
            EXPECT_EQ(items[i]->property("caption").toString(), QString::fromUtf8(want.caption));
            EXPECT_EQ(items[i]->property("category").toString(), QString::fromUtf8(want.category));
        }
    }
    EXPECT_EQ(form->Button1->text(), QStringLiteral("Refersh"));
    const QStringList tabs = {QStringLiteral("P && F"), QStringLiteral("3 line breaking"),
                              QStringLiteral("Candle"), QStringLiteral("Общие показатели")};
    ASSERT_EQ(form->PageControl1->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->PageControl1->tabText(i), tabs[i]);
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
}

TEST_F(MainWindowTest, OpeningDailyQuotes)
{
    Open(Example("daily.txt"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->eBox->text(), QString::fromStdString(form->Document().eBox));
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(QStringLiteral("Count point = 600\n")));
    EXPECT_TRUE(form->Memo1->toPlainText().contains(QStringLiteral("Auto box = ") + form->eBox->text()));
    EXPECT_TRUE(form->mm_Common->toPlainText().startsWith(QStringLiteral("Количество котировок = 600")));
    EXPECT_EQ(form->StatusText(), QStringLiteral("Количество периодов = 600"));
    EXPECT_TRUE(form->Document().Built);
    EXPECT_GT(form->sg->ColCount(), 10);
    EXPECT_EQ(form->sg->ColCount(), form->Document().FColumns.Count());
    EXPECT_EQ(form->sg->Col(), 0);
    EXPECT_EQ(form->sg->Row(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the hourglass is gone
}

TEST_F(MainWindowTest, OpeningFillsTheLineBreakAndCandleTabs)
{
    Open(Example("daily.txt"));
    const TFList &quotes = form->Document().QuoteList;
    // The bricks of the closes, the first one from the first quote's open and close.
    const std::vector<TLineBrick> bricks = BuildLineBreakBricks(quotes);
    ASSERT_EQ(form->LineBreakSeries->Count(), static_cast<int>(bricks.size()));
    const chart::Candle first = form->LineBreakSeries->At(0);
    EXPECT_EQ(first.open, quotes.Items(0)->Open);
    EXPECT_EQ(first.close, quotes.Items(0)->Close);
    // The candle tab: the quotes of the last 222 days, both ends included.
    const double end = quotes.Items(quotes.Count() - 1)->DateTime;
    int inRange = 0;
    quotes.ForEach([&](const TFPoint &q, int) { inRange += q.DateTime >= end - 222 ? 1 : 0; });
    ASSERT_EQ(form->CandleTab()->Series()->Count(), inRange);
    EXPECT_EQ(form->CandleTab()->Series()->At(inRange - 1).x, end);
    EXPECT_TRUE(form->CandleTab()->Series()->Dated());
}

TEST_F(MainWindowTest, ChartMenuItemsReachTheirWindowsWithTheQuotes)
{
    const TFList *analysed = nullptr;
    const TFList *indicated = nullptr;
    form->SetAnalysisWindowHook([&](TFList &quotes) { analysed = &quotes; });
    form->SetIndicatorWindowHook([&](TFList &quotes) { indicated = &quotes; });
    Open(Example("daily.txt"));
    form->Action2->trigger();
    form->aIndic->trigger();
    EXPECT_EQ(analysed, &form->Document().QuoteList);
    EXPECT_EQ(indicated, &form->Document().QuoteList);
}

TEST_F(MainWindowTest, OpeningIntradayQuotesAfterDailyReplacesEverything)
{
    Open(Example("daily.txt"));
    Hover(2, QuotedRow(2));
    ASSERT_NE(form->ViewState().FCellQuote, nullptr);
    Open(Example("intraday.txt"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: intraday.txt"));
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(QStringLiteral("Count point = 3000\n")));
    EXPECT_EQ(form->ViewState().FCellQuote, nullptr); // pointed into the old quotes
    EXPECT_EQ(form->sg->Col(), 0);
    EXPECT_EQ(form->sg->LeftCol(), 0);
    EXPECT_EQ(form->CursorWnd(), nullptr);
}

TEST_F(MainWindowTest, ParameterEditChecks)
{
    Open(Example("daily.txt"));
    const double box = form->Document().FBox;
    const struct
    {
        const char *text;
        const char *message;
    } bad[] = {
        {"2.5", "Неверный формат <2.5>"},
        {"", "Неверный формат <>"},
        {"-1", "Неверный формат <-1>"},
        {"0,005", "Слишком малое значение <0,005>"},
    };
    for (const auto &c : bad) {
        recorder.messages.clear();
        form->eBox->setText(QString::fromUtf8(c.text));
        form->eBoxExit();
        ASSERT_EQ(recorder.messages.size(), 1u) << c.text;
        EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
        EXPECT_EQ(recorder.messages[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(form->eBox->text(), QString::fromUtf8(c.text)); // stays as typed
        EXPECT_EQ(form->Document().FBox, box);                    // the value in force stays
        EXPECT_EQ(QApplication::focusWidget(), form->eBox);        // the focus comes back
    }
    recorder.messages.clear();
    form->eReverse->setText(QStringLiteral("2,"));
    form->eReverseExit();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().FReverse, 2.0);
    form->eBox->setText(QStringLiteral("0,01"));
    form->eBoxExit();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().FBox, 0.01);
}

TEST_F(MainWindowTest, LeavingAnEditForAnotherControlChecksIt)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->eBox->setFocus(Qt::TabFocusReason);
    form->eBox->setText(QStringLiteral("1.5"));
    form->eReverse->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("Неверный формат <1.5>"));
    EXPECT_EQ(QApplication::focusWidget(), form->eBox);
}

TEST_F(MainWindowTest, RefreshWithATooSmallBoxOnlyRemovesTheCursorWindow)
{
    Open(Example("daily.txt"));
    Hover(1, QuotedRow(1));
    ASSERT_NE(form->CursorWnd(), nullptr);
    const long long boxes = form->Document().sg.BoxCount();
    const QString memo = form->Memo1->toPlainText();
    form->eBox->setText(QStringLiteral("0,005"));
    form->aRefresh->trigger();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Hint.isEmpty());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(form->Document().sg.BoxCount(), boxes);
    EXPECT_EQ(form->Memo1->toPlainText(), memo);
    EXPECT_EQ(form->Document().FBox, 0.005);
}

TEST_F(MainWindowTest, MagnitudeRebuildsWithLargerCells)
{
    Open(Example("daily.txt"));
    form->SpinEdit1->setValue(5);
    EXPECT_EQ(form->sg->DefaultColWidth(), 5);
    EXPECT_EQ(form->sg->DefaultRowHeight(), 5);
    form->sg->SetCol(3);
    form->SpinEdit1Change(QString()); // typing: nothing changes
    EXPECT_EQ(form->sg->DefaultColWidth(), 5);
    EXPECT_EQ(form->sg->Col(), 3);
    form->SpinEdit1Change(QStringLiteral("x"));
    EXPECT_EQ(form->sg->DefaultColWidth(), 1);
    EXPECT_EQ(form->sg->Col(), 0); // rebuilt
    form->SpinEdit1Change(QStringLiteral("40"));
    EXPECT_EQ(form->sg->DefaultColWidth(), 12);
}

TEST_F(MainWindowTest, CursorWindowForABoxWithAQuote)
{
    const test::QuoteFile file("one.txt", {"01.02.05;10:00;1,5;2;1;1,75;10"});
    Open(file.path);
    // One quote: one "x" box on row 1 of a 2-row grid, holding the quote.
    ASSERT_EQ(form->Document().sg.Mark(0, 1), 'x');
    Hover(0, 1);
    const QString cell = QStringLiteral(
        "Cell: 01.02.05 10:00\r\nOpen: 1,500\r\nHigh: 2,000\r\nLow: 1,000\r\nClose: 1,750");
    EXPECT_EQ(form->Hint, cell);
    ASSERT_NE(form->CursorWnd(), nullptr);
    EXPECT_EQ(form->CursorWnd()->Text(), cell);
    EXPECT_TRUE(form->CursorWnd()->isVisible());
    EXPECT_TRUE(form->CursorWnd()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(form->CursorWnd()->palette().color(QPalette::Window), QColor(240, 240, 255));
    EXPECT_TRUE(form->Timer1->isActive());
    // Width: the widest line + 10; height: lines × line height + 9.
    const TCursorWnd *wnd = form->CursorWnd();
    EXPECT_EQ(wnd->width(), wnd->MaxLineWidth(cell) + 10);
    EXPECT_EQ(wnd->height(), wnd->LineHeight() * 5 + 9);
    EXPECT_EQ(form->ViewState().FCellX, 0);
    EXPECT_EQ(form->ViewState().FCellY, 3);

    // The empty cell above it: the column's summary.
    Hover(0, 0);
    EXPECT_EQ(form->Hint, QStringLiteral("Trend: 01.02.05 10:00-01.02.05 10:00 - UP\r\nO: 1,500\r\n"
                                         "H: 2,000\r\nL: 1,000\r\nC: 1,750\r\nVolume: 10,000\r\n"));
    EXPECT_EQ(form->CursorWnd()->height(), form->CursorWnd()->LineHeight() * 6 + 9);
}

TEST_F(MainWindowTest, OutsideTheCellsOnlyTheCrossLinesMoveAway)
{
    Open(Example("daily.txt"));
    const int r = QuotedRow(1);
    Hover(1, r);
    const TFPoint *quote = form->ViewState().FCellQuote;
    ASSERT_NE(quote, nullptr);
    const QRect beyond = form->sg->CellRect(form->sg->ColCount() + 2, 0);
    form->sgMouseMove(beyond.x(), 1);
    EXPECT_EQ(form->ViewState().FCellX, -10000);
    EXPECT_EQ(form->ViewState().FCellY, -10000);
    EXPECT_EQ(form->ViewState().FCellQuote, quote);
    EXPECT_NE(form->ViewState().FColumnRec, nullptr);
    EXPECT_EQ(form->sg->Col(), 1);
}

TEST_F(MainWindowTest, UntickedHintShowMakesNoNewPopUp)
{
    Open(Example("daily.txt"));
    form->chkHintShow->setChecked(false);
    Hover(1, QuotedRow(1));
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_NE(form->ViewState().FCellQuote, nullptr); // the strips still follow
}

TEST_F(MainWindowTest, WatchTimerRemovesThePopUpOutsideTheGrid)
{
    Open(Example("daily.txt"));
    Hover(1, QuotedRow(1));
    ASSERT_NE(form->CursorWnd(), nullptr);
    form->Timer1Timer(); // the pointer is still over the cells
    EXPECT_NE(form->CursorWnd(), nullptr);
    QCursor::setPos(form->sg->viewport()->mapToGlobal(QPoint(-5, 5)));
    form->Timer1Timer();
    EXPECT_EQ(form->CursorWnd(), nullptr);
    EXPECT_TRUE(form->Timer1->isActive()); // never disabled again
}

TEST_F(MainWindowTest, NeighbouringControlsRemoveThePopUp)
{
    Open(Example("daily.txt"));
    for (QWidget *control : {static_cast<QWidget *>(form->pbc), static_cast<QWidget *>(form->pb),
                             static_cast<QWidget *>(form->Memo1->viewport()),
                             static_cast<QWidget *>(form->stb),
                             static_cast<QWidget *>(form->Button1)}) {
        Hover(1, QuotedRow(1));
        ASSERT_NE(form->CursorWnd(), nullptr);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &move);
        EXPECT_EQ(form->CursorWnd(), nullptr) << control->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, LeftRulerGrowsForAWideCloseAndTheRightStripFollows)
{
    const test::QuoteFile file("wide.txt", {"01.02.05;10:00;12345;12346;12340;12345,678;10"});
    Open(file.path);
    Hover(0, 1);
    ASSERT_NE(form->ViewState().FCellQuote, nullptr);
    const int w = QFontMetrics(form->pbc->font()).horizontalAdvance(QStringLiteral("C: 12 345,678"));
    ASSERT_GT(w, 75);
    const QImage before = form->pbc->grab().toImage();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->pbc->width(), w + 2);
    form->pbc->grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->pbc1->width(), w + 2);
    // The grid narrowed accordingly: it starts right of the wider ruler and its splitter.
    EXPECT_EQ(form->sg->mapTo(form->Panel2, QPoint(0, 0)).x(), w + 2 + 3 + 1);
    EXPECT_FALSE(before.isNull());
}

TEST_F(MainWindowTest, StripsFollowTheMouse)
{
    Open(Example("daily.txt"));
    const int r = QuotedRow(4);
    Hover(4, r);
    QCoreApplication::processEvents();
    const QImage top = form->pb1->grab().toImage();
    const int x = form->pbc->width() + form->ViewState().FCellX + 5;
    EXPECT_EQ(top.pixelColor(x, 0), QColor(0, 0, 255));
    const QImage ruler = form->pbc->grab().toImage();
    EXPECT_EQ(ruler.pixelColor(0, form->ViewState().FCellY), QColor(0, 0, 255));
    // The volume strip moves with the grid.
    const QImage bars = form->pb->grab().toImage();
    int red = 0;
    for (int y = 0; y < bars.height(); ++y)
        for (int xx = 0; xx < bars.width(); ++xx)
            red += bars.pixelColor(xx, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 0);
}

TEST_F(MainWindowTest, BadFileGivesTheStandardErrorAndTheProgramGoesOn)
{
    Open(Example("daily.txt"));
    const int columns = form->sg->ColCount();
    const test::QuoteFile bad("bad.txt", {"01.02.05;10:00;12.5;2;1;1,75;10"});
    // Through the event loop, as the menu would run it.
    QMetaObject::invokeMethod(form.get(), [&] { form->OpenQuoteFile(QString::fromStdString(bad.path)); },
                              Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("'12.5' is not a valid floating point value."));
    // Texts and grid of the earlier file stay; no cell refers to the cleared quotes.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: daily.txt"));
    EXPECT_EQ(form->sg->ColCount(), columns);
    EXPECT_EQ(form->ViewState().FCellQuote, nullptr);
    EXPECT_EQ(form->Document().sg.CellQuote(1, form->Document().sg.FirstRow(1)), -1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // And the program works on.
    Open(Example("intraday.txt"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("P & F file: intraday.txt"));
    EXPECT_EQ(form->StatusText(), QStringLiteral("Количество периодов = 3000"));
}

TEST_F(MainWindowTest, AnotherWindowOfTheProgramTakingOverRemovesThePopUp)
{
    Open(Example("daily.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Hover(1, QuotedRow(1));
    ASSERT_NE(form->CursorWnd(), nullptr);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(form->CursorWnd(), nullptr);
}

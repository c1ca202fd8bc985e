// The replays of the P&F and line-break tabs in the main window: from a chosen date, one
// quote forward and back, ticks at a speed, the date reached, the cursor window over the
// partial chart, and the whole chart back at the end. That every step is the build of the
// quotes taken, whatever the order of the steps, is the model's test; here the chart
// shown ends at the quote reached.

#include "guiapp.h"

#include "chart.h"
#include "cursorwindow.h"
#include "datetimepicker.h"
#include "linebreak.h"
#include "mainwindow.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "replaybar.h"
#include "spinedit.h"

#include <QAction>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

// 120 daily quotes from 01.02.05 whose closes swing: columns and bricks come and go.
std::vector<std::string> Lines()
{
    std::vector<std::string> lines;
    const QDate first(2005, 2, 1);
    for (int i = 0; i < 120; ++i) {
        const int close = 100 + (i % 17) * 3 - (i % 5) * 4 + i / 4;
        lines.push_back(first.addDays(i).toString(QStringLiteral("dd.MM.yy")).toStdString()
                        + ";10:00;" + std::to_string(close - 1) + ";" + std::to_string(close + 2) + ";"
                        + std::to_string(close - 3) + ";" + std::to_string(close) + ";"
                        + std::to_string(100 + i));
    }
    return lines;
}

class ReplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = test::ShownMainWindow(file.path);
        form->aReplay->setChecked(true);
        QCoreApplication::processEvents();
    }

    const PFDocument &Doc() const { return form->Document(); }
    // The P&F chart the grid shows ends with quote k (its newest column's period ends there).
    bool PFChartEndsAt(int k) const
    {
        const TFPoint &newest = *Doc().FColumns.Items(Doc().FColumns.Count() - 1);
        return form->sg->ColCount() == Doc().sg.ColCount
               && newest.PeriodEnd().starts_with(Doc().QuoteList.Items(k - 1)->DateText);
    }
    // The line-break series shows the bricks of the first k quotes, at consecutive places.
    bool BricksShown(int k) const
    {
        TFList prefix;
        for (int i = 0; i < k; ++i)
            prefix.AddNew() = *Doc().QuoteList.Items(i);
        const std::vector<LineBrick> bricks = BuildLineBreakBricks(prefix);
        const chart::CandleSeries &s = *form->LineBreakSeries;
        bool same = s.Count() == static_cast<int>(bricks.size());
        for (int i = 0; same && i < s.Count(); ++i) {
            const chart::Candle c = s.At(i);
            const LineBrick &b = bricks[static_cast<std::size_t>(i)];
            same = c.x == i && c.open == b.Open && c.high == b.High && c.low == b.Low && c.close == b.Close;
        }
        return same;
    }

    test::QuoteFile file{"swing.txt", Lines()};
    std::unique_ptr<TForm1> form;
    test::MessageRecorder recorder;
};

} // namespace

TEST_F(ReplayTest, ThePFTabGrowsTheChartQuoteByQuoteAndGivesTheWholeChartBack)
{
    ReplayBar &bar = *form->PFReplayBar();
    EXPECT_TRUE(bar.isVisibleTo(form.get()));
    const long long whole = Doc().sg.BoxCount();
    // The start date is the file's first date until one is chosen.
    EXPECT_EQ(bar.StartDate->Value(), Doc().QuoteList.Items(0)->DateTime);

    // From the 41st quote's date: the chart of the quotes up to it, paused.
    bar.StartDate->SetValue(Doc().QuoteList.Items(40)->DateTime);
    bar.StepForward();
    EXPECT_TRUE(bar.Active() && !bar.Running());
    EXPECT_EQ(bar.Taken(), 41);
    EXPECT_TRUE(PFChartEndsAt(41));
    EXPECT_EQ(bar.ReachedText(), QStringLiteral("41 / 120  13.03.05 10:00"));
    EXPECT_EQ(Doc().FColTopRow, Doc().sg.TopRows()); // the strips read the chart shown
    bar.StepForward();
    EXPECT_TRUE(PFChartEndsAt(42));
    bar.StepBack();
    bar.StepBack();
    bar.StepBack();
    EXPECT_TRUE(PFChartEndsAt(39)); // back past the start date
    // With the signals on, they are the partial chart's: found again at every step.
    form->aSignals->trigger();
    bar.StepForward();
    EXPECT_EQ(form->SignalOverlay().Signals().ColumnCount, Doc().sg.ColCount);

    // The cursor window describes the partial chart: a box of its newest column carries a
    // quote taken so far.
    const int c = Doc().sg.ColCount - 1;
    const QPoint p = test::Hover(*form, c);
    ASSERT_NE(form->CursorWnd(), nullptr);
    const int quote = Doc().sg.CellQuote(c, form->sg->MouseCoord(p.x(), p.y()).y());
    EXPECT_TRUE(quote >= 0 && quote < 40) << quote;
    EXPECT_EQ(form->ViewState().FColumnRec.get(), Doc().FColumns.Items(c));

    // Ticks at 100 quotes a second: 4 quotes a tick.
    bar.Speed->SetValue(100);
    bar.Play();
    EXPECT_TRUE(bar.Running());
    bar.Tick();
    EXPECT_EQ(bar.Taken(), 44);
    EXPECT_TRUE(PFChartEndsAt(44));
    // The pointer rests on the grid: the cell under it is looked up in the new chart.
    EXPECT_EQ(form->ViewState().FColumnRec.get(), Doc().FColumns.Items(form->sg->MouseCoord(p.x(), p.y()).x()));
    while (bar.Running())
        bar.Tick();
    // The last quote reached: paused on the whole chart, the replay still on.
    EXPECT_EQ(bar.Taken(), 120);
    EXPECT_TRUE(bar.Active());
    EXPECT_EQ(Doc().sg.BoxCount(), whole);
    bar.Play(); // again from the date
    EXPECT_EQ(bar.Taken(), 41);

    bar.Stop();
    EXPECT_FALSE(bar.Active());
    EXPECT_TRUE(bar.ReachedText().isEmpty());
    EXPECT_TRUE(PFChartEndsAt(120));
    EXPECT_EQ(Doc().sg.BoxCount(), whole);
    EXPECT_EQ(form->SignalOverlay().Signals().ColumnCount, Doc().sg.ColCount);
    EXPECT_EQ(Doc().FColTopRow, Doc().sg.TopRows());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(ReplayTest, ARefreshAnOpenOrHidingTheBarsEndTheReplay)
{
    ReplayBar &bar = *form->PFReplayBar();
    bar.StepForward();
    ASSERT_EQ(bar.Taken(), 1);
    // A new box size: the replay ends and the Refresh builds the whole chart.
    form->eBox->setText(QStringLiteral("3"));
    form->aRefresh->trigger();
    EXPECT_FALSE(bar.Active());
    EXPECT_TRUE(PFChartEndsAt(120));
    EXPECT_EQ(Doc().sg.Box, 3);

    bar.StepForward();
    form->LineBreakReplayBar()->StepForward();
    form->aReplay->setChecked(false);
    EXPECT_FALSE(bar.Active() || form->LineBreakReplayBar()->Active());
    EXPECT_FALSE(bar.isVisibleTo(form.get()));

    form->aReplay->setChecked(true);
    bar.StepForward();
    form->OpenQuoteFile(QString::fromStdString(file.path));
    EXPECT_FALSE(bar.Active());

    // Nothing built yet in a new window: the bar cannot be used, and the replay would say
    // so and stay off.
    TForm1 empty;
    empty.SetOpenDialogHook([] { return QString(); });
    EXPECT_FALSE(empty.PFReplayBar()->isEnabled());
    EXPECT_THROW(empty.PFReplayBar()->StepForward(), PFError);
    EXPECT_FALSE(empty.PFReplayBar()->Active());
}

// The series adds and drops bricks at its end as the replay steps: it holds the bricks of
// the quotes taken whichever way it went.
TEST_F(ReplayTest, TheLineBreakTabGrowsItsBricksQuoteByQuote)
{
    ReplayBar &bar = *form->LineBreakReplayBar();
    bar.StartDate->SetValue(Doc().QuoteList.Items(59)->DateTime);
    bar.StepForward();
    EXPECT_TRUE(BricksShown(60));
    bar.StepForward();
    EXPECT_TRUE(BricksShown(61));
    for (int k = 60; k >= 45; --k) // back across bricks that go
        bar.StepBack();
    EXPECT_TRUE(BricksShown(45));
    bar.Speed->SetValue(1000);
    bar.Play();
    bar.Tick();
    EXPECT_EQ(bar.Taken(), 85);
    EXPECT_TRUE(BricksShown(85));
    bar.Stop();
    EXPECT_TRUE(BricksShown(120));
    EXPECT_FALSE(form->PFReplayBar()->Active()); // the P&F tab was not touched
}

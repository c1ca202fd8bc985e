// The candle tab wires the range and replay rules (tested in the model) to its controls:
// the series after each handler, Label7, the timer and the two buttons.

#include "candletab.h"

#include "chart.h"
#include "datetimepicker.h"
#include "spinedit.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <memory>
#include <vector>

using namespace korvala;

namespace {

double Date(const char *date, const char *time = "00:00") { return ParseQuoteDateTime(date, time); }

class CandleTabTest : public ::testing::Test
{
protected:
    // One quote a day at 00:00 from first to last, with distinct prices.
    void Fill(double first, double last)
    {
        for (double d = first; d <= last; d += 1) {
            TFPoint &q = quotes.AddNew();
            q.DateTime = d;
            q.Open = d + 0.25, q.High = d + 0.5, q.Low = d - 0.5, q.Close = d - 0.25;
        }
    }

    // The first candle shown, the date of the last one and their number.
    std::vector<double> Shown() const
    {
        const chart::CandleSeries &s = *tab->CandleSeries;
        const chart::Candle a = s.At(0), b = s.At(s.Count() - 1);
        return {a.x, a.open, a.high, a.low, a.close, b.x, static_cast<double>(s.Count())};
    }
    std::vector<double> Quotes(int first, int last) const
    {
        const TFPoint &a = *quotes.Items(first);
        return {a.DateTime, a.Open, a.High, a.Low, a.Close, quotes.Items(last)->DateTime,
                static_cast<double>(last - first + 1)};
    }
    static void Click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    TFList quotes;
    std::unique_ptr<CandleTabView> tab = std::make_unique<CandleTabView>(quotes);
};

} // namespace

TEST_F(CandleTabTest, CreatedWithItsPanelAndSampleCandles)
{
    EXPECT_EQ(test::Texts({tab->Label5, tab->Label6, tab->Label7, tab->Label4, tab->BitBtn1, tab->BitBtn2,
                           tab->Label8}),
              "Конец|-|=|Начало|Прокрутка|Стоп|x 0.1 сек|");
    EXPECT_TRUE(tab->Button2->isHidden() && tab->Button3->isHidden() && tab->Button4->isHidden());
    EXPECT_EQ(tab->CandleSeries->Count(), 100);
    EXPECT_EQ(tab->DateTimePicker2->Value(), Date("19.12.05", "15:26"));
    EXPECT_EQ(tab->SpinEdit2->Text() + tab->SpinEdit3->Text(), QStringLiteral("2222"));

    // An empty list leaves the pickers and an empty chart.
    tab->RefreshCandles();
    EXPECT_EQ(tab->CandleSeries->Count(), 0);
    EXPECT_EQ(tab->DateTimePicker1->Value(), Date("19.12.05", "15:26"));
}

TEST_F(CandleTabTest, TheRangeHandlersRefillTheSeries)
{
    Fill(Date("01.01.04"), Date("31.03.05"));
    const int last = quotes.Count() - 1;
    tab->SetEndDateAndApply(Date("31.03.05"));
    EXPECT_EQ(tab->DateTimePicker1->text(), QStringLiteral("21.08.2004"));
    EXPECT_EQ(Shown(), Quotes(last - 222, last));
    EXPECT_TRUE(tab->CandleSeries->Dated());

    // A start picked by hand: Label7 tells how it stands to the days (the model's sign),
    // and no rebuild until Refresh.
    tab->DateTimePicker1->setDate(QDate(2005, 3, 21));
    EXPECT_EQ(tab->Label7->text(), QStringLiteral("<>"));
    EXPECT_EQ(Shown(), Quotes(last - 222, last));
    tab->RefreshCandles();
    EXPECT_EQ(Shown(), Quotes(last - 10, last));
    // The days: the start moves, the chart follows, Label7 stays as it was.
    tab->SpinEdit2->SetText(QStringLiteral("30"));
    EXPECT_EQ(Shown(), Quotes(last - 30, last));
    EXPECT_EQ(tab->Label7->text(), QStringLiteral("<>"));
    // The speed runs the same handler; a cleared days text changes nothing.
    tab->DateTimePicker1->setDate(QDate(2005, 3, 21));
    tab->SpinEdit3->SetText(QStringLiteral("5"));
    EXPECT_EQ(Shown(), Quotes(last - 30, last));
    tab->SpinEdit2->SetText(QString());
    EXPECT_EQ(Shown(), Quotes(last - 30, last));
    // The hidden "<" moves the end back by 3 days and counts the empty days text as 1.
    tab->Button2Click();
    EXPECT_EQ(Shown(), Quotes(last - 4, last - 3));
    tab->DateTimePicker2->setDate(QDate(2005, 3, 31)); // the user picks the end date
    EXPECT_EQ(Shown(), Quotes(last - 1, last));
}

TEST_F(CandleTabTest, ReplayFramesTimerAndButtons)
{
    Fill(38000, 38099);
    Click(tab->BitBtn1);
    EXPECT_TRUE(tab->Timer2->isActive());
    EXPECT_EQ(tab->Timer2->interval(), 200);
    EXPECT_EQ(tab->CandleSeries->Count(), 100); // nothing drawn before the first tick
    tab->Timer2Timer();
    EXPECT_EQ(Shown(), Quotes(2, 62));
    Click(tab->BitBtn1); // ignored: the replay goes on from where it is
    tab->SpinEdit3->SetText(QStringLiteral("100")); // keeps the interval
    EXPECT_EQ(tab->Timer2->interval(), 200);
    tab->Timer2Timer();
    EXPECT_EQ(Shown(), Quotes(3, 63));
    Click(tab->BitBtn2); // "Стоп" keeps the frame
    EXPECT_FALSE(tab->Timer2->isActive());
    EXPECT_EQ(Shown(), Quotes(3, 63));
    // No resume: a new start begins again at 2, with the speed read now; the last frame stops it.
    Click(tab->BitBtn1);
    EXPECT_EQ(tab->Timer2->interval(), 10000);
    for (int ticks = 0; tab->ReplayRunning() && ticks < 100; ++ticks)
        tab->Timer2Timer();
    EXPECT_FALSE(tab->Timer2->isActive());
    // Speed 0 runs without ticks until "Стоп"; a real tick of the timer drives the replay.
    tab->SpinEdit3->SetText(QStringLiteral("0"));
    Click(tab->BitBtn1);
    EXPECT_TRUE(tab->ReplayRunning() && !tab->Timer2->isActive());
    Click(tab->BitBtn2);
    EXPECT_FALSE(tab->ReplayRunning());
    tab->SpinEdit3->SetText(QStringLiteral("1"));
    Click(tab->BitBtn1);
    QTRY_VERIFY_WITH_TIMEOUT(Shown() == Quotes(2, 62), 2000);
    Click(tab->BitBtn2);
}

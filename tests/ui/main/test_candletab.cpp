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

namespace korvala {

// Looks inside the tab: its controls and handlers by the names the program gives them.
class CandleTabViewProbe : public ::testing::Test
{
protected:
    static double Date(const char *date, const char *time = "00:00")
    {
        return ParseQuoteDateTime(date, time);
    }

    // One quote a day at 00:00 from first to last (or n quotes), with distinct prices.
    void Fill(double first, double last)
    {
        for (double d = first; d <= last; d += 1) {
            TFPoint &q = quotes.AddNew();
            q.DateTime = d;
            q.Open = d + 0.25, q.High = d + 0.5, q.Low = d - 0.5, q.Close = d - 0.25;
        }
    }
    void FillCount(int n) { Fill(38000, 38000 + n - 1); }

    // The first candle shown, the date of the last one and their number.
    std::vector<double> Shown() const
    {
        const chart::CandleSeries &s = *CandleSeries;
        const chart::Candle a = s.At(0), b = s.At(s.Count() - 1);
        return {a.x, a.open, a.high, a.low, a.close, b.x, static_cast<double>(s.Count())};
    }
    std::vector<double> Quotes(int first, int last) const
    {
        const TFPoint &a = *quotes.Items(first);
        return {a.DateTime, a.Open, a.High, a.Low, a.Close, quotes.Items(last)->DateTime,
                static_cast<double>(last - first + 1)};
    }
    void Pick(DateTimePicker &picker, QDate date) const { picker.setDate(date); }
    void Click(QPushButton *button) const { QTest::mouseClick(button, Qt::LeftButton); }

    TFList quotes;
    std::unique_ptr<CandleTabView> tab = std::make_unique<CandleTabView>(quotes);
    // The tab's parts, by their names.
    chart::CandleSeries *CandleSeries = tab->CandleSeries;
    DateTimePicker *DateTimePicker1 = tab->DateTimePicker1, *DateTimePicker2 = tab->DateTimePicker2;
    SpinEdit *SpinEdit2 = tab->SpinEdit2, *SpinEdit3 = tab->SpinEdit3;
    QLabel *Label4 = tab->Label4, *Label5 = tab->Label5, *Label6 = tab->Label6, *Label7 = tab->Label7,
           *Label8 = tab->Label8;
    QPushButton *BitBtn1 = tab->BitBtn1, *BitBtn2 = tab->BitBtn2, *Button2 = tab->Button2,
                *Button3 = tab->Button3, *Button4 = tab->Button4;
    QTimer *Timer2 = tab->Timer2;
    void Timer2Timer() const { tab->Timer2Timer(); }
    void Button2Click() const { tab->Button2Click(); }
    int FReplayFirst() const { return tab->m_replay.FReplayFirst; }
};

} // namespace korvala

using korvala::CandleTabViewProbe;
using namespace korvala;

TEST_F(CandleTabViewProbe, CreatedWithItsPanelAndSampleCandles)
{
    const std::pair<QWidget *, const char *> captions[] = {
        {Label5, "Конец"}, {Label6, "-"}, {Label7, "="}, {Label4, "Начало"},
        {BitBtn1, "Прокрутка"}, {BitBtn2, "Стоп"}, {Label8, "x 0.1 сек"}};
    for (const auto &[widget, text] : captions) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const QString shown = label ? label->text() : static_cast<QPushButton *>(widget)->text();
        EXPECT_EQ(shown.toStdString(), text);
    }
    EXPECT_TRUE(Button2->isHidden() && Button3->isHidden() && Button4->isHidden());
    EXPECT_EQ(CandleSeries->Count(), 100);
    EXPECT_EQ(DateTimePicker2->Value(), Date("19.12.05", "15:26"));
    EXPECT_EQ(SpinEdit2->Text() + SpinEdit3->Text(), QStringLiteral("2222"));

    // An empty list leaves the pickers and an empty chart.
    tab->RefreshCandles();
    EXPECT_EQ(CandleSeries->Count(), 0);
    EXPECT_EQ(DateTimePicker1->Value(), Date("19.12.05", "15:26"));
}

TEST_F(CandleTabViewProbe, TheRangeHandlersRefillTheSeries)
{
    Fill(Date("01.01.04"), Date("31.03.05"));
    const int last = quotes.Count() - 1;
    tab->SetEndDateAndApply(Date("31.03.05"));
    EXPECT_EQ(DateTimePicker1->text(), QStringLiteral("21.08.2004"));
    EXPECT_EQ(Shown(), Quotes(last - 222, last));
    EXPECT_TRUE(CandleSeries->Dated());

    // A start picked by hand: "<>" and no rebuild until Refresh.
    Pick(*DateTimePicker1, QDate(2005, 3, 21));
    EXPECT_EQ(Label7->text(), QStringLiteral("<>"));
    EXPECT_EQ(Shown(), Quotes(last - 222, last));
    // The days: the start moves, the chart follows, Label7 stays as it was.
    SpinEdit2->SetText(QStringLiteral("10"));
    EXPECT_EQ(Shown(), Quotes(last - 10, last));
    EXPECT_EQ(Label7->text(), QStringLiteral("<>"));
    Pick(*DateTimePicker1, QDate(2005, 3, 1));
    Pick(*DateTimePicker1, QDate(2005, 3, 21));
    EXPECT_EQ(Label7->text(), QStringLiteral("="));
    Pick(*DateTimePicker1, QDate(2005, 3, 1));
    tab->RefreshCandles();
    EXPECT_EQ(Shown(), Quotes(last - 30, last));
    // The speed runs the same handler; a cleared days text changes nothing.
    SpinEdit3->SetText(QStringLiteral("5"));
    EXPECT_EQ(Shown(), Quotes(last - 10, last));
    SpinEdit2->SetText(QString());
    EXPECT_EQ(Shown(), Quotes(last - 10, last));
    // The hidden "<" moves the end back by 3 days and counts the empty days text as 1.
    Button2Click();
    EXPECT_EQ(Shown(), Quotes(last - 4, last - 3));
    Pick(*DateTimePicker2, QDate(2005, 3, 31)); // the user picks the end date
    EXPECT_EQ(Shown(), Quotes(last - 1, last));
}

TEST_F(CandleTabViewProbe, ReplayFramesTimerAndButtons)
{
    FillCount(100);
    Click(BitBtn1);
    EXPECT_TRUE(Timer2->isActive());
    EXPECT_EQ(Timer2->interval(), 200);
    EXPECT_EQ(CandleSeries->Count(), 100); // nothing drawn before the first tick
    Timer2Timer();
    EXPECT_EQ(Shown(), Quotes(2, 62));
    Timer2Timer();
    Timer2Timer();
    Click(BitBtn1); // ignored: the replay goes on from where it is
    Timer2Timer();
    EXPECT_EQ(Shown(), Quotes(5, 65));
    SpinEdit3->SetText(QStringLiteral("100")); // redraws the range, keeps the interval
    EXPECT_EQ(Timer2->interval(), 200);
    Timer2Timer();
    EXPECT_EQ(Shown(), Quotes(6, 66));
    Click(BitBtn2); // "Стоп" keeps the frame
    EXPECT_FALSE(Timer2->isActive());
    EXPECT_EQ(Shown(), Quotes(6, 66));
    // No resume: a new start begins again at 2, with the speed read now; the last frame stops it.
    Click(BitBtn1);
    EXPECT_EQ(Timer2->interval(), 10000);
    while (tab->ReplayRunning() && FReplayFirst() < 100)
        Timer2Timer();
    EXPECT_FALSE(Timer2->isActive());
    // Speed 0 runs without ticks until "Стоп"; a real tick of the timer drives the replay.
    SpinEdit3->SetText(QStringLiteral("0"));
    Click(BitBtn1);
    EXPECT_TRUE(tab->ReplayRunning() && !Timer2->isActive());
    Click(BitBtn2);
    EXPECT_FALSE(tab->ReplayRunning());
    SpinEdit3->SetText(QStringLiteral("1"));
    Click(BitBtn1);
    QTRY_VERIFY_WITH_TIMEOUT(FReplayFirst() >= 2, 2000);
    Click(BitBtn2);
}

#include "candletab.h"

#include "chart.h"
#include "datetimepicker.h"
#include "spinedit.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace korvala {

// Looks inside the tab: its controls and handlers by the names the program gives them.
class TCandleTabProbe : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_candletab";
            static char *argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override { tab = std::make_unique<TCandleTab>(quotes); }

    static double Date(const char *date, const char *time = "00:00")
    {
        return ParseQuoteDateTime(date, time);
    }

    // One quote a day at 00:00, first to last inclusive, with distinct prices.
    void FillDaily(double first, double last)
    {
        for (double d = first; d <= last; d += 1)
            AddQuote(d);
    }
    void FillCount(int n)
    {
        for (int i = 0; i < n; ++i)
            AddQuote(38000 + i);
    }
    void AddQuote(double dateTime)
    {
        TFPoint &q = quotes.AddNew();
        q.DateTime = dateTime;
        q.Open = dateTime + 0.25;
        q.High = dateTime + 0.5;
        q.Low = dateTime - 0.5;
        q.Close = dateTime - 0.25;
    }

    chart::CandleSeries &Series() const { return *tab->CandleSeries; }
    TDateTimePicker &Start() const { return *tab->DateTimePicker1; }
    TDateTimePicker &End() const { return *tab->DateTimePicker2; }
    TSpinEdit &Days() const { return *tab->SpinEdit2; }
    TSpinEdit &Speed() const { return *tab->SpinEdit3; }
    QString Sign() const { return tab->Label7->text(); }
    bool TimerOn() const { return tab->m_timer2Enabled; }
    QTimer &Timer() const { return *tab->Timer2; }
    const TCandleReplay &Replay() const { return tab->m_replay; }
    void Tick() const { tab->Timer2Timer(); }
    void ClickStart() const { QTest::mouseClick(tab->BitBtn1, Qt::LeftButton); }
    void ClickStop() const { QTest::mouseClick(tab->BitBtn2, Qt::LeftButton); }
    void Button2Click() const { tab->Button2Click(); }
    // The user picks a date in the start picker.
    static void Pick(TDateTimePicker &picker, QDate date) { picker.setDate(date); }

    // The candle at index k shows quote i.
    void ExpectCandleOfQuote(int k, int i) const
    {
        const chart::Candle c = Series().At(k);
        const TFPoint &q = *quotes.Items(i);
        EXPECT_EQ(c.x, q.DateTime) << k;
        EXPECT_EQ(c.open, q.Open) << k;
        EXPECT_EQ(c.high, q.High) << k;
        EXPECT_EQ(c.low, q.Low) << k;
        EXPECT_EQ(c.close, q.Close) << k;
    }

    TFList quotes;
    std::unique_ptr<TCandleTab> tab;

    static void ExpectAt(const QWidget *w, int left, int top)
    {
        EXPECT_EQ(w->pos(), QPoint(left, top)) << w->objectName().toStdString();
    }
    void ExpectLayout() const
    {
        const TCandleTab &t = *tab;
        EXPECT_EQ(t.Panel4->height(), 95);
        EXPECT_EQ(t.Panel4->frameShadow(), QFrame::Sunken);
        struct Item
        {
            const QWidget *w;
            int left, top;
            const char *text;
        };
        const Item items[] = {
            {t.Label5, 8, 8, "Конец"},          {t.Label6, 162, 27, "-"},
            {t.Label7, 260, 27, "="},           {t.Label4, 280, 8, "Начало"},
            {t.BitBtn1, 472, 8, "Прокрутка"},   {t.BitBtn2, 472, 40, "Стоп"},
            {t.Label8, 640, 16, "x 0.1 сек"},   {t.Button2, 96, 8, "<"},
            {t.Button3, 128, 8, ">"},           {t.Button4, 280, 48, "В начало"},
        };
        for (const Item &item : items) {
            ExpectAt(item.w, item.left, item.top);
            const QString want = QString::fromUtf8(item.text);
            if (auto *label = qobject_cast<const QLabel *>(item.w))
                EXPECT_EQ(label->text(), want);
            else
                EXPECT_EQ(static_cast<const QPushButton *>(item.w)->text(), want);
        }
        ExpectAt(t.DateTimePicker2, 8, 24);
        ExpectAt(t.SpinEdit2, 176, 24);
        ExpectAt(t.DateTimePicker1, 280, 24);
        ExpectAt(t.SpinEdit3, 552, 8);
        EXPECT_TRUE(t.Button2->isHidden());
        EXPECT_TRUE(t.Button3->isHidden());
        EXPECT_TRUE(t.Button4->isHidden());
        EXPECT_FALSE(t.BitBtn1->isHidden());
        EXPECT_FALSE(t.CandleChart->LegendVisible());
        EXPECT_FALSE(t.CandleChart->View3D());
    }
};

} // namespace korvala

using korvala::TCandleTabProbe;
using namespace korvala;

TEST_F(TCandleTabProbe, CreatedWithItsPanelAndSampleCandles)
{
    ExpectLayout();
    EXPECT_EQ(Series().Count(), 100);
    EXPECT_EQ(End().Value(), Date("19.12.05", "15:26"));
    EXPECT_EQ(Start().Value(), Date("19.12.05", "15:26"));
    EXPECT_EQ(End().text(), QStringLiteral("19.12.2005"));
    EXPECT_EQ(Days().Text(), QStringLiteral("222"));
    EXPECT_EQ(Days().MinValue(), 1);
    EXPECT_EQ(Days().MaxValue(), 1000000);
    EXPECT_EQ(Speed().Text(), QStringLiteral("2"));
    EXPECT_EQ(Speed().MaxValue(), 100);
    EXPECT_FALSE(TimerOn());
    EXPECT_FALSE(Timer().isActive());
}

TEST_F(TCandleTabProbe, OpenShowsTheLast222DaysInclusive)
{
    FillDaily(Date("01.01.04"), Date("31.03.05"));
    tab->SetEndDateAndApply(quotes.Items(quotes.Count() - 1)->DateTime);
    EXPECT_EQ(Start().Value(), Date("21.08.04"));
    EXPECT_EQ(Start().text(), QStringLiteral("21.08.2004"));
    EXPECT_EQ(End().text(), QStringLiteral("31.03.2005"));
    ASSERT_EQ(Series().Count(), 223);
    EXPECT_TRUE(Series().Dated());
    const int first = static_cast<int>(Date("21.08.04") - Date("01.01.04"));
    for (int k = 0; k < 223; ++k)
        ExpectCandleOfQuote(k, first + k);
    EXPECT_EQ(Sign(), QStringLiteral("="));

    // Refresh rebuilds the same range from the pickers.
    Days().SetText(QString()); // no rebuild while the field is cleared
    Series().Clear();
    tab->RefreshCandles();
    EXPECT_EQ(Series().Count(), 223);
}

TEST_F(TCandleTabProbe, OneDayShowsTheLastDayAndTheDayBefore)
{
    FillDaily(Date("01.01.05"), Date("31.03.05"));
    tab->SetEndDateAndApply(Date("31.03.05"));
    Days().SetText(QStringLiteral("1"));
    EXPECT_EQ(Start().Value(), Date("30.03.05"));
    ASSERT_EQ(Series().Count(), 2);
    ExpectCandleOfQuote(0, quotes.Count() - 2);
    ExpectCandleOfQuote(1, quotes.Count() - 1);
}

TEST_F(TCandleTabProbe, StartSetByHandOnlyChangesTheSign)
{
    FillDaily(Date("01.01.04"), Date("31.03.05"));
    tab->SetEndDateAndApply(Date("31.03.05"));
    ASSERT_EQ(Series().Count(), 223);

    Pick(Start(), QDate(2005, 3, 21)); // 10 days before the end, days still 222
    EXPECT_EQ(Start().Value(), Date("21.03.05"));
    EXPECT_EQ(Sign(), QStringLiteral("<>"));
    EXPECT_EQ(Series().Count(), 223); // the chart does not change

    Days().SetText(QStringLiteral("10"));
    EXPECT_EQ(Start().Value(), Date("21.03.05"));
    EXPECT_EQ(Series().Count(), 11);
    EXPECT_EQ(Sign(), QStringLiteral("<>")); // only the start-date handler writes it
    Pick(Start(), QDate(2005, 3, 20));
    Pick(Start(), QDate(2005, 3, 21));
    EXPECT_EQ(Sign(), QStringLiteral("="));

    // A start chosen by hand takes effect at the next Refresh.
    Pick(Start(), QDate(2005, 3, 1));
    EXPECT_EQ(Series().Count(), 11);
    tab->RefreshCandles();
    EXPECT_EQ(Series().Count(), 31);
}

TEST_F(TCandleTabProbe, SpeedChangeAppliesTheRangeAgain)
{
    FillDaily(Date("01.01.04"), Date("31.03.05"));
    tab->SetEndDateAndApply(Date("31.03.05"));
    Pick(Start(), QDate(2005, 3, 1));
    tab->RefreshCandles();
    ASSERT_EQ(Series().Count(), 31);
    Speed().SetText(QStringLiteral("5"));
    EXPECT_EQ(Start().Value(), Date("21.08.04"));
    EXPECT_EQ(Series().Count(), 223);
}

TEST_F(TCandleTabProbe, DaysTextRules)
{
    FillDaily(Date("01.01.05"), Date("31.03.05"));
    tab->SetEndDateAndApply(Date("31.03.05"));
    // Cleared: nothing happens.
    Days().SetText(QString());
    EXPECT_EQ(Start().Value(), Date("31.03.05") - 222);
    // The end-date handler counts an empty text as 1.
    Button2Click();
    EXPECT_EQ(End().Value(), Date("28.03.05"));
    EXPECT_EQ(Start().Value(), Date("27.03.05"));
    EXPECT_EQ(Series().Count(), 2);
    // Not a whole number: 1. Beyond the arrows' range: used unchanged.
    Days().SetText(QStringLiteral("-"));
    EXPECT_EQ(Start().Value(), Date("27.03.05"));
    Days().SetText(QStringLiteral("2000000"));
    EXPECT_EQ(Start().Value(), Date("28.03.05") - 2000000);
    EXPECT_EQ(Series().Count(), 87); // 01.01.05 … 28.03.05
    Days().SetText(QStringLiteral("-1"));
    EXPECT_EQ(Series().Count(), 0);
    Days().SetText(QStringLiteral("0"));
    ASSERT_EQ(Series().Count(), 1);
    EXPECT_EQ(Series().At(0).x, Date("28.03.05"));
}

TEST_F(TCandleTabProbe, PickerKeepsTheTimeOfDay)
{
    FillDaily(Date("01.01.05"), Date("31.03.05"));
    tab->SetEndDateAndApply(Date("30.03.05", "12:00"));
    EXPECT_EQ(Start().Value(), Date("20.08.04", "12:00"));
    // The quote of 30.03 00:00 is before the end, the one of 31.03 after it.
    EXPECT_EQ(Series().At(Series().Count() - 1).x, Date("30.03.05"));
    Pick(End(), QDate(2005, 3, 31)); // the user picks another end date
    EXPECT_EQ(End().Value(), Date("31.03.05", "12:00"));
    EXPECT_EQ(Start().Value(), Date("21.08.04", "12:00"));
    EXPECT_EQ(Series().At(Series().Count() - 1).x, Date("31.03.05"));
}

TEST_F(TCandleTabProbe, TimerIntervalFromTheSpeed)
{
    FillCount(100);
    ClickStart();
    EXPECT_TRUE(TimerOn());
    EXPECT_TRUE(Timer().isActive());
    EXPECT_EQ(Timer().interval(), 200);
    EXPECT_EQ(Series().Count(), 100); // nothing drawn before the first tick
    ClickStop();
    Speed().SetText(QStringLiteral("100"));
    ClickStart();
    EXPECT_EQ(Timer().interval(), 10000);
    // Changing the speed while it runs leaves the interval.
    Speed().SetText(QStringLiteral("3"));
    EXPECT_EQ(Timer().interval(), 10000);
    ClickStop();
    EXPECT_FALSE(Timer().isActive());
}

TEST_F(TCandleTabProbe, SpeedZeroRunsWithoutTicksUntilStop)
{
    FillCount(100);
    Speed().SetText(QStringLiteral("0"));
    ClickStart();
    EXPECT_TRUE(TimerOn());
    EXPECT_FALSE(Timer().isActive());
    QTest::qWait(20);
    EXPECT_EQ(Replay().FReplayFirst, 1);
    ClickStart(); // still running: ignored
    ClickStop();
    EXPECT_FALSE(TimerOn());
}

TEST_F(TCandleTabProbe, HundredQuotesReplayFrameByFrame)
{
    FillCount(100);
    ClickStart();
    Tick();
    ASSERT_EQ(Series().Count(), 61);
    ExpectCandleOfQuote(0, 2);
    ExpectCandleOfQuote(60, 62);
    int ticks = 1;
    while (TimerOn() && ticks < 200) {
        if (Replay().FReplayFirst == 39) {
            ASSERT_EQ(Series().Count(), 61); // the last full frame, 39 … 99
            ExpectCandleOfQuote(60, 99);
        }
        Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 39);
    EXPECT_FALSE(Timer().isActive());
    EXPECT_EQ(Replay().FReplayFirst, 40);
    EXPECT_EQ(Replay().FReplayLast, 100);
    ASSERT_EQ(Series().Count(), 60);
    ExpectCandleOfQuote(0, 40);
    ExpectCandleOfQuote(59, 99);
}

TEST_F(TCandleTabProbe, SixtyTwoQuotesShowOneFrame)
{
    FillCount(62);
    ClickStart();
    Tick();
    EXPECT_FALSE(TimerOn());
    EXPECT_FALSE(Timer().isActive());
    ASSERT_EQ(Series().Count(), 60);
    ExpectCandleOfQuote(0, 2);
    ExpectCandleOfQuote(59, 61);
}

TEST_F(TCandleTabProbe, SecondStartIgnoredAndStopKeepsTheFrame)
{
    FillCount(100);
    ClickStart();
    Tick();
    Tick();
    Tick();
    ClickStart(); // ignored: the replay goes on from where it is
    EXPECT_EQ(Replay().FReplayFirst, 4);
    Tick();
    EXPECT_EQ(Replay().FReplayFirst, 5);
    ClickStop();
    EXPECT_FALSE(TimerOn());
    ASSERT_EQ(Series().Count(), 61);
    ExpectCandleOfQuote(0, 5);
    // No resume: a new start begins again with the frame at 2.
    ClickStart();
    Tick();
    ExpectCandleOfQuote(0, 2);
}

TEST_F(TCandleTabProbe, RefreshDuringAReplayKeepsItRunning)
{
    FillCount(100);
    ClickStart();
    Tick();
    tab->RefreshCandles(); // the pickers' range holds none of these quotes
    EXPECT_EQ(Series().Count(), 0);
    EXPECT_TRUE(TimerOn());
    Tick();
    ExpectCandleOfQuote(0, 3);
}

TEST_F(TCandleTabProbe, EmptyListLeavesThePickersAndAnEmptyChart)
{
    tab->RefreshCandles();
    EXPECT_EQ(Series().Count(), 0);
    EXPECT_EQ(Start().Value(), Date("19.12.05", "15:26"));
    EXPECT_EQ(End().Value(), Date("19.12.05", "15:26"));
    ClickStart();
    Tick();
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(Series().Count(), 0);
}

TEST_F(TCandleTabProbe, ATimerTickDrivesTheReplay)
{
    FillCount(100);
    Speed().SetText(QStringLiteral("1"));
    ClickStart();
    QTRY_COMPARE_WITH_TIMEOUT(Series().Count(), 61, 2000);
    EXPECT_GE(Replay().FReplayFirst, 2);
    ClickStop();
}

#include "uIndic.h"

#include "chart.h"
#include "spinedit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvala {

// Looks inside the indicator window by the names the program gives its parts.
class TfIndicProbe : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_uIndic";
            static char *argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override { w = std::make_unique<TfIndic>(&quotes); }

    void Fill(const std::vector<double> &closes)
    {
        for (double c : closes) {
            TFPoint &q = quotes.AddNew();
            q.Close = c;
            q.DateText = "0" + std::to_string(quotes.Count() % 10) + ".12.05 10:00";
        }
    }
    static std::vector<double> Closes(int n)
    {
        std::vector<double> c;
        for (int i = 0; i < n; ++i)
            c.push_back(100 + (i * 7 % 11) - 0.25 * i);
        return c;
    }

    std::vector<double> Values(const chart::LineSeries &s) const
    {
        std::vector<double> v;
        for (int i = 0; i < s.Count(); ++i)
            v.push_back(s.ValueAt(i));
        return v;
    }
    chart::LineSeries &S1() const { return *w->Series1; }
    chart::LineSeries &S2() const { return *w->Series2; }
    int Period() const { return w->FPeriod; }
    int Offset() const { return w->FOffset; }
    TSpinEdit &SpPeriod() const { return *w->spPeriod; }
    TSpinEdit &SpOffset() const { return *w->spOffset; }
    QCheckBox &Check1() const { return *w->CheckBox1; }
    QCheckBox &Check2() const { return *w->CheckBox2; }
    void SetPeriod(int p) const { w->FPeriod = p; }

    // Types into a spin the way a user does: select all, then the keys.
    static void Type(TSpinEdit &spin, const char *text)
    {
        spin.setFocus();
        QTest::keyClick(&spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&spin, QString::fromUtf8(text));
    }

    void ExpectPanel() const
    {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("fIndic"));
        EXPECT_EQ(w->size(), QSize(696, 480));
        EXPECT_EQ(w->Panel1->height(), 41);
        EXPECT_EQ(w->Panel1->y(), 0);
        EXPECT_EQ(w->Label1->text(), QStringLiteral("Last"));
        EXPECT_EQ(w->SpinEdit1->Text(), QStringLiteral("1"));
        EXPECT_EQ(w->SpinEdit1->MaxValue(), 10000000);
        ASSERT_EQ(w->ComboBox1->count(), 5);
        const char *items[] = {"100", "150", "200", "75", "50"};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(w->ComboBox1->itemText(i), QString::fromUtf8(items[i]));
        EXPECT_EQ(w->ComboBox1->currentIndex(), -1);
        EXPECT_FALSE(w->ComboBox1->isEditable());
        EXPECT_EQ(Check1().text(), QStringLiteral("CheckBox1"));
        EXPECT_EQ(Check2().text(), QStringLiteral("CheckBox2"));
        EXPECT_TRUE(Check1().isChecked());
        EXPECT_TRUE(Check2().isChecked());
        EXPECT_EQ(SpPeriod().Text(), QStringLiteral("3"));
        EXPECT_EQ(SpOffset().Text(), QStringLiteral("3"));
        EXPECT_EQ(SpPeriod().MaxValue(), 1000000);
        EXPECT_EQ(w->Chart1->Title(), QStringLiteral("TChart"));
        EXPECT_FALSE(w->Chart1->LegendVisible());
        EXPECT_FALSE(w->Chart1->View3D());
        EXPECT_TRUE(w->Chart1->MouseZoom());
        EXPECT_EQ(S1().Color(), QColor(255, 0, 0));
        EXPECT_EQ(S2().Color(), QColor(0, 128, 0));
        EXPECT_TRUE(S1().MarksVisible());
        EXPECT_TRUE(S2().MarksVisible());
    }

    TFList quotes;
    std::unique_ptr<TfIndic> w;
};

} // namespace korvala

using korvala::TfIndicProbe;
using namespace korvala;

TEST_F(TfIndicProbe, CreatedWithPeriod7Offset5WhileTheSpinsShow3And3)
{
    ExpectPanel();
    EXPECT_EQ(Period(), 7);
    EXPECT_EQ(Offset(), 5);
    EXPECT_EQ(S1().Count(), 0);
    EXPECT_EQ(S2().Count(), 0);
}

TEST_F(TfIndicProbe, CalcIndicatorWithTheCreationValues)
{
    const std::vector<double> c = Closes(20);
    Fill(c);
    w->CalcIndicator();
    EXPECT_EQ(Values(S1()), c);
    EXPECT_EQ(S1().LabelAt(0), QStringLiteral("01.12.05 10:00"));
    EXPECT_EQ(S1().LabelAt(19), QStringLiteral("00.12.05 10:00"));
    const std::vector<double> s2 = Values(S2());
    ASSERT_EQ(s2.size(), 25u);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(s2[i], c[i]);
    EXPECT_EQ(s2[6], c[0] + (c[1] - c[0]) / 7);
    EXPECT_TRUE(S2().LabelAt(6).isEmpty());
}

TEST_F(TfIndicProbe, TypingIntoPeriodReadsTheOffsetAtTheSameTime)
{
    Fill({10, 11, 12, 13});
    w->CalcIndicator();
    ASSERT_EQ(S2().Count(), 7); // 4 raw closes, then the averages of close[1] … close[3]
    Type(SpPeriod(), "2"); // P = 2, S = 3 from the offset spin
    EXPECT_EQ(Period(), 2);
    EXPECT_EQ(Offset(), 3);
    EXPECT_EQ(Values(S2()), (std::vector<double>{10, 11, 12, 10, 10.5, 11.25, 12.125}));
    Type(SpOffset(), "1");
    EXPECT_EQ(Values(S2()), (std::vector<double>{10, 10, 10.5, 11.25, 12.125}));
    EXPECT_EQ(Values(S1()), (std::vector<double>{10, 11, 12, 13}));
}

TEST_F(TfIndicProbe, EmptySpinTextChangesNothing)
{
    Fill({10, 11, 12, 13});
    w->CalcIndicator();
    SpPeriod().SetText(QString());
    EXPECT_EQ(Period(), 7);
    EXPECT_EQ(S2().Count(), 7);
    SpOffset().SetText(QStringLiteral("1")); // period still empty: nothing
    EXPECT_EQ(Offset(), 5);
    SpPeriod().SetText(QStringLiteral("2"));
    EXPECT_EQ(Period(), 2);
    EXPECT_EQ(Offset(), 1);
    EXPECT_EQ(S2().Count(), 5);
}

TEST_F(TfIndicProbe, NegativeOffsetShortensBothLines)
{
    Fill({10, 11, 12, 13, 14});
    SpPeriod().SetText(QStringLiteral("2"));
    SpOffset().SetText(QStringLiteral("-2"));
    EXPECT_EQ(Values(S1()), (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(Values(S2()), (std::vector<double>{10, 11.5, 12.75}));
}

TEST_F(TfIndicProbe, PeriodZeroKeepsThePointsAndRaises)
{
    const std::vector<double> c = Closes(20);
    Fill(c);
    SetPeriod(0);
    try {
        w->CalcIndicator();
        FAIL() << "no error";
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    // Offset 5: five raw closes were appended before the first smoothing step.
    EXPECT_EQ(Values(S1()), (std::vector<double>{c.begin(), c.begin() + 5}));
    EXPECT_EQ(Values(S2()), (std::vector<double>{c.begin(), c.begin() + 5}));
    // Typed into the spin, the handler raises it too.
    SpOffset().SetText(QStringLiteral("2"));
    EXPECT_THROW(SpPeriod().SetText(QStringLiteral("0")), std::exception);
    EXPECT_EQ(S2().Count(), 2);
}

TEST_F(TfIndicProbe, CheckBoxesShowAndHideTheMarks)
{
    Fill(Closes(10));
    w->show();
    w->CalcIndicator();
    QTest::mouseClick(&Check2(), Qt::LeftButton, {}, QPoint(5, Check2().height() / 2));
    EXPECT_FALSE(Check2().isChecked());
    EXPECT_FALSE(S2().MarksVisible());
    EXPECT_TRUE(S1().MarksVisible());
    EXPECT_EQ(S2().Count(), 15); // the line stays
    QTest::mouseClick(&Check1(), Qt::LeftButton, {}, QPoint(5, Check1().height() / 2));
    EXPECT_FALSE(S1().MarksVisible());
    QTest::mouseClick(&Check2(), Qt::LeftButton, {}, QPoint(5, Check2().height() / 2));
    EXPECT_TRUE(S2().MarksVisible());
}

TEST_F(TfIndicProbe, EmptyOrMissingListLeavesBothEmpty)
{
    w->CalcIndicator();
    EXPECT_EQ(S1().Count(), 0);
    EXPECT_EQ(S2().Count(), 0);
    w->SetQuoteList(nullptr);
    w->CalcIndicator();
    EXPECT_EQ(S2().Count(), 0);
}

TEST_F(TfIndicProbe, LinesKeepTheirDatesWhenTheListIsRefilled)
{
    Fill(Closes(20));
    w->CalcIndicator();
    quotes.Clear();
    Fill({1, 2});
    quotes.Items(0)->DateText = "other";
    EXPECT_EQ(S1().Count(), 20);
    EXPECT_EQ(S1().LabelAt(0), QStringLiteral("01.12.05 10:00"));
    EXPECT_EQ(S1().LabelAt(15), QStringLiteral("06.12.05 10:00"));
    w->grab(); // drawing reads no quote of the new list
}

TEST_F(TfIndicProbe, ShowsARedAndAGreenLine)
{
    Fill(Closes(60));
    w->show();
    w->CalcIndicator();
    QApplication::processEvents();
    const QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    int green = 0;
    for (int y = 41; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (p.red() > 200 && p.green() < 60 && p.blue() < 60)
                ++red;
            if (p.red() < 60 && p.green() > 100 && p.green() < 160 && p.blue() < 60)
                ++green;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
}

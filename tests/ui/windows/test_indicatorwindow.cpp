// The indicator window wires the series (whose rule is tested in the model) to its chart,
// its spins and its check boxes.

#include "indicatorwindow.h"

#include "appmessages.h"
#include "chart.h"
#include "pictureexport.h"
#include "spinedit.h"

#include <QCheckBox>
#include <QImage>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvala {

// Looks inside the indicator window by the names the program gives its parts.
class TfIndicProbe : public ::testing::Test
{
protected:
    void Fill(const std::vector<double> &closes)
    {
        for (double c : closes) {
            TFPoint &q = quotes.AddNew();
            q.Close = c;
            q.DateText = "0" + std::to_string(quotes.Count() % 10) + ".12.05 10:00";
        }
    }
    static std::vector<double> Values(const chart::LineSeries &s)
    {
        std::vector<double> v;
        for (int i = 0; i < s.Count(); ++i)
            v.push_back(s.ValueAt(i));
        return v;
    }
    // Types into a spin the way a user does: select all, then the keys.
    static void Type(SpinEdit &spin, const char *text)
    {
        spin.setFocus();
        QTest::keyClick(&spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&spin, QString::fromUtf8(text));
    }
    void Click(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2)); }

    TFList quotes;
    std::unique_ptr<TfIndic> w = std::make_unique<TfIndic>(&quotes);
    // The window's parts, by their names.
    QLabel *Label1 = w->Label1;
    SpinEdit *SpinEdit1 = w->SpinEdit1, *spPeriod = w->spPeriod, *spOffset = w->spOffset;
    QComboBox *ComboBox1 = w->ComboBox1;
    QCheckBox *CheckBox1 = w->CheckBox1, *CheckBox2 = w->CheckBox2;
    chart::Chart *Chart1 = w->Chart1;
    chart::LineSeries *Series1 = w->Series1, *Series2 = w->Series2;
    const int &FPeriod = w->FPeriod, &FOffset = w->FOffset;
    void SetPeriod(int p) { w->FPeriod = p; }
};

} // namespace korvala

using korvala::TfIndicProbe;
using namespace korvala;

TEST_F(TfIndicProbe, CreatedWithPeriod7Offset5WhileTheSpinsShow3And3)
{
    EXPECT_EQ(w->windowTitle(), QStringLiteral("fIndic"));
    EXPECT_EQ(Label1->text() + SpinEdit1->Text() + ComboBox1->itemText(0), QStringLiteral("Last1100"));
    EXPECT_EQ(CheckBox1->text() + CheckBox2->text() + Chart1->Title(),
              QStringLiteral("CheckBox1CheckBox2TChart"));
    EXPECT_TRUE(CheckBox1->isChecked() && CheckBox2->isChecked());
    EXPECT_TRUE(Series1->MarksVisible() && Series2->MarksVisible());
    EXPECT_EQ(Series1->Color(), QColor(255, 0, 0));
    EXPECT_EQ(Series2->Color(), QColor(0, 128, 0));
    EXPECT_EQ(spPeriod->Text() + spOffset->Text(), QStringLiteral("33"));
    EXPECT_EQ(std::make_pair(FPeriod, FOffset), std::make_pair(7, 5));

    // CalcIndicator uses 7 and 5: 20 closes, 25 averages; the closes carry their dates.
    Fill({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
    w->CalcIndicator();
    EXPECT_EQ(std::make_pair(Series1->Count(), Series2->Count()), std::make_pair(20, 25));
    EXPECT_EQ(Series2->ValueAt(6), 10 + 1.0 / 7);
    EXPECT_EQ(Series1->LabelAt(0), QStringLiteral("01.12.05 10:00"));
    EXPECT_TRUE(Series2->LabelAt(6).isEmpty());
    // The lines keep their dates when the list is refilled; drawing reads no new quote.
    quotes.Clear();
    Fill({1, 2});
    EXPECT_EQ(Series1->LabelAt(15), QStringLiteral("06.12.05 10:00"));
    w->grab();
    // An empty or missing list leaves both lines empty.
    quotes.Clear();
    w->CalcIndicator();
    EXPECT_EQ(Series1->Count() + Series2->Count(), 0);
    w->SetQuoteList(nullptr);
    w->CalcIndicator();
    EXPECT_EQ(Series2->Count(), 0);
}

TEST_F(TfIndicProbe, EitherSpinReadsBoth)
{
    Fill({10, 11, 12, 13});
    w->CalcIndicator();
    ASSERT_EQ(Series2->Count(), 7); // 4 raw closes, then the averages of close[1] … close[3]
    Type(*spPeriod, "2");            // P = 2, S = 3 from the offset spin
    EXPECT_EQ(FPeriod * 10 + FOffset, 23);
    EXPECT_EQ(Values(*Series2), (std::vector<double>{10, 11, 12, 10, 10.5, 11.25, 12.125}));
    Type(*spOffset, "1");
    EXPECT_EQ(Values(*Series2), (std::vector<double>{10, 10, 10.5, 11.25, 12.125}));
    EXPECT_EQ(Values(*Series1), (std::vector<double>{10, 11, 12, 13}));
    // An empty text in either spin changes nothing.
    spPeriod->SetText(QString());
    spOffset->SetText(QStringLiteral("2"));
    EXPECT_EQ(FPeriod * 10 + FOffset, 21);
    EXPECT_EQ(Series2->Count(), 5);
    spPeriod->SetText(QStringLiteral("2"));
    EXPECT_EQ(Series2->Count(), 6);
}

TEST_F(TfIndicProbe, PeriodZeroKeepsThePointsAndRaises)
{
    Fill({10, 11, 12, 13, 14, 15, 16});
    SetPeriod(0);
    try {
        w->CalcIndicator();
        ADD_FAILURE() << "no error";
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    // Offset 5: five raw closes were appended before the first smoothing step.
    EXPECT_EQ(Values(*Series1), (std::vector<double>{10, 11, 12, 13, 14}));
    EXPECT_EQ(Values(*Series2), Values(*Series1));
    // Typed into the spin: the handler raises it too, and its guard shows it as the
    // standard error message instead of letting it cross the signal.
    std::vector<AppMessage> shown;
    const MessageHook previous = SetMessageHook([&](const AppMessage &m) { shown.push_back(m); });
    spOffset->SetText(QStringLiteral("2"));
    EXPECT_NO_THROW(spPeriod->SetText(QStringLiteral("0")));
    SetMessageHook(previous);
    EXPECT_EQ(Series2->Count(), 2);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Floating point division by zero."));
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
}

TEST_F(TfIndicProbe, CheckBoxesShowAndHideTheMarksOfTheirLine)
{
    Fill({10, 11, 12, 13});
    w->show();
    w->CalcIndicator();
    Click(CheckBox2);
    EXPECT_FALSE(Series2->MarksVisible());
    EXPECT_TRUE(Series1->MarksVisible());
    EXPECT_EQ(Series2->Count(), 7); // the line stays
    Click(CheckBox1);
    EXPECT_FALSE(Series1->MarksVisible());
    Click(CheckBox2);
    EXPECT_TRUE(Series2->MarksVisible());
}

TEST_F(TfIndicProbe, TheChartsContextMenuAndItsPicture)
{
    Fill({10, 14, 11, 15, 12, 16, 13, 17});
    w->resize(700, 480);
    w->show();
    w->CalcIndicator();
    EXPECT_EQ(Chart1->actions().size(), 4);
    EXPECT_EQ(Chart1->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(w->ChartPicture(QSize(600, 300))->Image().size(), QSize(600, 300));
    EXPECT_EQ(w->ChartPicture()->Image().size(), Chart1->size());
}

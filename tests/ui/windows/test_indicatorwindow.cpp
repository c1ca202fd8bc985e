// The indicator window wires the series (whose rule is tested in the model) to its chart,
// its spins and its check boxes.

#include "indicatorwindow.h"

#include "appmessages.h"
#include "chart.h"
#include "indicator.h"
#include "pictureexport.h"
#include "spinedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <memory>
#include <string>
#include <vector>

using namespace korvala;

namespace {

std::vector<double> Values(const chart::LineSeries &s)
{
    std::vector<double> v;
    for (int i = 0; i < s.Count(); ++i)
        v.push_back(s.ValueAt(i));
    return v;
}

class IndicatorWindowTest : public ::testing::Test
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
    // The window's lines are the model's series of its quotes with period p and offset s.
    void ExpectSeries(int p, int s) const
    {
        const IndicatorSeries model = CalcIndicatorSeries(quotes, p, s);
        EXPECT_EQ(Values(*w->Series1), model.Series1) << p << " " << s;
        EXPECT_EQ(Values(*w->Series2), model.Series2) << p << " " << s;
    }
    void Click(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2)); }

    TFList quotes;
    std::unique_ptr<TfIndic> w = std::make_unique<TfIndic>(&quotes);
};

} // namespace

TEST_F(IndicatorWindowTest, CreatedWithPeriod7Offset5WhileTheSpinsShow3And3)
{
    EXPECT_EQ(w->Label1->text() + w->SpinEdit1->Text() + w->ComboBox1->itemText(0), QStringLiteral("Last1100"));
    EXPECT_EQ(w->Chart1->Title(), QStringLiteral("TChart"));
    EXPECT_TRUE(w->Series1->MarksVisible() && w->Series2->MarksVisible());
    EXPECT_EQ(w->Series1->Color(), QColor(255, 0, 0));
    EXPECT_EQ(w->Series2->Color(), QColor(0, 128, 0));
    EXPECT_EQ(w->spPeriod->Text() + w->spOffset->Text(), QStringLiteral("33"));

    // CalcIndicator uses 7 and 5; the closes carry their dates.
    Fill({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
    w->CalcIndicator();
    ExpectSeries(7, 5);
    EXPECT_EQ(w->Series1->LabelAt(0), QStringLiteral("01.12.05 10:00"));
    EXPECT_TRUE(w->Series2->LabelAt(6).isEmpty());
    // The lines keep their dates when the list is refilled; drawing reads no new quote.
    quotes.Clear();
    Fill({1, 2});
    EXPECT_EQ(w->Series1->LabelAt(15), QStringLiteral("06.12.05 10:00"));
    w->grab();
    // A missing list leaves both lines empty.
    w->SetQuoteList(nullptr);
    w->CalcIndicator();
    EXPECT_EQ(w->Series1->Count() + w->Series2->Count(), 0);
}

// Typed into either spin, the period and the offset are read from both; an empty text in
// either changes nothing. A period of 0 stops with the standard error message, the lines
// keeping what was made.
TEST_F(IndicatorWindowTest, EitherSpinReadsBothAndPeriodZeroShowsTheError)
{
    Fill({10, 11, 12, 13, 14, 15, 16});
    w->spPeriod->SetText(QStringLiteral("2"));
    ExpectSeries(2, 3);
    w->spOffset->SetText(QStringLiteral("1"));
    ExpectSeries(2, 1);
    w->spPeriod->SetText(QString());
    w->spOffset->SetText(QStringLiteral("4"));
    ExpectSeries(2, 1);
    w->spPeriod->SetText(QStringLiteral("3"));
    ExpectSeries(3, 4);

    std::vector<AppMessage> shown;
    const MessageHook previous = SetMessageHook([&](const AppMessage &m) { shown.push_back(m); });
    EXPECT_NO_THROW(w->spPeriod->SetText(QStringLiteral("0")));
    SetMessageHook(previous);
    EXPECT_EQ(Values(*w->Series2), (std::vector<double>{10, 11, 12, 13})); // the raw closes before the stop
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Floating point division by zero."));
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
}

TEST_F(IndicatorWindowTest, CheckBoxesShowAndHideTheMarksOfTheirLineTheChartIsAPicture)
{
    Fill({10, 14, 11, 15, 12, 16, 13, 17});
    w->resize(700, 480);
    w->show();
    w->CalcIndicator();
    Click(w->CheckBox2);
    EXPECT_FALSE(w->Series2->MarksVisible());
    EXPECT_TRUE(w->Series1->MarksVisible());
    EXPECT_EQ(w->Series2->Count(), 13); // the line stays
    Click(w->CheckBox1);
    EXPECT_FALSE(w->Series1->MarksVisible());
    Click(w->CheckBox2);
    EXPECT_TRUE(w->Series2->MarksVisible());

    EXPECT_EQ(w->Chart1->actions().size(), 4); // the chart's context menu: the export commands
    EXPECT_EQ(w->ChartPicture(QSize(600, 300))->Image().size(), QSize(600, 300));
    EXPECT_EQ(w->ChartPicture()->Image().size(), w->Chart1->size());
}

#include "finchart.h"
#include "swinglist.h"
#include "uChart.h"
#include "uView.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <string>
#include <vector>

using namespace korvala;

namespace {

void Load(TFList &list, const std::vector<std::string> &closes)
{
    std::string text = "header\r\n";
    int minute = 0;
    for (const std::string &c : closes) {
        text += "01.12.05;10:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + ";"
                + c + ";" + c + ";" + c + ";" + c + ";1\r\n";
        ++minute;
    }
    list.LoadFromStream(text);
}

std::string Text(const QLabel *label) { return label->text().toStdString(); }
std::string Text(const QLineEdit *edit) { return edit->text().toStdString(); }

// Runs action, which opens a modal window; inspect runs while it is shown, then the
// window is closed.
template <class Action, class Inspect>
void WhileModal(QDialog &dialog, Action action, Inspect inspect)
{
    bool seen = false;
    QTimer::singleShot(0, &dialog, [&] {
        seen = true;
        inspect();
        dialog.reject();
    });
    action();
    EXPECT_TRUE(seen) << "no modal window";
}

class Form2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Load(list, {"10", "11", "12", "11", "10", "13"}); // pivots on 2, 4 and 5
    }
    void Open()
    {
        form.Open(&list);
        form.show();
        QApplication::processEvents();
    }
    TFList list;
    TfReport report;
    TForm2 form{&report};
};

} // namespace

TEST_F(Form2Test, ControlsAsTheUserFirstSeesThem)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form2"));
    EXPECT_EQ(form.size(), QSize(696, 480));
    EXPECT_EQ(QFontInfo(form.font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(form.font().pixelSize(), 11);

    const std::vector<std::pair<QCheckBox *, const char *>> boxes{
        {form.CheckBox1, "Price (Close)"}, {form.CheckBox2, "Dinapoli"},
        {form.CheckBox3, "Resistence && support"}, {form.CheckBox4, "OP, COP, XOP"},
        {form.CheckBox5, "MA 3x3"}};
    // Captions as written for the toolkit, where "&&" shows one ampersand.
    for (const auto &[box, caption] : boxes)
        EXPECT_EQ(box->text().toStdString(), caption);
    EXPECT_TRUE(form.CheckBox1->isChecked() && form.CheckBox2->isChecked()
                && form.CheckBox3->isChecked() && form.CheckBox4->isChecked());
    EXPECT_FALSE(form.CheckBox5->isChecked());
    EXPECT_EQ(form.SpinEdit1->value(), 3);
    EXPECT_EQ(form.SpinEdit1->minimum(), 1);
    EXPECT_EQ(form.SpinEdit1->maximum(), 100000000);
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Отчет"));
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("+"));
    EXPECT_EQ(form.BitBtn2->text(), QStringLiteral("-"));
    EXPECT_EQ(form.BitBtn3->text(), QStringLiteral("-><-"));
    EXPECT_EQ(Text(form.Edit1) + Text(form.Edit2) + Text(form.Edit3) + Text(form.Edit4)
                  + Text(form.Edit5),
              "12122");
    EXPECT_EQ(Text(form.Label1), "Label1");
    EXPECT_EQ(Text(form.Label2), "Label2");
    EXPECT_EQ(Text(form.Label3), "Label1");
    EXPECT_EQ(Text(form.Label4), "Label2");
    EXPECT_EQ(Text(form.Label5), "Label2");
    EXPECT_EQ(form.Button2->text(), QStringLiteral("+"));
    EXPECT_EQ(form.Button3->text(), QStringLiteral("Button3"));
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("mm"));
    EXPECT_EQ(form.cbxItems->Count(), 0);

    // The chart's defaults match the switches.
    EXPECT_TRUE(form.Chart()->ShowClose() && form.Chart()->ShowZigzag()
                && form.Chart()->ShowResSup() && form.Chart()->ShowTargets());
    EXPECT_FALSE(form.Chart()->ShowMA3x3());
    EXPECT_EQ(form.Chart()->Period(), 3);
}

TEST_F(Form2Test, LayoutPanelsAndRows)
{
    Open();
    EXPECT_EQ(form.Panel1->height(), 85);
    EXPECT_EQ(form.Panel1->geometry().bottom(), form.height() - 1);
    EXPECT_EQ(form.Panel1->width(), form.width());
    EXPECT_EQ(form.Panel2->width(), 185);
    EXPECT_EQ(form.Panel2->x(), 0);
    EXPECT_EQ(form.cbx->height(), 156);
    EXPECT_GT(form.Chart()->x(), form.Panel2->geometry().right());
    EXPECT_EQ(form.Chart()->palette().color(QPalette::Window), QColor(255, 255, 255));
    // Three rows, top to bottom.
    auto row = [](QWidget *w) { return w->geometry().center().y(); };
    for (QWidget *w : std::initializer_list<QWidget *>{form.CheckBox2, form.CheckBox3, form.CheckBox4,
                                                       form.SpinEdit1, form.Button1, form.BitBtn1})
        EXPECT_NEAR(row(w), row(form.CheckBox1), 3);
    EXPECT_GT(row(form.Edit1), row(form.CheckBox1));
    EXPECT_NEAR(row(form.CheckBox5), row(form.Edit1), 3);
    EXPECT_GT(row(form.Edit3), row(form.Edit1));
    EXPECT_NEAR(row(form.Label5), row(form.Edit3), 3);
    // The zoom buttons stay at the right edge.
    const int gap = form.Panel1->width() - form.BitBtn3->geometry().right();
    EXPECT_LT(gap, 12);
    form.resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(form.Panel1->width() - form.BitBtn3->geometry().right(), gap);
    EXPECT_LT(form.BitBtn2->x(), form.BitBtn3->x());
    EXPECT_LT(form.BitBtn1->x(), form.BitBtn2->x());
}

TEST_F(Form2Test, SwitchesAndZoomButtonsDriveTheChart)
{
    Open();
    TFinChart *chart = form.Chart();
    form.CheckBox1->click();
    EXPECT_FALSE(chart->ShowClose());
    form.CheckBox2->click();
    EXPECT_FALSE(chart->ShowZigzag());
    form.CheckBox3->click();
    EXPECT_FALSE(chart->ShowResSup());
    form.CheckBox4->click();
    EXPECT_FALSE(chart->ShowTargets());
    form.CheckBox5->click();
    EXPECT_TRUE(chart->ShowMA3x3());
    form.CheckBox1->click();
    EXPECT_TRUE(chart->ShowClose());

    EXPECT_EQ(chart->VisibleCount(), 6);
    form.BitBtn1->click();
    EXPECT_EQ(chart->VisibleCount(), 5);
    form.BitBtn1->click();
    form.BitBtn2->click();
    EXPECT_EQ(chart->VisibleCount(), 5);
    form.BitBtn3->click();
    EXPECT_EQ(chart->VisibleCount(), 6);
}

TEST_F(Form2Test, SpinEditReachesTheLevelDepthOnlyThroughTheChart)
{
    Open();
    EXPECT_EQ(list.LevelDepth, 0); // the spin edit shows 3, the list keeps 0
    form.SpinEdit1->setValue(5);
    EXPECT_EQ(form.Chart()->Period(), 5);
    EXPECT_EQ(list.LevelDepth, 5);

    // Emptying the text changes nothing.
    QLineEdit *text = form.SpinEdit1->findChild<QLineEdit *>();
    ASSERT_NE(text, nullptr);
    form.SpinEdit1->setFocus();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Backspace);
    ASSERT_TRUE(form.SpinEdit1->text().isEmpty());
    EXPECT_EQ(list.LevelDepth, 5);
    QTest::keyClicks(text, QStringLiteral("2"));
    EXPECT_EQ(list.LevelDepth, 2);

    // A later load keeps the chosen depth.
    Load(list, {"1", "2", "1", "2", "1"});
    EXPECT_EQ(list.LevelDepth, 2);
}

TEST_F(Form2Test, PressAndReleaseFillTheCalculators)
{
    Open();
    TFinChart *chart = form.Chart();
    const int h = chart->height();
    const int top = 80, bottom = h - 160;
    auto price = [&](int y) { return 3.0 * (bottom - y) / (bottom - top) + 10; };
    auto f3 = [](double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.3f", v);
        std::string s(buf);
        for (char &c : s)
            if (c == '.')
                c = ',';
        return s;
    };
    const int yDown = bottom - 40, yUp = top + 10;
    QTest::mouseMove(chart, QPoint(150, yDown));
    QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(150, yDown));
    EXPECT_EQ(Text(form.Edit1), f3(price(yDown)));
    EXPECT_EQ(Text(form.Edit3), f3(price(yDown)));
    QTest::mouseMove(chart, QPoint(200, yUp));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(200, yUp));
    EXPECT_EQ(Text(form.Edit2), f3(price(yUp)));
    EXPECT_EQ(Text(form.Edit4), f3(price(yUp)));
    // The labels follow the edits: F3 = b - (b - a) x 0.382 of the two texts.
    const double a = std::stod(f3(price(yDown)).replace(f3(price(yDown)).find(','), 1, "."));
    const double b = std::stod(f3(price(yUp)).replace(f3(price(yUp)).find(','), 1, "."));
    EXPECT_EQ(Text(form.Label1), "F3= " + f3(b - (b - a) * 0.382));
    EXPECT_EQ(Text(form.Label2), "F6= " + f3(b - (b - a) * 0.618));
    EXPECT_EQ(Text(form.Label3), "op= " + f3(b - a + 2));

    // Press and release on one row: F3 = F6 = that price, op = COP = XOP = c.
    QTest::mouseMove(chart, QPoint(100, 150));
    QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(100, 150));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(Text(form.Label1), "F3= " + f3(price(150)));
    EXPECT_EQ(Text(form.Label2), "F6= " + f3(price(150)));
    EXPECT_EQ(Text(form.Label3), "op= 2,000");
    EXPECT_EQ(Text(form.Label4), "COP= 2,000");
    EXPECT_EQ(Text(form.Label5), "XOP= 2,000");
}

TEST_F(Form2Test, CalculatorLabelsFromTypedPrices)
{
    form.Edit2->setText(QStringLiteral("2,0"));
    EXPECT_EQ(Text(form.Label1), "F3= 1,618");
    EXPECT_EQ(Text(form.Label2), "F6= 1,382");
    EXPECT_EQ(Text(form.Label3), "Label1"); // the other calculator is untouched
    form.Edit5->setText(QStringLiteral("2,00"));
    EXPECT_EQ(Text(form.Label3), "op= 3,000");
    EXPECT_EQ(Text(form.Label4), "COP= 2,618");
    EXPECT_EQ(Text(form.Label5), "XOP= 3,618");

    form.Edit1->clear();
    QTest::keyClicks(form.Edit1, QStringLiteral("abc"));
    EXPECT_EQ(Text(form.Label1), "Error");
    EXPECT_EQ(Text(form.Label2), "Error");
    form.Edit1->setText(QStringLiteral("10"));
    form.Edit2->setText(QStringLiteral("x"));
    EXPECT_EQ(Text(form.Label1), "F3= 3,820");
    EXPECT_EQ(Text(form.Label2), "F6= 6,180");
    form.Edit3->setText(QStringLiteral("0"));
    EXPECT_EQ(Text(form.Label3) + Text(form.Label4) + Text(form.Label5), "ErrorErrorError");
}

TEST_F(Form2Test, CheckListMirrorsThePivotsAndCopiesChecksBack)
{
    list.Items(2)->PivotEnabled = false;
    Open();
    ASSERT_EQ(form.cbxItems->Count(), 3);
    EXPECT_EQ(form.cbxItems->Text(0), QStringLiteral("13,00"));
    EXPECT_EQ(form.cbxItems->Text(1), QStringLiteral("10,00"));
    EXPECT_EQ(form.cbxItems->Text(2), QStringLiteral("12,00"));
    EXPECT_EQ(form.cbxItems->Quote(1), list.Items(4));
    EXPECT_TRUE(form.cbxItems->Checked(0));
    EXPECT_FALSE(form.cbxItems->Checked(2));
    EXPECT_EQ(form.cbxItems->data(form.cbxItems->index(2), Qt::CheckStateRole).toInt(),
              Qt::Unchecked);

    // Zigzag pixel at the pivot 10 (item 4, step 2) before and after unchecking it.
    TFinChart *chart = form.Chart();
    chart->SetShowClose(false);
    const TFinChartGeometry g = chart->Geometry();
    const QPoint pivot10(static_cast<int>(g.X(2)), static_cast<int>(g.Y(10)));
    EXPECT_EQ(chart->grab().toImage().pixelColor(pivot10), QColor(255, 0, 0));

    // Space on the selected item toggles its check mark.
    form.cbx->setFocus();
    form.cbx->setCurrentIndex(form.cbxItems->index(1));
    QTest::keyClick(form.cbx->viewport(), Qt::Key_Space);
    EXPECT_FALSE(form.cbxItems->Checked(1));
    EXPECT_FALSE(list.Items(4)->PivotEnabled);
    EXPECT_TRUE(list.Items(5)->PivotEnabled);
    EXPECT_FALSE(list.Items(2)->PivotEnabled);
    QApplication::processEvents();
    EXPECT_NE(chart->grab().toImage().pixelColor(pivot10), QColor(255, 0, 0));
    // Without pivots 10 and 12 the newest triple has no positive OP: empty report.
    WhileModal(
        report, [&] { form.Button1->click(); },
        [&] { EXPECT_TRUE(report.Lines().empty()); });

    // A click on the check indicator turns it back on.
    QStyleOptionViewItem option;
    option.initFrom(form.cbx);
    option.rect = form.cbx->visualRect(form.cbxItems->index(1));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QPoint box = form.cbx->style()
                           ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, form.cbx)
                           .center();
    QTest::mouseClick(form.cbx->viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(form.cbxItems->Checked(1));
    EXPECT_TRUE(list.Items(4)->PivotEnabled);
    QApplication::processEvents();
    EXPECT_EQ(chart->grab().toImage().pixelColor(pivot10), QColor(255, 0, 0));
}

TEST_F(Form2Test, ListWithoutPivotsLeavesTheCheckListEmpty)
{
    TFList flat;
    Load(flat, {"4", "4", "4", "4"});
    form.Open(&list);
    EXPECT_EQ(form.cbxItems->Count(), 3);
    form.Open(&flat);
    EXPECT_EQ(form.cbxItems->Count(), 0);
}

TEST_F(Form2Test, PlusCopiesTheSelectedPivotIntoTheMemo)
{
    Open();
    form.Button2->click(); // nothing selected
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("mm"));
    form.cbx->setCurrentIndex(form.cbxItems->index(2));
    form.Button2->click();
    form.cbx->setCurrentIndex(form.cbxItems->index(0));
    form.Button2->click();
    EXPECT_EQ(MemoLines(form.mm->toPlainText().toStdString()),
              (std::vector<std::string>{"mm", "12,00", "13,00"}));
}

TEST_F(Form2Test, ReportButtonsFillTheReportWindowAndShowIt)
{
    Load(list, {"105", "100", "120", "110"});
    Open();
    WhileModal(
        report, [&] { form.Button1->click(); },
        [&] {
            EXPECT_TRUE(report.isVisible());
            EXPECT_TRUE(report.isModal());
            EXPECT_EQ(report.Lines(),
                      (std::vector<std::string>{"=== 01.12.05 10:03 ==================",
                                                "Цель 1: 110,00", "Цель 2: 106,18",
                                                "Цель 3: 116,18", "Res/Sup 1: 113,82",
                                                "Res/Sup 2: 116,81", ""}));
        });

    form.mm->setPlainText(QStringLiteral("100\n90\n"));
    WhileModal(
        report, [&] { form.Button3->click(); },
        [&] {
            EXPECT_EQ(report.Lines(),
                      (std::vector<std::string>{"F: 100,00", " 0: 90,00", "=== F nodes ===",
                                                " 0 F3: 96,18", " 0 F5: 93,82"}));
        });
    // The reports leave the memo as it was.
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("100\n90\n"));
}

TEST_F(Form2Test, ShowForAttachesFillsAndShowsModally)
{
    form.Chart()->ZoomIn();
    WhileModal(
        form, [&] { form.ShowFor(&list); },
        [&] {
            EXPECT_TRUE(form.isModal());
            EXPECT_EQ(form.Chart()->Data(), &list);
            EXPECT_EQ(form.Chart()->VisibleCount(), 6);
            EXPECT_EQ(form.cbxItems->Count(), 3);
        });
}

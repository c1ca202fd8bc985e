// The analysis window wires its controls to the chart, the list's levels and the report
// texts (whose rules are tested in the model).

#include "analysischart.h"
#include "swinglist.h"
#include "analysiswindow.h"
#include "pictureexport.h"
#include "reports.h"
#include "reportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"
#include "testfiles.h"

#include <string>
#include <vector>

using namespace korvala;

namespace {

using Lines = std::vector<std::string>;

// Quotes at 10:00, 10:01, … with open = high = low = close.
void Load(TFList &list, const std::vector<double> &closes)
{
    list.LoadFromStream(test::QuoteText(test::FlatQuoteLines(closes)));
}

class Form2Test : public ::testing::Test
{
protected:
    void SetUp() override { Load(list, {10, 11, 12, 11, 10, 13}); } // pivots on 2, 4, 5
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

TEST_F(Form2Test, ControlsSwitchesZoomButtonsAndTheSpinEdit)
{
    // Captions as written for the toolkit, where "&&" shows one ampersand.
    EXPECT_EQ(test::Texts({form.CheckBox1, form.CheckBox2, form.CheckBox3, form.CheckBox4, form.CheckBox5,
                     form.Button1, form.BitBtn1, form.BitBtn2, form.BitBtn3, form.Button2, form.Button3}),
              "Price (Close)|Dinapoli|Resistence && support|OP, COP, XOP|MA 3x3|Отчет|+|-|-><-|+|Button3|");
    EXPECT_EQ(form.SpinEdit1->value(), 3);
    EXPECT_EQ(form.Chart()->Period(), 3);

    Open();
    TFinChart *chart = form.Chart();
    for (QCheckBox *box : {form.CheckBox1, form.CheckBox2, form.CheckBox3, form.CheckBox4, form.CheckBox5})
        box->click();
    EXPECT_EQ(std::vector<bool>({chart->ShowClose(), chart->ShowZigzag(), chart->ShowResSup(),
                                 chart->ShowTargets(), chart->ShowMA3x3()}),
              std::vector<bool>({false, false, false, false, true}));
    form.BitBtn1->click();
    EXPECT_EQ(chart->VisibleCount(), 5);
    form.BitBtn2->click();
    form.BitBtn1->click();
    form.BitBtn1->click();
    form.BitBtn3->click();
    EXPECT_EQ(chart->VisibleCount(), 6);

    EXPECT_EQ(list.LevelDepth, 0); // the spin edit shows 3, the list keeps 0
    form.SpinEdit1->setFocus(); // typed over
    QTest::keyClick(form.SpinEdit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.SpinEdit1, QStringLiteral("2"));
    EXPECT_EQ(list.LevelDepth, 2);
}

TEST_F(Form2Test, PressAndReleaseAndTypingFillTheCalculators)
{
    Open();
    TFinChart *chart = form.Chart();
    QTest::mouseMove(chart, QPoint(150, 300));
    QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(150, 300));
    QTest::mouseMove(chart, QPoint(200, 90));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(200, 90));
    const std::string down = QString::number(chart->PriceDown(), 'f', 3).replace(u'.', u',').toStdString();
    const std::string up = QString::number(chart->PriceUp(), 'f', 3).replace(u'.', u',').toStdString();
    ASSERT_NE(down, up);
    EXPECT_EQ(test::Texts({form.Edit1, form.Edit2, form.Edit3, form.Edit4}),
              down + "|" + up + "|" + down + "|" + up + "|");
    // The labels follow the edits (their rules are the calculators'); letters make "Error".
    form.Edit1->setText(QStringLiteral("1"));
    form.Edit2->setText(QStringLiteral("2,0"));
    EXPECT_EQ(test::Texts({form.Label1, form.Label2}), "F3= 1,618|F6= 1,382|");
    form.Edit1->clear();
    QTest::keyClicks(form.Edit1, QStringLiteral("abc"));
    form.Edit3->setText(QStringLiteral("0"));
    EXPECT_EQ(test::Texts({form.Label1, form.Label2, form.Label3, form.Label4, form.Label5}),
              "Error|Error|Error|Error|Error|");
}

TEST_F(Form2Test, CheckListMirrorsThePivotsAndCopiesChecksBack)
{
    list.Items(2)->PivotEnabled = false;
    Open();
    ASSERT_EQ(form.cbxItems->Count(), 3);
    EXPECT_EQ(form.cbxItems->Text(0), QStringLiteral("13,00"));
    EXPECT_EQ(form.cbxItems->Quote(1), list.Items(4));
    EXPECT_EQ(form.cbxItems->data(form.cbxItems->index(2), Qt::CheckStateRole).toInt(), Qt::Unchecked);

    // A click on a check indicator copies the marks back and redraws: the zigzag pixel at
    // the pivot 10 (item 4, step 2) goes with its check mark.
    TFinChart *chart = form.Chart();
    chart->SetShowClose(false);
    const FinChartGeometry g = chart->Geometry();
    const QPoint pivot10(static_cast<int>(g.X(2)), static_cast<int>(g.Y(10)));
    QStyleOptionViewItem option;
    option.initFrom(form.cbx);
    option.rect = form.cbx->visualRect(form.cbxItems->index(1));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QPoint box =
        form.cbx->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, form.cbx).center();
    QTest::mouseClick(form.cbx->viewport(), Qt::LeftButton, {}, box);
    EXPECT_FALSE(list.Items(4)->PivotEnabled);
    EXPECT_TRUE(list.Items(5)->PivotEnabled && !list.Items(2)->PivotEnabled);
    QApplication::processEvents();
    EXPECT_NE(chart->grab().toImage().pixelColor(pivot10), QColor(255, 0, 0));
    QTest::mouseClick(form.cbx->viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(list.Items(4)->PivotEnabled);
    QApplication::processEvents();
    EXPECT_EQ(chart->grab().toImage().pixelColor(pivot10), QColor(255, 0, 0));

    // "+" copies the selected pivot into the memo, nothing without a selection.
    form.cbx->setCurrentIndex(QModelIndex());
    form.Button2->click();
    form.cbx->setCurrentIndex(form.cbxItems->index(2));
    form.Button2->click();
    EXPECT_EQ(MemoLines(form.mm->toPlainText().toStdString()), (Lines{"mm", "12,00"}));
}

TEST_F(Form2Test, ReportButtonsFillTheReportWindowAndShowIt)
{
    Open();
    test::WhileModal(report, [&] { form.Button1->click(); }, [&] { EXPECT_EQ(report.Lines(), TargetsReport(list)); });
    form.mm->setPlainText(QStringLiteral("100\n90\n"));
    test::WhileModal(report, [&] { form.Button3->click(); }, [&] {
        EXPECT_EQ(report.Lines(), FNodesReport({"100", "90"}));
    });
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("100\n90\n")); // the memo stays

    // Chart / "Action2": the window attaches the list, fills the check list (a list
    // without pivots leaves it empty) and shows modally.
    TFList other;
    Load(other, {4, 4, 4, 4});
    form.Chart()->ZoomIn();
    test::WhileModal(form, [&] { form.ShowFor(&other); }, [&] {
        EXPECT_EQ(form.Chart()->Data(), &other);
        EXPECT_EQ(form.Chart()->VisibleCount(), 4);
        EXPECT_EQ(form.cbxItems->Count(), 0);
    });
}

TEST_F(Form2Test, TheChartAsAPictureOfAnySizeWithoutTheCrosshair)
{
    Open();
    TFinChart *chart = form.Chart();
    // The chart's context menu holds the export commands; a right press picks no price.
    EXPECT_EQ(chart->actions().size(), 4);
    EXPECT_EQ(chart->contextMenuPolicy(), Qt::ActionsContextMenu);
    form.Edit1->setText(QStringLiteral("7"));
    QTest::mousePress(chart, Qt::RightButton, {}, QPoint(100, 150));
    QTest::mouseRelease(chart, Qt::RightButton, {}, QPoint(100, 150));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("7"));

    // The crosshair sits on row 0 before any movement; the picture has none.
    const QImage image = form.ChartPicture(QSize(500, 400))->Image();
    ASSERT_EQ(image.size(), QSize(500, 400));
    EXPECT_EQ(chart->grab().toImage().pixelColor(100, 0), QColor(200, 200, 200));
    EXPECT_EQ(image.pixelColor(100, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(500 - 61, 400 - 161), QColor(250, 250, 250)); // the plot of that size
    EXPECT_EQ(form.ChartPicture()->Image().size(), chart->size());
}

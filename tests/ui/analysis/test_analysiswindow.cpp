// The analysis window wires its controls to the chart, the list's levels and the report
// texts (whose rules are tested in the model).

#include "analysischart.h"
#include "swinglist.h"
#include "analysiswindow.h"
#include "pictureexport.h"
#include "reportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

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

std::string Texts(std::initializer_list<const QWidget *> widgets)
{
    std::string s;
    for (const QWidget *w : widgets) {
        if (const auto *label = qobject_cast<const QLabel *>(w))
            s += label->text().toStdString() + "|";
        else if (const auto *edit = qobject_cast<const QLineEdit *>(w))
            s += edit->text().toStdString() + "|";
        else
            s += static_cast<const QAbstractButton *>(w)->text().toStdString() + "|";
    }
    return s;
}

// "%.3f" with the decimal comma.
std::string F3(double v)
{
    std::string s = QString::number(v, 'f', 3).toStdString();
    s[s.find('.')] = ',';
    return s;
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
    // Runs action, which opens a modal window; inspect runs while it is shown, then it closes.
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
    TFList list;
    TfReport report;
    TForm2 form{&report};
};

} // namespace

TEST_F(Form2Test, ControlsSwitchesZoomButtonsAndTheSpinEdit)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form2"));
    // Captions as written for the toolkit, where "&&" shows one ampersand.
    EXPECT_EQ(Texts({form.CheckBox1, form.CheckBox2, form.CheckBox3, form.CheckBox4, form.CheckBox5,
                     form.Button1, form.BitBtn1, form.BitBtn2, form.BitBtn3, form.Edit1, form.Edit2,
                     form.Edit3, form.Edit4, form.Edit5, form.Label1, form.Label2, form.Label3, form.Label4,
                     form.Label5, form.Button2, form.Button3}),
              "Price (Close)|Dinapoli|Resistence && support|OP, COP, XOP|MA 3x3|Отчет|+|-|-><-|1|2|1|2|2|"
              "Label1|Label2|Label1|Label2|Label2|+|Button3|");
    EXPECT_TRUE(form.CheckBox1->isChecked() && form.CheckBox2->isChecked() && form.CheckBox3->isChecked()
                && form.CheckBox4->isChecked() && !form.CheckBox5->isChecked());
    EXPECT_EQ(form.SpinEdit1->value(), 3);
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("mm"));
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
    form.BitBtn1->click();
    form.BitBtn2->click();
    EXPECT_EQ(chart->VisibleCount(), 5);
    form.BitBtn3->click();
    EXPECT_EQ(chart->VisibleCount(), 6);

    EXPECT_EQ(list.LevelDepth, 0); // the spin edit shows 3, the list keeps 0
    form.SpinEdit1->setValue(5);
    EXPECT_EQ(list.LevelDepth, 5);
    // Emptying the text changes nothing; typing a number does.
    QLineEdit *text = form.SpinEdit1->findChild<QLineEdit *>();
    form.SpinEdit1->setFocus();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(list.LevelDepth, 5);
    QTest::keyClicks(text, QStringLiteral("2"));
    EXPECT_EQ(list.LevelDepth, 2);
}

TEST_F(Form2Test, PressAndReleaseAndTypingFillTheCalculators)
{
    Open();
    TFinChart *chart = form.Chart();
    const int top = 80, bottom = chart->height() - 160;
    const auto price = [&](int y) { return 3.0 * (bottom - y) / (bottom - top) + 10; };
    const int yDown = bottom - 40, yUp = top + 10;
    QTest::mouseMove(chart, QPoint(150, yDown));
    QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(150, yDown));
    QTest::mouseMove(chart, QPoint(200, yUp));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(200, yUp));
    EXPECT_EQ(Texts({form.Edit1, form.Edit2, form.Edit3, form.Edit4}),
              F3(price(yDown)) + "|" + F3(price(yUp)) + "|" + F3(price(yDown)) + "|" + F3(price(yUp)) + "|");
    // The labels follow the edits (their rules are the calculators'); letters make "Error".
    form.Edit1->setText(QStringLiteral("1"));
    form.Edit2->setText(QStringLiteral("2,0"));
    EXPECT_EQ(Texts({form.Label1, form.Label2}), "F3= 1,618|F6= 1,382|");
    form.Edit1->clear();
    QTest::keyClicks(form.Edit1, QStringLiteral("abc"));
    form.Edit3->setText(QStringLiteral("0"));
    EXPECT_EQ(Texts({form.Label1, form.Label2, form.Label3, form.Label4, form.Label5}),
              "Error|Error|Error|Error|Error|");
}

TEST_F(Form2Test, CheckListMirrorsThePivotsAndCopiesChecksBack)
{
    list.Items(2)->PivotEnabled = false;
    Open();
    ASSERT_EQ(form.cbxItems->Count(), 3);
    EXPECT_EQ((QStringList{form.cbxItems->Text(0), form.cbxItems->Text(1), form.cbxItems->Text(2)}),
              (QStringList{QStringLiteral("13,00"), QStringLiteral("10,00"), QStringLiteral("12,00")}));
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
    // A list without pivots leaves the check list empty.
    TFList flat;
    Load(flat, {4, 4, 4, 4});
    form.Open(&flat);
    EXPECT_EQ(form.cbxItems->Count(), 0);
}

TEST_F(Form2Test, ReportButtonsFillTheReportWindowAndShowIt)
{
    Load(list, {105, 100, 120, 110});
    Open();
    WhileModal(report, [&] { form.Button1->click(); }, [&] {
        EXPECT_TRUE(report.isModal());
        EXPECT_EQ(report.Lines(), (Lines{"=== 01.12.05 10:03 ==================", "Цель 1: 110,00",
                                         "Цель 2: 106,18",
                                         "Цель 3: 116,18", "Res/Sup 1: 113,82", "Res/Sup 2: 116,81", ""}));
    });
    form.mm->setPlainText(QStringLiteral("100\n90\n"));
    WhileModal(report, [&] { form.Button3->click(); }, [&] {
        EXPECT_EQ(report.Lines(),
                  (Lines{"F: 100,00", " 0: 90,00", "=== F nodes ===", " 0 F3: 96,18", " 0 F5: 93,82"}));
    });
    EXPECT_EQ(form.mm->toPlainText(), QStringLiteral("100\n90\n")); // the memo stays

    // "+" copies prices from 1000 up with their thousands blank; Button3 reads them.
    TFList dear;
    Load(dear, {1105, 1100, 1285, 1210});
    form.Open(&dear);
    form.mm->setPlainText(QStringLiteral("1 300,00"));
    int item = 0;
    while (item < form.cbxItems->Count() && form.cbxItems->Text(item) != QStringLiteral("1 285,00"))
        ++item;
    ASSERT_LT(item, form.cbxItems->Count());
    form.cbx->setCurrentIndex(form.cbxItems->index(item));
    form.Button2->click();
    EXPECT_EQ(MemoLines(form.mm->toPlainText().toStdString()), (Lines{"1 300,00", "1 285,00"}));
    // F3 = 1300 − 15 × 0.382 = 1294.27, F5 = 1300 − 15 × 0.618 = 1290.73.
    WhileModal(report, [&] { form.Button3->click(); }, [&] {
        EXPECT_EQ(report.Lines(), (Lines{"F: 1 300,00", " 0: 1 285,00", "=== F nodes ===",
                                         " 0 F3: 1 294,27", " 0 F5: 1 290,73"}));
    });

    // Chart / "Action2": the window attaches the list, fills the check list, shows modally.
    form.Chart()->ZoomIn();
    WhileModal(form, [&] { form.ShowFor(&list); }, [&] {
        EXPECT_TRUE(form.isModal());
        EXPECT_EQ(form.Chart()->Data(), &list);
        EXPECT_EQ(form.Chart()->VisibleCount(), 4);
        EXPECT_EQ(form.cbxItems->Count(), 3);
    });
}

TEST_F(Form2Test, TheChartAsAPictureOfAnySizeWithoutTheCrosshair)
{
    Open();
    form.resize(800, 600);
    QApplication::processEvents();
    TFinChart *chart = form.Chart();
    // The chart's context menu holds the export commands; a right press picks no price.
    QStringList commands;
    for (const QAction *a : chart->actions())
        commands << a->text();
    EXPECT_EQ(commands.join(QLatin1Char('|')).toStdString(),
              "Export chart...|Copy chart|Print chart...|Print preview...");
    EXPECT_EQ(chart->contextMenuPolicy(), Qt::ActionsContextMenu);
    form.Edit1->setText(QStringLiteral("7"));
    QTest::mousePress(chart, Qt::RightButton, {}, QPoint(100, 150));
    QTest::mouseRelease(chart, Qt::RightButton, {}, QPoint(100, 150));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("7"));

    // The crosshair sits on row 0 before any movement, across the plot (x from 30).
    const QSize size(500, 400);
    const QImage onScreen = chart->grab().toImage();
    const std::unique_ptr<chart::ExportPicture> picture = form.ChartPicture(size);
    EXPECT_EQ(picture->Size().width, 500);
    const QImage image = picture->Image();
    ASSERT_EQ(image.size(), size);
    EXPECT_EQ(onScreen.pixelColor(100, 0), QColor(200, 200, 200));
    EXPECT_EQ(image.pixelColor(100, 0), QColor(Qt::white));
    // The plot of that size: margins 30, 80, 60, 160, filled with RGB(250, 250, 250).
    EXPECT_EQ(image.pixelColor(31, 81), QColor(250, 250, 250));
    EXPECT_EQ(image.pixelColor(500 - 61, 400 - 161), QColor(250, 250, 250));
    EXPECT_EQ(image.pixelColor(500 - 59, 400 - 161), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(31, 400 - 159), QColor(Qt::white));
    // Without a size the picture is the chart's own.
    EXPECT_EQ(form.ChartPicture()->Image().size(), chart->size());
}

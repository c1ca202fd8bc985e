// The main window's File menu commands for the chart of the active tab: their place,
// shortcuts and enabling, the file each tab writes, the whole P&F chart and the offer of
// the part in view when it is too large.

#include "guiapp.h"
#include "pixels.h"

#include "candletab.h"
#include "chart.h"
#include "chartexport.h"
#include "mainwindow.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "pfpicture.h"
#include "pictureexport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace korvala;

namespace {

class ChartExportTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        chart::SetDialogRunner({});
        MainChartExport::SetViewOfferHook({});
    }

    // The save dialog answers with path; counts how often it was asked.
    void SaveTo(const QString &path)
    {
        chart::SetDialogRunner([this, path](QDialog &d) {
            ++dialogs;
            dynamic_cast<QFileDialog &>(d).selectFile(path);
            return int(QDialog::Accepted);
        });
    }
    void Open(const std::string &path) { form->OpenQuoteFile(QString::fromStdString(path)); }
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    std::unique_ptr<TForm1> form = test::ShownMainWindow();
    MainChartExport *exports = form->ChartExport();
    QTemporaryDir dir;
    int dialogs = 0;
    test::MessageRecorder recorder;
};

} // namespace

TEST_F(ChartExportTest, TheCommandsAreEnabledOnTheTabsWithACharts)
{
    for (int tab = 0; tab < form->PageControl1->count(); ++tab) { // the last tab holds a memo
        form->PageControl1->setCurrentIndex(tab);
        for (QAction *a : {exports->aExportChart, exports->aCopyChart, exports->aPrintChart,
                           exports->aPrintPreview})
            EXPECT_EQ(a->isEnabled(), tab < 3) << tab;
        EXPECT_EQ(exports->ActivePicture() != nullptr, tab < 3) << tab;
    }
}

TEST_F(ChartExportTest, CtrlCCopiesTheChartButLeavesTextCopyToTheMemos)
{
    Open(test::ExamplePath("daily.txt"));
    form->PageControl1->setCurrentIndex(0);
    form->sg->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(form->sg, Qt::Key_C, Qt::ControlModifier);
    const PFPicture whole(form->Document(), form->sg->DefaultColWidth(), form->font(),
                          PFPicture::WholeChart(form->Document()));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(int(whole.Size().width), int(whole.Size().height)));

    // In the statistics memo Ctrl+C copies the selected text, as in any text.
    form->PageControl1->setCurrentIndex(3);
    form->mm_Common->setFocus();
    form->mm_Common->selectAll();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(form->mm_Common, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), form->mm_Common->toPlainText());
}

TEST_F(ChartExportTest, EachTabWritesItsOwnChartThePFTabTheWholeChart)
{
    Open(test::ExamplePath("daily.txt"));
    form->resize(600, 500);
    form->SpinEdit1->setValue(12);
    QCoreApplication::processEvents();
    form->PageControl1->setCurrentIndex(0);
    SaveTo(Path("pf.png"));
    exports->aExportChart->trigger();
    const QImage pf(Path("pf.png"));
    ASSERT_FALSE(pf.isNull());
    const int s = form->sg->DefaultColWidth();
    const PFDocument &doc = form->Document();
    // Every column, not only those in view: the whole chart's picture (drawn cell by cell
    // in its own test).
    EXPECT_GT(doc.sg.ColCount, form->sg->VisibleColCount());
    const PFPicture whole(doc, s, form->font(), PFPicture::WholeChart(doc));
    EXPECT_EQ(pf.size(), QSize(static_cast<int>(whole.Size().width), static_cast<int>(whole.Size().height)));

    // With the signals on, they are drawn over the cells as on the grid.
    const auto signalPixels = [](const QImage &image) {
        return test::CountPixels(image, [](const QColor &c) {
            return c == PFSignalOverlay::kBuyColor || c == PFSignalOverlay::kSellColor;
        });
    };
    form->aSignals->trigger();
    ASSERT_TRUE(form->aSignals->isChecked());
    SaveTo(Path("signals.png"));
    exports->aExportChart->trigger();
    EXPECT_EQ(signalPixels(pf), 0);
    EXPECT_GT(signalPixels(QImage(Path("signals.png"))), 20);

    form->PageControl1->setCurrentIndex(1);
    SaveTo(Path("linebreak.png"));
    exports->aExportChart->trigger();
    EXPECT_EQ(QImage(Path("linebreak.png")).size(), form->LineBreakChart->size());

    form->PageControl1->setCurrentIndex(2);
    SaveTo(Path("candles.pdf"));
    exports->aExportChart->trigger();
    EXPECT_TRUE(QFile::exists(Path("candles.pdf")));
    EXPECT_EQ(dialogs, 4);
    EXPECT_TRUE(recorder.messages.empty());

    // A file that cannot be written: the standard error message names it and says why.
    SaveTo(Path("missing/candles.png"));
    exports->aExportChart->trigger();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.contains(QStringLiteral("missing"))) << recorder.messages[0].text.toStdString();
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
}

TEST_F(ChartExportTest, AWholeChartTooLargeIsRefusedWithTheOfferOfThePartInView)
{
    // Box 0,01 over closes 10 to 1 000: about 99 000 rows.
    const test::QuoteFile tall("tall.txt", {"01.02.05;10:00;10;10;10;10;1",
                                            "02.02.05;10:00;10;1000;10;1000;1"});
    Open(tall.path);
    form->eBox->setText(QStringLiteral("0,01"));
    form->eReverse->setText(QStringLiteral("0,03"));
    form->aRefresh->trigger();
    ASSERT_GT(form->Document().sg.RowCount, 90000);

    QString question;
    MainChartExport::SetViewOfferHook([&](const QString &q) {
        question = q;
        return false;
    });
    SaveTo(Path("tall.png"));
    exports->aExportChart->trigger();
    EXPECT_TRUE(question.contains(QStringLiteral("too large"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("32 767"))) << question.toStdString();
    EXPECT_EQ(dialogs, 0); // turned down: no dialog, no file
    EXPECT_FALSE(QFile::exists(Path("tall.png")));

    MainChartExport::SetViewOfferHook([](const QString &) { return true; });
    exports->aExportChart->trigger();
    const QImage view(Path("tall.png"));
    ASSERT_FALSE(view.isNull());
    const int s = form->sg->DefaultColWidth();
    const int rows = (form->sg->viewport()->height() + s - 1) / s;
    EXPECT_EQ(view.height(), 18 + 16 + rows * s + 54);
    EXPECT_TRUE(recorder.messages.empty());
}

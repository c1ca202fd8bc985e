// The report window: its memo and menu, the save with the proposed name, the warning for
// characters the file cannot hold and the keys. The file's bytes and the warning's text
// are the report file's (tested in the model).

#include "reportfile.h"
#include "reportwindow.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"
#include "testfiles.h"

#include <string>

using namespace korvala;

namespace {

// The report window with the save dialog replaced: records what the dialog proposed and
// answers with a path in a scratch folder ("" cancels); Save gives the bytes written.
class ReportWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        report.SetAskSavePath([this](QFileDialog &sd) {
            proposed << QFileInfo(sd.selectedFiles().value(0)).fileName();
            sd.selectFile(QStringLiteral("something else.txt"));
            return answer;
        });
        report.SetConfirmLoss([this](const QString &warning) {
            warnings << warning;
            return saveAnyway;
        });
    }
    std::string Save(const char *name)
    {
        answer = *name ? dir.filePath(QString::fromUtf8(name)) : QString();
        report.N1Click();
        return Written();
    }
    std::string Written() const { return test::ReadFile(answer.toStdString()); }

    QTemporaryDir dir;
    TfReport report;
    QString answer;
    QStringList proposed;
    QStringList warnings;
    bool saveAnyway = false;
};

} // namespace

TEST_F(ReportWindow, CaptionMemoAndMenu)
{
    EXPECT_EQ(report.windowTitle(), QStringLiteral("Отчет"));
    EXPECT_EQ(report.re->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(report.MainMenu1->actions(), QList<QAction *>{report.N1});
    EXPECT_EQ(report.N1->text(), QStringLiteral("Save"));
    EXPECT_TRUE(report.sd->testOption(QFileDialog::DontConfirmOverwrite));
    report.SetLines({"=== x ===", ""});
    report.AddLine("b");
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{"=== x ===", "", "b"}));
    report.N1->trigger(); // the menu item runs the save (here cancelled)
    EXPECT_EQ(proposed, QStringList{QStringLiteral("rep0001.txt")});
}

// The bytes of the file are the report file's rule (tested in the model); here the window
// saves its lines, proposes the name every time, and saves what the user edited.
TEST_F(ReportWindow, SaveProposesTheNameEveryTimeAndWritesTheTextAsEdited)
{
    report.SetLines({"a", "b"});
    EXPECT_EQ(Save("a.txt"), "a\r\nb\r\n");
    Save(""); // cancelled: nothing is written
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(proposed, (QStringList{QStringLiteral("rep0001.txt"), QStringLiteral("rep0001.txt")}));

    report.SetLines({"a"});
    report.show();
    report.re->setFocus();
    report.re->moveCursor(QTextCursor::End);
    QTest::keyClicks(report.re, QStringLiteral("bc"));
    QTest::keyClick(report.re, Qt::Key_Return);
    QTest::keyClicks(report.re, QStringLiteral("d"));
    // The memo's text ends with a line end, so typing at the end opens a second line; saving
    // over a file replaces it silently.
    EXPECT_EQ(Save("a.txt"), "a\r\nbc\r\nd\r\n");
}

// Characters cp1251 cannot hold: the user hears which before anything is written, and
// may stop there.
TEST_F(ReportWindow, CharactersTheFileCannotHoldAreNamedBeforeSavingAndTheUserMayStop)
{
    report.SetLines({"Цель 1: 1 285,00 €"});
    EXPECT_EQ(Save("plain.txt"), "\xD6\xE5\xEB\xFC 1: 1 285,00 \x88\r\n");
    EXPECT_TRUE(warnings.isEmpty()); // nothing to say

    report.SetLines({"日本 ok", "üx 日"});
    EXPECT_EQ(Save("lossy.txt"), ""); // the user stopped at the warning
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("«日» (U+65E5)"))) << warnings[0].toStdString();
    EXPECT_EQ(proposed.size(), 1); // not even the dialog came up
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("lossy.txt"))));

    saveAnyway = true;
    EXPECT_EQ(Save("lossy.txt"), "?? ok\r\n?x ?\r\n");
    EXPECT_EQ(warnings.size(), 2);
}

// The error's text is the report file's; the window lets it through to the standard
// error message and keeps its text.
TEST_F(ReportWindow, UnwritableFileRaisesAnErrorAndKeepsTheText)
{
    report.SetLines({"a", "b"});
    EXPECT_THROW(Save("missing folder/rep0001.txt"), ReportFileError);
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ReportWindow, CtrlSSavesLikeTheMenu)
{
    report.SetLines({"a", "b"});
    report.show();
    report.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&report));
    answer = dir.filePath(QStringLiteral("keys.txt"));
    const QString text = report.re->toPlainText();
    // Typed in the memo, where the focus is: the window's shortcut still saves.
    report.re->setFocus();
    QTest::keyClick(report.re, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(proposed, QStringList{QStringLiteral("rep0001.txt")});
    EXPECT_EQ(Written(), "a\r\nb\r\n");
    // The memo took no "s".
    EXPECT_EQ(report.re->toPlainText(), text);
}

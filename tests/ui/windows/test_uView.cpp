#include "reportfile.h"
#include "uView.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using namespace korvala;

namespace {

std::string Bytes(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The report window with the save dialog replaced: records what the dialog proposed
// and answers with a path.
class ReportWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        report.SetAskSavePath([this](QFileDialog &sd) {
            ++asked;
            proposed = QFileInfo(sd.selectedFiles().value(0)).fileName();
            sd.selectFile(QStringLiteral("something else.txt"));
            return answer;
        });
    }
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    TfReport report;
    QString answer;
    QString proposed;
    int asked = 0;
};

} // namespace

TEST_F(ReportWindow, CaptionMemoAndMenu)
{
    EXPECT_EQ(report.windowTitle(), QStringLiteral("Отчет"));
    EXPECT_EQ(report.size(), QSize(696, 480));
    EXPECT_EQ(report.re->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(report.re->isReadOnly());
    EXPECT_EQ(report.re->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(report.re->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    ASSERT_EQ(report.MainMenu1->actions().size(), 1);
    EXPECT_EQ(report.MainMenu1->actions().constFirst(), report.N1);
    EXPECT_EQ(report.N1->text(), QStringLiteral("Save"));
    EXPECT_TRUE(report.sd->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(report.sd->defaultSuffix().isEmpty());
    EXPECT_EQ(report.sd->acceptMode(), QFileDialog::AcceptSave);
}

TEST_F(ReportWindow, LinesInAndOut)
{
    EXPECT_TRUE(report.Lines().empty());
    report.SetLines({"=== x ===", "Цель 1: 110,00", ""});
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{"=== x ===", "Цель 1: 110,00", ""}));
    report.AddLine("b");
    EXPECT_EQ(report.Lines().back(), "b");
    EXPECT_EQ(report.Lines().size(), 4u);
    report.Clear();
    EXPECT_TRUE(report.Lines().empty());
}

TEST_F(ReportWindow, SaveWritesCp1251WithCrLfAndProposesTheNameEveryTime)
{
    answer = Path("a.txt");
    report.SetLines({"a", "b"});
    report.N1->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(proposed, QStringLiteral("rep0001.txt"));
    EXPECT_EQ(Bytes(answer), std::string("a\r\nb\r\n"));

    answer = Path("ru.txt");
    report.SetLines({"Цель 1: 110,00", ""});
    report.N1Click();
    EXPECT_EQ(proposed, QStringLiteral("rep0001.txt")); // again, whatever was picked before
    EXPECT_EQ(Bytes(answer), std::string("\xD6\xE5\xEB\xFC 1: 110,00\r\n\r\n"));

    // An empty report gives an empty file; saving over a file replaces it silently.
    answer = Path("a.txt");
    report.Clear();
    report.N1Click();
    EXPECT_TRUE(QFileInfo::exists(answer));
    EXPECT_EQ(QFileInfo(answer).size(), 0);
}

TEST_F(ReportWindow, TextEditedByTheUserIsSavedAsEdited)
{
    report.SetLines({"a"});
    report.show();
    report.re->setFocus();
    report.re->moveCursor(QTextCursor::End);
    QTest::keyClicks(report.re, QStringLiteral("bc"));
    QTest::keyClick(report.re, Qt::Key_Return);
    QTest::keyClicks(report.re, QStringLiteral("d"));
    answer = Path("edited.txt");
    report.N1Click();
    // The memo's text ends with a line end, so typing at the end opens a second line.
    EXPECT_EQ(Bytes(answer), std::string("a\r\nbc\r\nd\r\n"));
}

TEST_F(ReportWindow, CancelWritesNothing)
{
    report.SetLines({"a"});
    answer.clear();
    report.N1Click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(ReportWindow, UnwritableFileRaisesAnErrorAndKeepsTheText)
{
    report.SetLines({"a", "b"});
    answer = Path("missing folder/rep0001.txt");
    try {
        report.N1Click();
        FAIL() << "no error";
    } catch (const ReportFileError &e) {
        const std::string text = e.what();
        EXPECT_NE(text.find(answer.toStdString()), std::string::npos) << text;
        EXPECT_NE(text.find(std::strerror(ENOENT)), std::string::npos) << text;
    }
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ReportWindow, ShowModalReturnsWhenClosed)
{
    bool modal = false;
    QTimer::singleShot(0, &report, [&] {
        modal = report.isVisible() && report.isModal();
        report.close();
    });
    report.ShowModal();
    EXPECT_TRUE(modal);
    EXPECT_FALSE(report.isVisible());
}

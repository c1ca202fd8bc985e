#include "spinedit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

class SpinEdit : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_spinedit";
            static char *argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }
};

// Replaces the text the way a user does: select all, type.
void TypeText(TSpinEdit &spin, const char *text)
{
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&spin, Qt::Key_Delete);
    QTest::keyClicks(&spin, QString::fromUtf8(text));
}

} // namespace

TEST_F(SpinEdit, ValueIsTheWholeNumberInTheText)
{
    EXPECT_EQ(SpinTextValue(QStringLiteral("222")), 222);
    EXPECT_EQ(SpinTextValue(QStringLiteral("-5")), -5);
    EXPECT_EQ(SpinTextValue(QString()), 1);
    EXPECT_EQ(SpinTextValue(QStringLiteral("-")), 1);
    EXPECT_EQ(SpinTextValue(QStringLiteral("1-2")), 1);
    EXPECT_EQ(SpinTextValue(QStringLiteral("99999999999")), 1); // beyond 32 bits
}

TEST_F(SpinEdit, TypedNumbersOutsideTheRangeAreKept)
{
    TSpinEdit spin(1, 100, 2);
    spin.show();
    QSignalSpy changed(&spin, &TSpinEdit::Changed);
    TypeText(spin, "2000");
    EXPECT_EQ(spin.Text(), QStringLiteral("2000"));
    EXPECT_EQ(spin.Value(), 2000);
    EXPECT_EQ(changed.count(), 5); // cleared, then one change per digit
    TypeText(spin, "x1,5");
    EXPECT_EQ(spin.Text(), QStringLiteral("15")); // letters and commas do not get in
    // Leaving the field keeps the text as typed.
    TypeText(spin, "0");
    spin.clearFocus();
    QTest::keyClick(&spin, Qt::Key_Return);
    EXPECT_EQ(spin.Text(), QStringLiteral("0"));
    EXPECT_EQ(spin.Value(), 0);
}

TEST_F(SpinEdit, ArrowsStayInTheRange)
{
    TSpinEdit spin(1, 3, 2);
    spin.show();
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 3);
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 3);
    spin.SetValue(50);
    spin.stepBy(-1);
    EXPECT_EQ(spin.Value(), 3);
    spin.SetText(QStringLiteral("-"));
    spin.stepBy(-1);
    EXPECT_EQ(spin.Value(), 1);
}

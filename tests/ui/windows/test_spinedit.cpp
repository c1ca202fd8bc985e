#include "spinedit.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

using namespace korvala;

namespace {

// Replaces the text the way a user does: select all, type.
void TypeText(SpinEdit &spin, const char *text)
{
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&spin, Qt::Key_Delete);
    QTest::keyClicks(&spin, QString::fromUtf8(text));
}

} // namespace

TEST(SpinEdit, ValueIsTheWholeNumberInTheText)
{
    for (const auto &[text, value] : std::vector<std::pair<const char *, int>>{
             {"222", 222}, {"-5", -5}, {"", 1}, {"-", 1}, {"1-2", 1}, {"99999999999", 1}}) // beyond 32 bits
        EXPECT_EQ(SpinTextValue(QString::fromUtf8(text)), value) << text;
}

TEST(SpinEdit, TypedNumbersOutsideTheRangeAreKeptTheArrowsStayInIt)
{
    SpinEdit spin(1, 100, 2);
    spin.show();
    QSignalSpy changed(&spin, &SpinEdit::Changed);
    TypeText(spin, "2000");
    EXPECT_EQ(spin.Value(), 2000);
    EXPECT_EQ(changed.count(), 5); // cleared, then one change per digit
    TypeText(spin, "x1,5");
    EXPECT_EQ(spin.Text(), QStringLiteral("15")); // letters and commas do not get in
    TypeText(spin, "0");
    spin.clearFocus(); // leaving the field keeps the text as typed
    QTest::keyClick(&spin, Qt::Key_Return);
    EXPECT_EQ(spin.Text(), QStringLiteral("0"));

    SpinEdit arrows(1, 3, 2);
    arrows.show();
    arrows.setFocus();
    QTest::keyClick(&arrows, Qt::Key_Up);
    QTest::keyClick(&arrows, Qt::Key_Up);
    EXPECT_EQ(arrows.Value(), 3);
    arrows.SetValue(50);
    arrows.stepBy(-1);
    EXPECT_EQ(arrows.Value(), 3);
    arrows.SetText(QStringLiteral("-"));
    arrows.stepBy(-1);
    EXPECT_EQ(arrows.Value(), 1);
}

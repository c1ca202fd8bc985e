// The spin edits of the windows: typing, the arrows and leaving the field. The rules for
// the numbers in the text are the model's (StrToIntDef, SpinEditSettledValue).

#include "spinedit.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "qtestapp.h"

using namespace korvala;

namespace {

// A window with a spin and a second control to move the focus to.
template <class Spin>
struct SpinForm
{
    template <class... Args>
    explicit SpinForm(Args... args) : spin(new Spin(args..., &window)), other(new QLineEdit(&window))
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(spin);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Replaces the text the way a user does: select all, delete, type.
    void Type(const char *text)
    {
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClicks(spin, QString::fromUtf8(text));
    }
    // … then leaves the spin for the other control.
    void TypeAndLeave(const char *text)
    {
        Type(text);
        other->setFocus();
    }
    QWidget window;
    Spin *spin;
    QLineEdit *other;
};

} // namespace

// While the user types, a number outside the range is used as it stands; leaving the
// field brings it into the range, and the arrows never leave it.
TEST(SpinEdit, TypedNumbersOutsideTheRangeAreUsedUntilTheFieldIsLeftTheArrowsStayInIt)
{
    SpinForm<SpinEdit> form(1, 100, 2);
    SpinEdit &spin = *form.spin;
    QSignalSpy changed(&spin, &SpinEdit::Changed);
    form.Type("2000");
    EXPECT_EQ(spin.Value(), 2000);
    EXPECT_EQ(changed.count(), 5); // cleared, then one change per digit
    form.Type("x1,5");
    EXPECT_EQ(spin.Text(), QStringLiteral("15")); // letters and commas do not get in

    SpinEdit arrows(1, 3, 2);
    arrows.SetValue(50);
    arrows.stepBy(-1); // from outside the range into it
    EXPECT_EQ(arrows.Value(), 3);
    arrows.SetText(QStringLiteral("-"));
    EXPECT_EQ(arrows.Value(), 1); // no number: 1
}

// The field shows the value in use once it is left: a number outside the range becomes
// the nearest bound, anything else the value it had.
TEST(SpinEdit, LeavingTheFieldSettlesTheTextOnTheValueInUse)
{
    SpinForm<SpinEdit> form(1, 1000000, 222);
    SpinEdit &spin = *form.spin;
    QSignalSpy changed(&spin, &SpinEdit::Changed);
    form.TypeAndLeave("99999999999"); // beyond 32 bits: counts as 1 while typed
    EXPECT_EQ(spin.Text().toStdString(), "1000000");
    EXPECT_EQ(spin.Value(), 1000000);
    ASSERT_GT(changed.count(), 0); // the owner hears of the settled value
    form.TypeAndLeave("35");
    EXPECT_EQ(spin.Text().toStdString(), "35"); // within the range: as typed
    form.TypeAndLeave("1-2");
    EXPECT_EQ(spin.Text().toStdString(), "35");
    // Enter settles too; the arrows' value is the one to go back to.
    spin.stepBy(2);
    form.Type("-");
    QTest::keyClick(&spin, Qt::Key_Return);
    EXPECT_EQ(spin.Text().toStdString(), "37");
}

TEST(SettlingSpinBox, ATypedValueOutsideTheRangeIsClampedWhenLeftAnEmptyTextGoesBack)
{
    SpinForm<SettlingSpinBox> form;
    QSpinBox &spin = *form.spin;
    spin.setRange(1, 12);
    spin.setValue(12);
    QSignalSpy changed(&spin, &QSpinBox::valueChanged);
    form.TypeAndLeave("0");
    EXPECT_EQ(spin.text().toStdString(), "1");
    EXPECT_EQ(spin.value(), 1);
    EXPECT_EQ(changed.count(), 1);
    form.TypeAndLeave("7");
    form.TypeAndLeave("");
    EXPECT_EQ(spin.text().toStdString(), "7");
    EXPECT_EQ(spin.value(), 7);
}

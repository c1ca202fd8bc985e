// The standard error message: whatever an event handler raises is shown and the program
// goes on.

#include "guiapp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <stdexcept>

using namespace korvala;

namespace {

// Raises its text from its event handler.
class Raiser final : public QObject
{
public:
    std::string text;
    int handled = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++handled;
        throw std::runtime_error(text);
    }
};

} // namespace

TEST(ErrorMessageText, DotOnlyAfterACharacterSortingAfterDot)
{
    EXPECT_EQ(ErrorMessageText("'12.5' is not a valid floating point value"),
              "'12.5' is not a valid floating point value.");
    EXPECT_EQ(ErrorMessageText("Done."), "Done.");
    EXPECT_EQ(ErrorMessageText("Stop!"), "Stop!");         // '!' sorts before '.'
    EXPECT_EQ(ErrorMessageText("value -"), "value -");     // '-' sorts before '.'
    EXPECT_EQ(ErrorMessageText("file 7"), "file 7.");       // '7' sorts after '.'
    EXPECT_EQ(ErrorMessageText("а/б"), "а/б.");             // Cyrillic sorts after '.'
    EXPECT_EQ(ErrorMessageText(""), "");
}

TEST(StandardErrorMessage, CaughtShownAndTheProgramGoesOn)
{
    test::App();
    test::MessageRecorder recorder;
    Raiser raiser;
    raiser.text = "Cannot open file \"x\". No such file or directory";
    QCoreApplication::postEvent(&raiser, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text,
              QStringLiteral("Cannot open file \"x\". No such file or directory."));

    // The next event is handled as usual.
    raiser.text = "again.";
    QCoreApplication::postEvent(&raiser, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(raiser.handled, 2);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].text, QStringLiteral("again."));
}

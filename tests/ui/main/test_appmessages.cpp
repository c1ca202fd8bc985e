// The standard error message: whatever an event handler raises is shown and the program
// goes on.

#include "guiapp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <stdexcept>

using namespace korvala;

TEST(ErrorMessageText, DotOnlyAfterACharacterSortingAfterDot)
{
    for (const auto &[text, shown] : std::vector<std::pair<std::string, std::string>>{
             {"'12.5' is not a valid floating point value", "'12.5' is not a valid floating point value."},
             {"Done.", "Done."}, {"Stop!", "Stop!"}, {"value -", "value -"}, // '!' and '-' sort before '.'
             {"file 7", "file 7."}, {"а/б", "а/б."}, {"", ""}})                  // '7' and Cyrillic after it
        EXPECT_EQ(ErrorMessageText(text), shown) << text;
}

TEST(StandardErrorMessage, CaughtShownAndTheProgramGoesOn)
{
    // Raises its text from its event handler.
    struct Raiser final : QObject
    {
        std::string text;
        int handled = 0;
        bool event(QEvent *e) override
        {
            if (e->type() != QEvent::User)
                return QObject::event(e);
            ++handled;
            throw std::runtime_error(text);
        }
    } raiser;
    test::App();
    test::MessageRecorder recorder;
    for (const char *text : {"Cannot open file \"x\". No such file or directory", "again."}) {
        raiser.text = text;
        QCoreApplication::postEvent(&raiser, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(raiser.handled, 2); // the next event is handled as usual
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("P & F"));
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text.toStdString(), "Cannot open file \"x\". No such file or directory.");
    EXPECT_EQ(recorder.messages[1].text, QStringLiteral("again."));
}

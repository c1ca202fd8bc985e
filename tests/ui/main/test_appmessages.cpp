// The standard error message: whatever an event handler raises is shown and the program
// goes on.

#include "guiapp.h"

#include <gtest/gtest.h>

#include "quotes.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include "numtext.h"

#include <stdexcept>
#include <vector>

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
}

// A text too wide for the screen (a 400-digit box text, a bad field of 300 KB) is cut
// visibly, with "…" in its middle, so that both of its ends stay in view.
TEST(AppMessageBox, HugeTextsAreCutVisiblyWithBothEndsInView)
{
    const QString digits = QStringLiteral("Слишком малое значение <0,") + QString(400, u'0') + QStringLiteral("1>");
    std::string badField;
    try {
        StrToFloat(std::string(300'000, '7') + "x");
    } catch (const ConvertError &e) {
        badField = ErrorMessageText(e.what()) + "\nbad.txt, line 2";
    }
    ASSERT_FALSE(badField.empty());
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    for (const QString &text : {digits, QString::fromStdString(badField)}) {
        const auto box = MakeAppMessageBox(nullptr, {QStringLiteral("P & F"), text, QMessageBox::Critical});
        box->show();
        QCoreApplication::processEvents();
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        const QString shown = label->text();
        const QString firstLine = text.section(u'\n', 0, 0);
        EXPECT_TRUE(shown.contains(u'…'));
        EXPECT_TRUE(shown.startsWith(firstLine.left(12))) << shown.toStdString();
        EXPECT_TRUE(shown.section(u'\n', 0, 0).endsWith(firstLine.right(12))) << shown.toStdString();
        EXPECT_EQ(shown.section(u'\n', 1), text.section(u'\n', 1)); // the location line as it is
        EXPECT_LE(box->width(), screenWidth);
        // The label wraps at blanks: every word fits it, so nothing is cut at its edge.
        for (const QString &word : shown.split(QRegularExpression(QStringLiteral("[ \n]"))))
            EXPECT_LE(label->fontMetrics().horizontalAdvance(word), label->contentsRect().width())
                << word.size();
    }
    // Long lines of words (which wrap) are shown as they are, up to twelve lines.
    const QFontMetrics metrics(QGuiApplication::font());
    QString words;
    for (int i = 0; i < 30; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    EXPECT_EQ(FitMessageText(words, metrics, 200), words);
    EXPECT_TRUE(FitMessageText(words.repeated(20), metrics, 200).contains(u'…')); // past twelve lines
}

// Handlers connected through the guard: what they raise stops at the guard (it never
// reaches the code that emitted the signal), is shown as the standard error message,
// a faulty quote line with its place on a second line, and the signal's argument
// reaches a handler that takes it.
TEST(StandardErrorMessage, GuardedHandlersShowWhatTheyRaise)
{
    struct Handlers
    {
        int plain = 0;
        std::vector<bool> toggled;
        void Plain()
        {
            ++plain;
            QuoteLineError error(ConvertError("'1x' is not a valid floating point value"), 7);
            error.SetFile("/tmp/folder/q.txt");
            throw error;
        }
        void Toggled(bool checked)
        {
            toggled.push_back(checked);
            if (checked)
                throw std::runtime_error("Floating point division by zero");
        }
    } handlers;
    test::MessageRecorder recorder;
    QObject context;
    QAction action;
    action.setCheckable(true);
    QObject::connect(&action, &QAction::triggered, &context, Guarded(&handlers, &Handlers::Plain));
    QObject::connect(&action, &QAction::toggled, &context, Guarded(&handlers, &Handlers::Toggled));

    action.trigger(); // checks the action: both handlers run and raise, and it returns
    action.trigger(); // unchecks it: the toggle handler runs quietly this time
    EXPECT_EQ(handlers.plain, 2);
    EXPECT_EQ(handlers.toggled, (std::vector<bool>{true, false}));
    // A checkable action emits toggled before triggered.
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[0].text.toStdString(), "Floating point division by zero.");
    EXPECT_EQ(recorder.messages[1].text.toStdString(),
              "'1x' is not a valid floating point value.\nq.txt, line 7");
    EXPECT_EQ(recorder.messages[2].text, recorder.messages[1].text);
}

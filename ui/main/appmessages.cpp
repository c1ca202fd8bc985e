#include "appmessages.h"

#include "codec.h"
#include "texts.h"
#include "quotes.h"

#include <QWidget>

#include <exception>

namespace korvala {

namespace {

MessageHook &Hook()
{
    static MessageHook hook;
    return hook;
}

} // namespace

MessageHook SetMessageHook(MessageHook hook)
{
    MessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

void ShowAppMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    const AppMessage message{QString::fromUtf8(kAppTitle), text, icon};
    if (Hook()) {
        Hook()(message);
        return;
    }
    QMessageBox box(icon, message.title, message.text, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

std::string ErrorMessageText(std::string_view what)
{
    std::string text = ShortText(what, 2000);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

void ShowStandardError(std::string_view what)
{
    ShowAppMessage(QApplication::activeWindow(), QString::fromStdString(ErrorMessageText(what)),
                   QMessageBox::Critical);
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromUtf8(kAppTitle));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const QuoteLineError &error) {
        // The error's text, and where in which file it lies on a line of its own.
        ShowAppMessage(QApplication::activeWindow(),
                       QString::fromStdString(ErrorMessageText(error.what()) + '\n' + error.Location()),
                       QMessageBox::Critical);
    } catch (const std::exception &error) {
        ShowStandardError(error.what());
    } catch (...) {
        ShowStandardError("Unknown error");
    }
    return false;
}

} // namespace korvala

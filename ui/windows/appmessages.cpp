#include "appmessages.h"

#include "codec.h"
#include "texts.h"
#include "quotes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

QString FitMessageText(const QString &text, const QFontMetrics &metrics, int maxWidth, int maxLines)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        QStringList words = line.split(u' ');
        for (QString &word : words)
            if (metrics.horizontalAdvance(word) > maxWidth)
                word = metrics.elidedText(word, Qt::ElideMiddle, maxWidth);
        line = words.join(u' ');
        // Words wrap; a line of many of them is cut like a word once it would fill
        // more than maxLines lines.
        if (metrics.horizontalAdvance(line) > maxWidth * maxLines)
            line = metrics.elidedText(line, Qt::ElideMiddle, maxWidth * maxLines);
    }
    return lines.join(u'\n');
}

std::unique_ptr<QMessageBox> MakeAppMessageBox(QWidget *parent, const AppMessage &message)
{
    auto box = std::make_unique<QMessageBox>(message.icon, message.title, QString(), QMessageBox::Ok, parent);
    box->setDefaultButton(QMessageBox::Ok);
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    // The box makes its text at least half the screen wide, up to 500 pixels, and wraps
    // it at blanks only: a longer run would run past its edge. Less the icon and margins.
    const int maxWidth = std::max(100, std::min(screenWidth / 2, 500) - 100);
    const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    box->setText(FitMessageText(message.text, label ? label->fontMetrics() : box->fontMetrics(), maxWidth));
    return box;
}

void ShowAppMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    const AppMessage message{QString::fromUtf8(kAppTitle), text, icon};
    if (Hook()) {
        Hook()(message);
        return;
    }
    MakeAppMessageBox(parent, message)->exec();
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

void ShowCurrentError()
{
    try {
        throw;
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
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentError();
    }
    return false;
}

} // namespace korvala

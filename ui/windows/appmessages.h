#pragma once

// The program's message boxes: titled with the application title, one OK button.
// Tests replace the box by a recorder through SetMessageHook.

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

class QFontMetrics;
class QWidget;

namespace korvala {

struct AppMessage
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

using MessageHook = std::function<void(const AppMessage &)>;

// Installs a hook that receives every message instead of a box; returns the previous
// one. An empty hook brings the boxes back.
MessageHook SetMessageHook(MessageHook hook);

// A modal box titled "P & F" with one OK button.
void ShowAppMessage(QWidget *parent, const QString &text,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

// The box ShowAppMessage shows (not yet shown): its text fitted to the screen.
std::unique_ptr<QMessageBox> MakeAppMessageBox(QWidget *parent, const AppMessage &message);

// A text fitted for a box at most maxWidth pixels wide: a word (a run without blanks)
// wider than that is cut in its middle with "…", and a line that would wrap into more
// than maxLines lines likewise, so that both ends of everything stay in view.
QString FitMessageText(const QString &text, const QFontMetrics &metrics, int maxWidth, int maxLines = 12);

// The text of the standard error message: the error's text, with "." appended when its
// last character sorts after ".".
std::string ErrorMessageText(std::string_view what);

// The standard error message: stop icon, OK, the text above.
void ShowStandardError(std::string_view what);

// From inside a catch block: the standard error message for what is being handled; a
// faulty quote line gets a second line saying where it lies ("quotes.txt, line 2").
void ShowCurrentError();

// Runs a window's handler. Whatever it raises stops it there: the standard error
// message is shown and the program goes on, as the event had been abandoned.
template <class F>
void RunGuarded(F &&handler)
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        ShowCurrentError();
    }
}

// The slot every window connects its handlers through, so that no exception crosses
// Qt's signal dispatch: connect(button, &QPushButton::clicked, this, Guarded(this,
// &TForm2::Button1Click)). The signal's arguments go to the handler as far as it takes
// them.
template <class Object, class Handler>
auto Guarded(Object *object, Handler handler)
{
    return [object, handler](auto &&...args)
        requires std::invocable<Handler, Object *, decltype(args)...>
    {
        RunGuarded([&] { std::invoke(handler, object, std::forward<decltype(args)>(args)...); });
    };
}

// The application object. Handlers are guarded where they are connected; whatever still
// escapes an event (a paint or key handler of a widget) ends up here as a last resort:
// the event is abandoned, the standard error message is shown and the program goes on.
class Application final : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace korvala

#include "settingskeeper.h"

#include "appsettings.h"
#include "mainwindow.h"
#include "recentfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QSplitter>
#include <QWidget>

namespace korvala {

namespace {

// The widget an object belongs to: itself, or the widget that holds an action.
const QWidget *Holder(const QObject *object)
{
    for (; object; object = object->parent())
        if (object->isWidgetType())
            return static_cast<const QWidget *>(object);
    return nullptr;
}

// The parts of a window that are kept: its named splitters and switches, not those of a
// dialog it owns (the open dialog's own).
template <class T>
QList<T *> Named(const QWidget *window)
{
    QList<T *> named;
    for (T *child : window->findChildren<T *>()) {
        const QWidget *holder = Holder(child);
        if (!child->objectName().isEmpty() && holder && holder->window() == window)
            named.append(child);
    }
    return named;
}

QList<QAction *> Switches(const QWidget *window)
{
    QList<QAction *> switches;
    for (QAction *action : Named<QAction>(window))
        if (action->isCheckable())
            switches.append(action);
    return switches;
}

} // namespace

SettingsKeeper::SettingsKeeper(AppSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
}

void SettingsKeeper::Keep(QWidget *window)
{
    Restore(window);
    window->installEventFilter(this);
    m_windows.append(window);
}

void SettingsKeeper::KeepMainWindow(TForm1 *form)
{
    m_main = form;
    m_mainWidget = form;
    Keep(form);
}

void SettingsKeeper::NoteShownWindows()
{
    for (const QPointer<QWidget> &window : m_windows)
        if (window && window->isVisible())
            Note(window);
}

void SettingsKeeper::Restore(QWidget *window) const
{
    const QString name = window->objectName();
    const QByteArray geometry = m_settings.WindowGeometry(name);
    if (!geometry.isEmpty())
        window->restoreGeometry(geometry);
    for (QSplitter *splitter : Named<QSplitter>(window)) {
        const QByteArray state = m_settings.SplitterState(name, splitter->objectName());
        if (!state.isEmpty())
            splitter->restoreState(state);
    }
    for (QCheckBox *box : Named<QCheckBox>(window))
        box->setChecked(m_settings.Toggle(name, box->objectName(), box->isChecked()));
    // A menu item is switched as a click switches it, for handlers of either signal.
    for (QAction *action : Switches(window))
        if (m_settings.Toggle(name, action->objectName(), action->isChecked()) != action->isChecked())
            action->trigger();
    if (window == m_mainWidget) {
        m_main->SetMagnitude(m_settings.Magnitude());
        m_main->SetLastFolder(m_settings.LastFolder());
        m_main->Recent()->SetFiles(m_settings.RecentFiles());
    }
}

void SettingsKeeper::Note(const QWidget *window) const
{
    const QString name = window->objectName();
    m_settings.SetWindowGeometry(name, window->saveGeometry());
    for (const QSplitter *splitter : Named<QSplitter>(window))
        m_settings.SetSplitterState(name, splitter->objectName(), splitter->saveState());
    for (const QCheckBox *box : Named<QCheckBox>(window))
        m_settings.SetToggle(name, box->objectName(), box->isChecked());
    for (const QAction *action : Switches(window))
        m_settings.SetToggle(name, action->objectName(), action->isChecked());
    // The main window's own figures, unless it is hidden while being destroyed (then it
    // is no TForm1 any more and its figures were noted when it was closed).
    if (const TForm1 *form = qobject_cast<const TForm1 *>(window); form && window == m_mainWidget) {
        m_settings.SetMagnitude(form->Magnitude());
        m_settings.SetLastFolder(form->LastFolder());
        m_settings.SetRecentFiles(form->Recent()->Files());
    }
}

bool SettingsKeeper::eventFilter(QObject *watched, QEvent *event)
{
    // Only the window's own hiding: a spontaneous hide (minimising) keeps it as it is.
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType())
        Note(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}

} // namespace korvala

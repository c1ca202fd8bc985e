#pragma once

// SettingsKeeper: brings the program's windows back as the user left them and notes how
// they are whenever one of them hides (closing the main window hides it, too).

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace korvala {

class AppSettings;
class TForm1;

// What is kept of every window, under its object name: its geometry, the positions of its
// splitters, and its on/off switches — check boxes and checkable menu items — each by
// its object name. A switch added later is kept as soon as it has an object name: a
// restore switches a check box as setChecked() does (toggled()) and a menu item as a
// click does (toggled(), then triggered()).
// Of the main window also the magnitude, the open dialog's last folder and the recent
// files.
class SettingsKeeper final : public QObject
{
    Q_OBJECT

public:
    explicit SettingsKeeper(AppSettings &settings, QObject *parent = nullptr);

    // Restores the window now and keeps it from here on.
    void Keep(QWidget *window);
    void KeepMainWindow(TForm1 *form);
    // Notes every kept window that is still shown (at the end of the program).
    void NoteShownWindows();

    // One window, at once.
    void Restore(QWidget *window) const;
    void Note(const QWidget *window) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppSettings &m_settings;
    QList<QPointer<QWidget>> m_windows;
    QPointer<TForm1> m_main;
    // The main window as a widget, for telling it apart from the others without a cast:
    // a window closed while the main window is being destroyed compares against it.
    QPointer<QWidget> m_mainWidget;
};

} // namespace korvala

#pragma once

// AppSettings: what the program remembers between runs, kept by QSettings in the
// platform's standard place (on Linux $XDG_CONFIG_HOME/Korvala/korvala.conf).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSettings;

namespace korvala {

// Every value has a default that stands whenever the stored one is missing or unusable.
// A file that cannot be read, or that is no settings file, is ignored as a whole: every
// value has its default, and the next Save writes a complete new file over it. QSettings
// writes the file itself, into a new file renamed over the old one.
class AppSettings final
{
public:
    static constexpr int kRecentFilesMax = 10;

    // The platform's place for the user's settings of this program.
    AppSettings();
    // A settings file of its own (tests, or a second profile).
    explicit AppSettings(const QString &fileName);
    ~AppSettings();
    AppSettings(const AppSettings &) = delete;
    AppSettings &operator=(const AppSettings &) = delete;

    QString FileName() const;
    // The file was there but could not be read or was no settings file: ignored.
    bool Ignored() const { return m_ignored; }

    // A window's geometry (QWidget::saveGeometry) and its splitters' states (by object
    // name), under the window's object name. Empty when none is stored.
    QByteArray WindowGeometry(const QString &window) const;
    void SetWindowGeometry(const QString &window, const QByteArray &geometry);
    QByteArray SplitterState(const QString &window, const QString &splitter) const;
    void SetSplitterState(const QString &window, const QString &splitter, const QByteArray &state);
    // An on/off switch of a window (a check box, a checkable menu item), by its name.
    bool Toggle(const QString &window, const QString &name, bool fallback) const;
    void SetToggle(const QString &window, const QString &name, bool on);

    // The P&F grid's magnitude, 1..12 (default 3; a stored number outside is brought in).
    int Magnitude() const;
    void SetMagnitude(int magnitude);
    // The folder the open dialog showed last (empty: none).
    QString LastFolder() const;
    void SetLastFolder(const QString &folder);
    // The recent-files list, newest first, at most ten.
    QStringList RecentFiles() const;
    void SetRecentFiles(const QStringList &files);

    // Writes what was set to the file; false when it could not be written (the program
    // goes on, it only forgets).
    bool Save();

private:
    QVariant Value(const QString &key) const;
    void SetValue(const QString &key, const QVariant &value);

    std::unique_ptr<QSettings> m_settings;
    bool m_ignored = false;
    bool m_changed = false;
};

} // namespace korvala

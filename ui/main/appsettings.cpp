#include "appsettings.h"

#include "pfgeometry.h"

#include <QSettings>

#include <algorithm>

namespace korvala {

namespace {

const QString kMainWindow = QStringLiteral("Form1");

QString Key(const QString &window, const QString &name) { return window + u'/' + name; }

} // namespace

AppSettings::AppSettings()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Korvala"), QStringLiteral("korvala")))
{
    m_ignored = m_settings->status() != QSettings::NoError;
    if (m_ignored)
        m_settings->clear();
}

AppSettings::AppSettings(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
    m_ignored = m_settings->status() != QSettings::NoError;
    // Nothing of a broken file survives into the next save.
    if (m_ignored)
        m_settings->clear();
}

AppSettings::~AppSettings() = default;

QString AppSettings::FileName() const { return m_settings->fileName(); }

QVariant AppSettings::Value(const QString &key) const
{
    return m_ignored ? QVariant() : m_settings->value(key);
}

void AppSettings::SetValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
    m_changed = true;
}

QByteArray AppSettings::WindowGeometry(const QString &window) const
{
    const QVariant v = Value(Key(window, QStringLiteral("geometry")));
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

void AppSettings::SetWindowGeometry(const QString &window, const QByteArray &geometry)
{
    SetValue(Key(window, QStringLiteral("geometry")), geometry);
}

QByteArray AppSettings::SplitterState(const QString &window, const QString &splitter) const
{
    const QVariant v = Value(Key(window, QStringLiteral("splitters/") + splitter));
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

void AppSettings::SetSplitterState(const QString &window, const QString &splitter,
                                   const QByteArray &state)
{
    SetValue(Key(window, QStringLiteral("splitters/") + splitter), state);
}

bool AppSettings::Toggle(const QString &window, const QString &name, bool fallback) const
{
    // Only the two words QSettings writes count; anything else is no answer.
    const QString text = Value(Key(window, QStringLiteral("toggles/") + name)).toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

void AppSettings::SetToggle(const QString &window, const QString &name, bool on)
{
    SetValue(Key(window, QStringLiteral("toggles/") + name), on);
}

int AppSettings::Magnitude() const
{
    bool ok = false;
    const int value = Value(Key(kMainWindow, QStringLiteral("magnitude"))).toInt(&ok);
    return ok ? std::clamp(value, pfview::kMinMagnitude, pfview::kMaxMagnitude)
              : pfview::kDefaultMagnitude;
}

void AppSettings::SetMagnitude(int magnitude)
{
    SetValue(Key(kMainWindow, QStringLiteral("magnitude")), magnitude);
}

QString AppSettings::LastFolder() const
{
    const QVariant v = Value(Key(kMainWindow, QStringLiteral("lastFolder")));
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

void AppSettings::SetLastFolder(const QString &folder)
{
    SetValue(Key(kMainWindow, QStringLiteral("lastFolder")), folder);
}

QStringList AppSettings::RecentFiles() const
{
    const QVariant v = Value(Key(kMainWindow, QStringLiteral("recentFiles")));
    // A list of one is written as its one text.
    QStringList stored;
    if (v.typeId() == QMetaType::QStringList)
        stored = v.toStringList();
    else if (v.typeId() == QMetaType::QString)
        stored = QStringList{v.toString()};
    QStringList files;
    for (const QString &file : stored)
        if (!file.isEmpty() && !files.contains(file) && files.size() < kRecentFilesMax)
            files.append(file);
    return files;
}

void AppSettings::SetRecentFiles(const QStringList &files)
{
    SetValue(Key(kMainWindow, QStringLiteral("recentFiles")), files.mid(0, kRecentFilesMax));
}

bool AppSettings::Save()
{
    if (!m_changed)
        return true;
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // The error of a broken file stays with the object that read it: the file just
    // written is read back by a new one.
    const QString name = m_settings->fileName();
    const QSettings::Format format = m_settings->format();
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(name, format);
    m_ignored = m_settings->status() != QSettings::NoError;
    return !m_ignored;
}

} // namespace korvala

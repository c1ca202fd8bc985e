#pragma once

// The GUI tests' own home: a temporary folder stands for HOME and for every XDG folder
// before the application object is made (and for the programs the tests start), and
// Qt's standard paths are in test mode, so nothing the toolkit keeps (the file dialogs'
// recent folders, settings, caches) reaches the real home of whoever runs the tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace korvala::test {

inline QString TemporaryHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/korvala-test-home-XXXXXX"));
    return home.path();
}

inline void UseTemporaryHome()
{
    const QString home = TemporaryHome();
    qputenv("HOME", QFile::encodeName(home));
    for (const auto &[name, folder] : {std::pair{"XDG_CONFIG_HOME", ".config"}, std::pair{"XDG_DATA_HOME", ".local/share"},
                                       std::pair{"XDG_CACHE_HOME", ".cache"}, std::pair{"XDG_STATE_HOME", ".local/state"},
                                       std::pair{"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = home + QLatin1Char('/') + QLatin1String(folder);
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    QFile::setPermissions(home + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace korvala::test

#pragma once

// The one application object of a GUI test program, with the tests' own home: made before
// the first test, removed after the last. Include this header; nothing else is needed.
// Before the application, a temporary folder stands for HOME and for every XDG folder
// (also for the programs the tests start) and Qt's standard paths are in test mode, so
// nothing the toolkit keeps (the file dialogs' recent folders, settings, caches) reaches
// the real home of whoever runs the tests.

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
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

// How the application object is made: a plain QApplication, unless the program's tests
// put another in its place before the tests run (guiapp.h does).
using ApplicationMaker = QApplication *(*)(int &argc, char **argv);
inline ApplicationMaker &MakeApplication()
{
    static ApplicationMaker make = [](int &argc, char **argv) { return new QApplication(argc, argv); };
    return make;
}

inline QApplication &App()
{
    static int argc = 1;
    static char name[] = "korvala-test";
    static char *argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        UseTemporaryHome();
        MakeApplication()(argc, argv);
    }
    return *qApp;
}

class QtEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override { App(); }
    void TearDown() override { delete qApp; }
};

// The captions of labels, edits and buttons, each followed by "|".
inline std::string Texts(std::initializer_list<const QWidget *> widgets)
{
    std::string s;
    for (const QWidget *w : widgets)
        s += w->property("text").toString().toStdString() + "|";
    return s;
}

// Runs action, which shows dialog modally; inspect runs while it is shown, then it closes.
template <class Action, class Inspect>
void WhileModal(QDialog &dialog, Action action, Inspect inspect)
{
    bool seen = false;
    QTimer::singleShot(0, &dialog, [&] {
        seen = true;
        EXPECT_TRUE(dialog.isModal());
        inspect();
        dialog.reject();
    });
    action();
    EXPECT_TRUE(seen) << "no modal window";
}

inline ::testing::Environment *const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace korvala::test

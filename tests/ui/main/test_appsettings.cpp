// What the program remembers between runs: the round trip through a settings file of
// every window's geometry, splitters and switches and of the main window's magnitude,
// last folder and recent files; files that are broken or cannot be read; the recent-files
// menu. Every test works in a folder of its own; the platform's place is only asked for
// its name, with QStandardPaths in test mode.

#include "guiapp.h"

#include "analysischart.h"
#include "analysiswindow.h"
#include "appsettings.h"
#include "indicatorwindow.h"
#include "mainwindow.h"
#include "pfgridview.h"
#include "recentfiles.h"
#include "replaybar.h"
#include "reportwindow.h"
#include "settingskeeper.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

std::vector<std::string> Lines(int n)
{
    std::vector<double> closes;
    for (int i = 0; i < n; ++i)
        closes.push_back(10 + i % 7);
    return test::FlatQuoteLines(closes);
}

// The program's four kept windows, as the program's entry makes them.
struct Windows
{
    TForm1 form;
    TForm2 analysis;
    TfIndic indicator;
    TfReport report;

    explicit Windows(SettingsKeeper &keeper)
    {
        form.SetOpenDialogHook([] { return QString(); });
        indicator.setObjectName(QStringLiteral("fIndic"));
        keeper.KeepMainWindow(&form);
        keeper.Keep(&indicator);
        keeper.Keep(&analysis);
        keeper.Keep(&report);
    }
};

void Show(QWidget &window)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
}

} // namespace

TEST(AppSettings, EveryWindowComesBackAsItWasLeft)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("korvala.conf"));
    const test::QuoteFile a("a.txt", Lines(40)), b("b.txt", Lines(50));
    QRect formGeometry, analysisGeometry;
    QList<int> splitter1;
    {
        AppSettings settings(path);
        EXPECT_FALSE(settings.Ignored()); // no file yet is no broken file
        SettingsKeeper keeper(settings);
        Windows w(keeper);
        Show(w.form);
        w.form.setGeometry(QRect(40, 50, 700, 520));
        w.form.Splitter1->setSizes({260, 430});
        QCoreApplication::processEvents();
        w.form.SetMagnitude(7);
        w.form.SetLastFolder(dir.path());
        w.form.OpenQuoteFile(QString::fromStdString(a.path));
        w.form.OpenQuoteFile(QString::fromStdString(b.path));
        w.form.chkHintShow->setChecked(false);
        w.form.aReplay->setChecked(true);
        w.form.aSignals->trigger(); // a menu item whose work follows its triggered()
        // The open dialog belongs to the main window but keeps nothing of its own there.
        w.form.od->show();
        w.form.od->hide();

        Show(w.analysis);
        w.analysis.setGeometry(QRect(90, 80, 640, 420));
        w.analysis.CheckBox3->setChecked(false);
        QCoreApplication::processEvents();
        analysisGeometry = w.analysis.geometry();
        w.analysis.hide(); // kept when it hides

        w.indicator.CheckBox2->setChecked(false);
        Show(w.indicator); // still shown at the end: kept then

        formGeometry = w.form.geometry();
        splitter1 = w.form.Splitter1->sizes();
        w.form.close();
        keeper.NoteShownWindows();
        EXPECT_TRUE(settings.Save());
    }
    {
        QSettings file(path, QSettings::IniFormat);
        file.beginGroup(QStringLiteral("Form1"));
        EXPECT_EQ(file.allKeys().join(u' ').toStdString(),
                  "geometry lastFolder magnitude recentFiles splitters/Splitter1 splitters/Splitter3 "
                  "toggles/aReplay toggles/aSignals toggles/chkHintShow");
    }

    AppSettings settings(path);
    SettingsKeeper keeper(settings);
    Windows w(keeper);
    EXPECT_EQ(w.form.SpinEdit1->value(), 7);
    EXPECT_EQ(w.form.sg->DefaultColWidth(), 7);
    EXPECT_EQ(w.form.LastFolder(), dir.path());
    EXPECT_EQ(w.form.Recent()->Files(), (QStringList{QString::fromStdString(b.path), QString::fromStdString(a.path)}));
    EXPECT_FALSE(w.form.chkHintShow->isChecked());
    EXPECT_TRUE(w.form.PFReplayBar()->isVisibleTo(&w.form));
    EXPECT_NE(w.form.sg->Overlay(), nullptr); // the signals are drawn over the grid
    EXPECT_FALSE(w.analysis.Chart()->ShowResSup()); // the switch did its work, too
    EXPECT_FALSE(w.indicator.CheckBox2->isChecked());
    Show(w.form);
    EXPECT_EQ(w.form.geometry(), formGeometry);
    EXPECT_EQ(w.form.Splitter1->sizes(), splitter1);
    Show(w.analysis);
    EXPECT_EQ(w.analysis.geometry(), analysisGeometry);
    w.analysis.hide();
    // The report window was never shown: nothing was kept of it, nothing moved it.
    EXPECT_TRUE(settings.WindowGeometry(QStringLiteral("fReport")).isEmpty());
}

TEST(AppSettings, ABrokenOrUnreadableFileIsIgnoredWithDefaultsAndTheNextSaveMendsIt)
{
    const test::TempDir dir;
    // Bytes no settings file holds: a section never closed, a byte array cut short.
    const QString path = QString::fromStdString(
        dir.Write("korvala.conf", std::string("[Form1\nmagnitude=9\ngeometry=@ByteArray(\\x\n\x01\x02 junk\x00\xff\n", 52)));
    {
        AppSettings settings(path);
        EXPECT_TRUE(settings.Ignored());
        EXPECT_EQ(settings.Magnitude(), 3);
        SettingsKeeper keeper(settings);
        const Windows w(keeper);
        EXPECT_EQ(w.form.Magnitude(), 3);
        settings.SetMagnitude(5);
        EXPECT_TRUE(settings.Save());
    }
    EXPECT_EQ(AppSettings(path).Magnitude(), 5); // a whole new file, nothing else of the old
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).allKeys(), QStringList{QStringLiteral("Form1/magnitude")});

    // A good file with unusable values: each one falls back on its own.
    dir.Write("korvala.conf", "[Form1]\nmagnitude=banana\nrecentFiles=/only/one.txt\ngeometry=not a geometry\n"
                "toggles\\chkHintShow=maybe\ntoggles\\aReplay=true\n[fIndic]\ngeometry=@ByteArray(garbage)\n");
    {
        AppSettings settings(path);
        EXPECT_FALSE(settings.Ignored());
        EXPECT_EQ(settings.Magnitude(), 3);
        EXPECT_EQ(settings.RecentFiles(), QStringList{QStringLiteral("/only/one.txt")});
        EXPECT_TRUE(settings.WindowGeometry(QStringLiteral("Form1")).isEmpty());
        SettingsKeeper keeper(settings);
        const Windows w(keeper);
        EXPECT_TRUE(w.form.chkHintShow->isChecked()); // "maybe" is no answer
        EXPECT_TRUE(w.form.aReplay->isChecked());
        settings.SetMagnitude(40);
        settings.Save();
    }
    EXPECT_EQ(AppSettings(path).Magnitude(), 12); // brought into 1..12

    // A folder where the file should be: nothing can be read or written, nothing fails.
    const QString folder = QString::fromStdString(dir.File("folder.conf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    AppSettings settings(folder);
    EXPECT_TRUE(settings.Ignored());
    settings.SetRecentFiles({QStringLiteral("/a.txt")});
    EXPECT_FALSE(settings.Save());
}

TEST(AppSettings, ThePlatformsPlaceIsTheUsersConfigurationFolder)
{
    // Asked in test mode, where QStandardPaths names a folder of its own.
    const QString place = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(AppSettings().FileName(), place + QStringLiteral("/Korvala/korvala.conf"));
}

TEST(RecentFiles, TenNewestFirstAndAFileThatIsGoneLeavesWithANote)
{
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files = WithRecentFile(files, QStringLiteral("/f%1.txt").arg(i), RecentFiles::kMax);
    EXPECT_EQ(files.size(), 10);
    EXPECT_EQ(files.last(), QStringLiteral("/f2.txt"));
    files = WithRecentFile(files, QStringLiteral("/f5.txt"), RecentFiles::kMax); // opened again
    EXPECT_EQ(files.size(), 10);
    EXPECT_EQ(files.mid(0, 2), (QStringList{QStringLiteral("/f5.txt"), QStringLiteral("/f11.txt")}));

    test::MessageRecorder recorder;
    const test::QuoteFile kept("kept.txt", Lines(30));
    TForm1 form;
    form.SetOpenDialogHook([] { return QString(); });
    const QString gone = QStringLiteral("/nowhere/gone & lost.txt");
    form.Recent()->SetFiles({gone, QString::fromStdString(kept.path)});
    ASSERT_EQ(form.mnRecent->actions().size(), 2);
    // "&&": the ampersand of the name is shown, not taken for an access key.
    EXPECT_EQ(form.mnRecent->actions()[0]->text(), QStringLiteral("&1 /nowhere/gone && lost.txt"));
    form.mnRecent->actions()[0]->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.contains(gone));
    EXPECT_EQ(form.Recent()->Files(), QStringList{QString::fromStdString(kept.path)});
    // The file that is there opens and stays first.
    form.mnRecent->actions()[0]->trigger();
    EXPECT_EQ(form.Document().QuoteList.Count(), 30);
    EXPECT_EQ(form.Recent()->Files(), QStringList{QString::fromStdString(kept.path)});
}

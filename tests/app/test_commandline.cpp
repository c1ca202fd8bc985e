// `korvala` on the command line: what it accepts, and the export without a window run as
// a user runs it, with its exit codes, its messages and the files it writes.

#include "commandline.h"
#include "qtestapp.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>

using namespace korvala;

namespace {

QStringList Words(const char *words) { return QString::fromUtf8(words).split(QLatin1Char(' '), Qt::SkipEmptyParts); }
CommandLine Parse(const char *words) { return ParseCommandLine(Words(words)); }

struct Outcome
{
    int code = -1;
    QString err;
    QString out;
};

// The program as its own process, without the environment variables named in unset. It
// runs in the tests' temporary home.
Outcome Korvala(const QStringList &args, const QStringList &unset = {})
{
    QProcess process;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &name : unset)
        e.remove(name);
    process.setProcessEnvironment(e);
    process.start(QStringLiteral(KORVALA_APP_PATH), args);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

// The export of the daily example into out, with more options.
Outcome Export(const QString &out, const QStringList &options = {}, const QStringList &unset = {})
{
    return Korvala(QStringList{QStringLiteral(KORVALA_EXAMPLES_DIR "/daily.txt"), QStringLiteral("--export"), out}
                       + options,
                   unset);
}

} // namespace

TEST(CommandLine, ExportRequestsAndTheirDefaults)
{
    const CommandLine plain = Parse("quotes.txt");
    EXPECT_EQ(plain.file, QStringLiteral("quotes.txt"));
    EXPECT_FALSE(plain.exportRequest);

    const CommandLine pf = Parse("quotes.txt --export out.png");
    ASSERT_TRUE(pf.exportRequest);
    EXPECT_EQ(pf.exportRequest->chart, ChartKind::PF);
    EXPECT_FALSE(pf.exportRequest->magnitude || pf.exportRequest->box);
    // Options in any order around the file; the values as typed.
    const CommandLine full = Parse("--export a.PDF --magnitude 12 q.txt --box 1,5 --reverse 4,5");
    ASSERT_TRUE(full.exportRequest);
    EXPECT_EQ(full.exportRequest->file + full.exportRequest->out, QStringLiteral("q.txta.PDF"));
    EXPECT_EQ(full.exportRequest->magnitude, 12);
    EXPECT_EQ(*full.exportRequest->box + *full.exportRequest->reverse, QStringLiteral("1,54,5"));

    const CommandLine candles = Parse("q.txt --export c.svg --chart candles --size 640x480");
    EXPECT_EQ(candles.exportRequest->chart, ChartKind::Candles);
    EXPECT_EQ(candles.exportRequest->size, QSize(640, 480));
    EXPECT_EQ(Parse("q.txt --export c.svg --chart analysis").exportRequest->size, QSize(1200, 800));
    EXPECT_TRUE(Parse("--help").help && Parse("q.txt --version").version);
}

TEST(CommandLine, BadUsageIsRefusedWithTheReason)
{
    const struct
    {
        const char *words;
        const char *says;
    } cases[] = {
        {"--export out.png", "needs a quote FILE"},
        {"q.txt --export out.jpg", ".png, .svg or .pdf"},
        {"q.txt --export", "needs a value"},
        {"q.txt --export a.png --chart bars", "not 'bars'"},
        {"q.txt --export a.png --magnitude 13", "from 1 to 12"},
        {"q.txt --export a.png --chart candles --magnitude 4", "belong to the P&F chart"},
        {"q.txt --export a.png --size 100x100", "--size belongs to the other charts"},
        {"q.txt --export a.png --chart linebreak --size 40000x10", "32767"},
        {"q.txt --export a.png --chart linebreak --size big", "not 'big'"},
        {"q.txt --magnitude 4", "belongs to --export"},
        {"q.txt --export a.png --export b.png", "given twice"},
        {"q.txt --frobnicate", "unknown option '--frobnicate'"},
        {"a.txt b.txt", "one file at a time"},
    };
    for (const auto &c : cases) {
        const std::string refusal = test::ErrorOf<CommandLineError>([&] { Parse(c.words); });
        EXPECT_NE(refusal.find(c.says), std::string::npos) << c.words << " → " << refusal;
    }

    const char *exportArgs[] = {"korvala", "q.txt", "--export", "a.png"};
    const char *windowArgs[] = {"korvala", "q.txt", "--export-not"};
    EXPECT_TRUE(RunsWithoutWindow(4, exportArgs));
    EXPECT_FALSE(RunsWithoutWindow(3, windowArgs));
}

TEST(HeadlessExport, WritesEachChartAndExitsZero)
{
    const QTemporaryDir dir;
    const QString pf = dir.filePath(QStringLiteral("pf.png"));
    Outcome r = Export(pf, Words("--magnitude 8"));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    // What the program keeps went to the tests' home.
    EXPECT_TRUE(QFile::exists(test::TemporaryHome() + QStringLiteral("/.config/QtProject.conf")));
    const QImage image(pf);
    ASSERT_FALSE(image.isNull());
    // Each of the other charts, at the size asked for (the files' formats are the picture
    // export's test).
    for (const char *chart : {"linebreak", "candles", "indicator", "analysis"}) {
        const QString out = dir.filePath(QString::fromLatin1(chart) + QStringLiteral(".png"));
        r = Export(out, Words("--size 500x300") << QStringLiteral("--chart") << QString::fromLatin1(chart));
        EXPECT_EQ(r.code, 0) << chart << ": " << r.err.toStdString();
        EXPECT_EQ(QImage(out).size(), QSize(500, 300)) << chart;
    }

    // No display at all, and no platform named: the export still runs. At magnitude 6 the
    // same chart's cells take 6/8 of their room at magnitude 8.
    const QString bare = dir.filePath(QStringLiteral("bare.png"));
    r = Export(bare, Words("--magnitude 6"), Words("QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY"));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QImage image6(bare);
    const int rulers = 2 * 75 + 3;
    EXPECT_EQ((image.width() - rulers) * 6, (image6.width() - rulers) * 8);
    EXPECT_EQ((image.height() - 18 - 16 - 54) * 6, (image6.height() - 18 - 16 - 54) * 8);
}

TEST(HeadlessExport, FailuresExitOneWithTheReasonBadUsageTwo)
{
    const QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.png"));
    Outcome r = Korvala({QStringLiteral(KORVALA_TEST_DATA_DIR "/bad_number.txt"), QStringLiteral("--export"), out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("'12.5' is not a valid floating point value"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("bad_number.txt, line 4"))) << r.err.toStdString();

    r = Korvala({dir.filePath(QStringLiteral("none.txt")), QStringLiteral("--export"), out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("none.txt"))) << r.err.toStdString();

    // A box that makes the chart far taller than a picture can be; one that is too small.
    r = Export(out, Words("--box 0,01 --reverse 0,03 --magnitude 5"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("32 767"))) << r.err.toStdString();
    r = Export(out, Words("--box 0,001"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("at least 0,01"))) << r.err.toStdString();

    r = Export(dir.filePath(QStringLiteral("out.bmp")));
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:"))) << r.err.toStdString();
    r = Korvala(Words("--help"), Words("QT_QPA_PLATFORM DISPLAY"));
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("--export OUT"))) << r.out.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0); // no picture of a failed run
}

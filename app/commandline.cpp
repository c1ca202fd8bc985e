#include "commandline.h"

#include "pictureexport.h"
#include "pfgeometry.h"

#include <QRegularExpression>

#include <cstring>

namespace korvala {

const char kCommandLineUsage[] =
    "Usage:\n"
    "  korvala [FILE]                      the program, with FILE opened\n"
    "  korvala FILE --export OUT [options] FILE's chart written to OUT (.png, .svg or .pdf),\n"
    "                                      without a window\n"
    "  korvala --help | --version\n"
    "\n"
    "Export options:\n"
    "  --chart KIND      pf (default), linebreak, candles, indicator or analysis\n"
    "  --magnitude N     pixels per box of the P&F chart, 1 to 12 (default 3)\n"
    "  --box T, --reverse T\n"
    "                    the P&F chart's box and reversal, written as in the window's edits\n"
    "                    (\"1,5\"); by default the ones the program proposes\n"
    "  --size WxH        the picture's size for the other charts (default 1200x800)\n"
    "\n"
    "Exit status: 0 success, 1 the file could not be opened or the picture written, 2 bad usage.\n";

namespace {

[[noreturn]] void Fail(const QString &text) { throw CommandLineError(text.toStdString()); }

int Magnitude(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < pfview::kMinMagnitude || n > pfview::kMaxMagnitude)
        Fail(QStringLiteral("--magnitude needs a whole number from %1 to %2, not '%3'")
                 .arg(pfview::kMinMagnitude)
                 .arg(pfview::kMaxMagnitude)
                 .arg(text));
    return n;
}

QSize PictureSize(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9})[xX](\\d{1,9})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    const long long w = m.hasMatch() ? m.captured(1).toLongLong() : 0;
    const long long h = m.hasMatch() ? m.captured(2).toLongLong() : 0;
    if (w < 1 || h < 1 || w > chart::kMaxPictureSide || h > chart::kMaxPictureSide)
        Fail(QStringLiteral("--size needs a width and a height from 1 to %1 pixels, as in "
                            "1200x800, not '%2'")
                 .arg(chart::kMaxPictureSide)
                 .arg(text));
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

} // namespace

CommandLine ParseCommandLine(const QStringList &args)
{
    CommandLine cl;
    std::optional<QString> out;
    std::optional<QString> chartName;
    std::optional<QString> magnitude;
    std::optional<QString> size;
    std::optional<QString> box;
    std::optional<QString> reverse;
    const std::pair<const char *, std::optional<QString> *> valued[] = {
        {"--export", &out},     {"--chart", &chartName}, {"--magnitude", &magnitude},
        {"--size", &size},      {"--box", &box},         {"--reverse", &reverse},
    };

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
            continue;
        }
        if (a == QLatin1String("--version")) {
            cl.version = true;
            continue;
        }
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            bool known = false;
            for (const auto &[name, value] : valued) {
                if (a != QLatin1String(name))
                    continue;
                known = true;
                if (i + 1 >= args.size())
                    Fail(QStringLiteral("option %1 needs a value").arg(a));
                if (value->has_value())
                    Fail(QStringLiteral("option %1 is given twice").arg(a));
                *value = args[++i];
            }
            if (!known)
                Fail(QStringLiteral("unknown option '%1'").arg(a));
            continue;
        }
        if (!cl.file.isEmpty())
            Fail(QStringLiteral("unexpected argument '%1': one file at a time").arg(a));
        cl.file = a;
    }
    if (cl.help || cl.version)
        return cl;

    if (!out) {
        for (const auto &[name, value] : valued) {
            if (value->has_value())
                Fail(QStringLiteral("option %1 belongs to --export").arg(QLatin1String(name)));
        }
        return cl;
    }

    HeadlessExport request;
    if (cl.file.isEmpty())
        Fail(QStringLiteral("--export needs a quote FILE"));
    request.file = cl.file;
    if (!chart::FormatOfPath(*out))
        Fail(QStringLiteral("--export needs a file name ending in .png, .svg or .pdf, not '%1'").arg(*out));
    request.out = *out;
    if (chartName) {
        const std::optional<ChartKind> kind = ChartKindFromName(*chartName);
        if (!kind)
            Fail(QStringLiteral("--chart is one of pf, linebreak, candles, indicator, analysis, "
                                "not '%1'")
                     .arg(*chartName));
        request.chart = *kind;
    }
    const bool pf = request.chart == ChartKind::PF;
    if (!pf && (magnitude || box || reverse))
        Fail(QStringLiteral("--magnitude, --box and --reverse belong to the P&F chart"));
    if (pf && size)
        Fail(QStringLiteral("--size belongs to the other charts: the P&F picture holds the "
                            "whole chart at its magnitude"));
    if (magnitude)
        request.magnitude = Magnitude(*magnitude);
    if (size)
        request.size = PictureSize(*size);
    request.box = box;
    request.reverse = reverse;
    cl.exportRequest = request;
    return cl;
}

bool RunsWithoutWindow(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--export", "--help", "-h", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace korvala

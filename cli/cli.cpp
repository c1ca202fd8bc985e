#include "cli.h"

#include "columnscsv.h"
#include "document.h"
#include "dump.h"
#include "jsonwriter.h"
#include "numtext.h"
#include "pfscan.h"
#include "pfsignals.h"
#include "pftext.h"
#include "quoteexport.h"
#include "quoteimport.h"
#include "reports.h"
#include "session.h"
#include "signals.h"
#include "version.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <exception>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace korvala::cli {

namespace {

constexpr const char *kVersion = "korvala-cli " KORVALA_VERSION;

constexpr const char *kUsage =
    "Usage:\n"
    "  korvala-cli stats  FILE                           statistics texts after opening FILE\n"
    "  korvala-cli pf     FILE [--box T] [--reverse T]   the P&F chart as a text picture\n"
    "  korvala-cli report FILE [--depth N]               the targets report lines\n"
    "  korvala-cli columns FILE [--box T] [--reverse T]  the P&F columns as CSV (';', decimal comma)\n"
    "  korvala-cli dump   FILE [options]                 everything, as one JSON object\n"
    "  korvala-cli signals FILE [--box T] [--reverse T] [--json]\n"
    "                                     P&F signals, trend line and objectives\n"
    "  korvala-cli scan   FILE... [--box-percent P] [--json]\n"
    "                                     per file its current signal, trend line and latest\n"
    "                                     objective, then the bullish percent\n"
    "  korvala-cli convert FILE [-o OUT]                 FILE in the native layout, to OUT\n"
    "                                                    (written safely) or to stdout\n"
    "  korvala-cli --help | --version\n"
    "\n"
    "Numbers are written as in the window's edits, with a decimal comma (\"1,5\").\n"
    "dump options:\n"
    "  --box T, --reverse T   box and reversal texts, applied by a second Refresh\n"
    "  --days N               the candle tab's number of days (default 222)\n"
    "  --period P, --offset S the indicator window's period and offset (default 7, 5)\n"
    "  --depth N              the analysis window's period (levels for N + 1 pivots)\n"
    "  --mm LINE              a line of the analysis window's memo (repeatable; default \"mm\")\n"
    "signals and scan options:\n"
    "  --json                 JSON instead of text (scan: one object per line, the summary last)\n"
    "  --box-percent P        scan: a box of P % of the last close, the reversal three boxes\n"
    "                         (default: the automatic box and reversal)\n"
    "Importing (stats, pf, report, columns, dump and signals with --import; convert always\n"
    "imports):\n"
    "  --import               read FILE as a quote file written elsewhere (a data site, a\n"
    "                         terminal, a spreadsheet); what was recognised goes to stderr\n"
    "  --separator S          the field separator: ';', ',' or tab (default: recognised)\n"
    "  --decimal M            the decimal mark: '.' or ',' (default: recognised)\n"
    "  --dates ORDER          the order of the date's parts: DMY, MDY or YMD (default:\n"
    "                         recognised)\n"
    "convert warns on stderr about what the native layout cannot keep (seconds, years\n"
    "outside 1950-2049).\n"
    "\n"
    "Exit status: 0 success, 1 the file could not be opened or built (scan: some file\n"
    "could not), 2 bad usage.\n";

class UsageError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct Options
{
    std::string command;
    std::string file;
    // scan: every file, in order.
    std::vector<std::string> files;
    std::optional<std::string> box;
    std::optional<std::string> reverse;
    double boxPercent = 0;
    bool json = false;
    DumpOptions dump;
    bool import = false;
    ImportOptions importOptions;
    bool importOptionGiven = false;
    std::optional<std::string> output; // convert -o
};

int WholeNumber(const std::string &option, const std::string &text)
{
    int v = 0;
    if (!TryStrToInt(text, v))
        throw UsageError("option " + option + " needs a whole number, not '" + text + "'");
    return v;
}

double Percent(const std::string &option, const std::string &text)
{
    double v = 0;
    if (!TryStrToFloat(text, v) || !(v > 0) || v > 1e6)
        throw UsageError("option " + option + " needs a positive number, not '" + text + "'");
    return v;
}

// Which options each command takes.
const std::map<std::string, std::vector<std::string>> kCommandOptions = {
    {"stats", {"--import", "--separator", "--decimal", "--dates"}},
    {"pf", {"--box", "--reverse", "--import", "--separator", "--decimal", "--dates"}},
    {"report", {"--depth", "--import", "--separator", "--decimal", "--dates"}},
    {"columns", {"--box", "--reverse", "--import", "--separator", "--decimal", "--dates"}},
    {"dump", {"--box", "--reverse", "--days", "--period", "--offset", "--depth", "--mm", "--import",
              "--separator", "--decimal", "--dates"}},
    {"signals", {"--box", "--reverse", "--json", "--import", "--separator", "--decimal", "--dates"}},
    {"scan", {"--box-percent", "--json"}},
    {"convert", {"-o", "--separator", "--decimal", "--dates"}},
};

// Options without a value.
bool IsFlag(const std::string &option) { return option == "--json" || option == "--import"; }

char SeparatorOption(const std::string &text)
{
    if (text == ";" || text == ",")
        return text[0];
    if (text == "tab" || text == "\t" || text == "\\t")
        return '\t';
    throw UsageError("option --separator takes ';', ',' or tab, not '" + text + "'");
}

char DecimalOption(const std::string &text)
{
    if (text == "." || text == ",")
        return text[0];
    throw UsageError("option --decimal takes '.' or ',', not '" + text + "'");
}

DateOrder DatesOption(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text == "DMY")
        return DateOrder::DayMonthYear;
    if (text == "MDY")
        return DateOrder::MonthDayYear;
    if (text == "YMD")
        return DateOrder::YearMonthDay;
    throw UsageError("option --dates takes DMY, MDY or YMD, not '" + text + "'");
}

Options Parse(const std::vector<std::string> &args)
{
    Options o;
    o.command = args.at(0);
    const auto command = kCommandOptions.find(o.command);
    if (command == kCommandOptions.end())
        throw UsageError("unknown command '" + o.command + "'");
    bool haveFile = false;
    std::vector<std::string> mm;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if ((a.size() > 2 && a.compare(0, 2, "--") == 0) || a == "-o") {
            const auto &allowed = command->second;
            if (std::find(allowed.begin(), allowed.end(), a) == allowed.end())
                throw UsageError("'" + o.command + "' takes no option " + a);
            if (IsFlag(a)) {
                (a == "--json" ? o.json : o.import) = true;
                continue;
            }
            if (i + 1 >= args.size())
                throw UsageError("option " + a + " needs a value");
            const std::string &v = args[++i];
            if (a == "-o")
                o.output = v;
            else if (a == "--separator")
                o.importOptions.separator = SeparatorOption(v), o.importOptionGiven = true;
            else if (a == "--decimal")
                o.importOptions.decimalMark = DecimalOption(v), o.importOptionGiven = true;
            else if (a == "--dates")
                o.importOptions.dateOrder = DatesOption(v), o.importOptionGiven = true;
            else if (a == "--box")
                o.box = v;
            else if (a == "--reverse")
                o.reverse = v;
            else if (a == "--days")
                o.dump.days = WholeNumber(a, v);
            else if (a == "--period")
                o.dump.period = WholeNumber(a, v);
            else if (a == "--offset")
                o.dump.offset = WholeNumber(a, v);
            else if (a == "--depth")
                o.dump.depth = WholeNumber(a, v);
            else if (a == "--mm")
                mm.push_back(v);
            else if (a == "--box-percent")
                o.boxPercent = Percent(a, v);
        } else if (!haveFile || o.command == "scan") {
            if (!haveFile)
                o.file = a;
            o.files.push_back(a);
            haveFile = true;
        } else {
            throw UsageError("unexpected argument '" + a + "'");
        }
    }
    if (!haveFile)
        throw UsageError("'" + o.command + "' needs a FILE");
    if (o.command == "convert")
        o.import = true;
    else if (o.importOptionGiven && !o.import)
        throw UsageError("--separator, --decimal and --dates go with --import");
    if (!mm.empty())
        o.dump.mm = mm;
    return o;
}

void PrintLines(std::ostream &out, const std::vector<std::string> &lines)
{
    for (const auto &line : lines)
        out << line << '\n';
}

// What an import recognised, and the first lines it skipped.
void Describe(const ImportResult &result, std::ostream &err)
{
    err << result.Description() << '\n';
    for (const std::string &line : result.SkippedLineTexts())
        err << "  " << line << '\n';
}

// The open sequence of File / Open..., then Refresh; with box or reversal texts given,
// they go into the edits and a second Refresh follows.
void OpenAndBuild(Session &s, const Options &o, std::ostream &err)
{
    if (o.import)
        Describe(s.Import(o.file, o.importOptions), err);
    else
        s.Open(o.file);
    if (o.box || o.reverse) {
        if (o.box)
            s.doc.eBox = *o.box;
        if (o.reverse)
            s.doc.eReverse = *o.reverse;
        s.Refresh();
    }
}

// Every file at once; a file that fails has its line, the others go on.
int RunScan(const Options &o, std::ostream &out)
{
    const std::vector<PFScanResult> results = ScanFiles(o.files, o.boxPercent);
    WriteScan(results, o.json, out);
    for (const PFScanResult &r : results)
        if (!r.Scanned())
            return kExitFailed;
    return kExitOk;
}

// The commands that read the P&F build fail when the last Refresh stopped before it.
void RequireBuilt(const PFDocument &doc)
{
    if (!doc.Built)
        throw std::runtime_error("The box and the reversal must be at least 0,01; no chart was built");
}

void WriteSignalsCommand(const PFDocument &doc, bool json, std::ostream &out)
{
    RequireBuilt(doc);
    const PFSignals signals = FindPFSignals(doc);
    if (!json) {
        PrintLines(out, SignalsReport(signals));
        return;
    }
    JsonWriter writer(out);
    WriteSignals(writer, signals);
    out << '\n';
}

// convert: the file through the import, out in the native layout.
int Convert(const Options &o, std::ostream &out, std::ostream &err)
{
    TFList quotes;
    {
        const std::string bytes = ReadWholeFile(o.file);
        Describe(ImportQuotes(bytes, quotes, o.importOptions), err);
    }
    for (const std::string &loss : NativeLayoutLosses(quotes))
        err << "korvala-cli: warning: " << loss << '\n';
    if (o.output)
        SaveNativeQuoteFile(*o.output, quotes);
    else
        WriteNativeQuotes(quotes, [&out](std::string_view bytes) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
    return kExitOk;
}

int RunCommand(const Options &o, std::ostream &out, std::ostream &err)
{
    if (o.command == "scan")
        return RunScan(o, out);
    if (o.command == "convert")
        return Convert(o, out, err);
    Session session(o.dump.days);
    OpenAndBuild(session, o, err);
    // The analysis window's period reaches the list as its level depth.
    if (o.dump.depth) {
        session.doc.QuoteList.SetLevelDepth(*o.dump.depth);
        session.doc.QuoteList.CalcLevels();
    }
    const PFDocument &doc = session.doc;
    // Everything is computed before anything is printed: a failure prints nothing.
    std::ostringstream text;
    if (o.command == "stats") {
        PrintLines(text, doc.Memo1);
        text << '\n';
        PrintLines(text, doc.mm_Common);
    } else if (o.command == "pf") {
        PrintLines(text, PFTextPicture(doc));
    } else if (o.command == "columns") {
        RequireBuilt(doc);
        PrintLines(text, ColumnsCsv(doc));
    } else if (o.command == "report") {
        PrintLines(text, TargetsReport(doc.QuoteList));
    } else if (o.command == "dump") {
        WriteDump(session, o.dump, text, err);
    } else if (o.command == "signals") {
        WriteSignalsCommand(doc, o.json, text);
    }
    out << text.str();
    return kExitOk;
}

} // namespace

int Run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.empty()) {
        err << kUsage;
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        out << kUsage;
        return kExitOk;
    }
    if (args[0] == "--version") {
        out << kVersion << '\n';
        return kExitOk;
    }
    try {
        return RunCommand(Parse(args), out, err);
    } catch (const UsageError &e) {
        err << "korvala-cli: " << e.what() << "\n\n" << kUsage;
        return kExitUsage;
    } catch (const QuoteLineError &e) {
        err << e.what() << '\n' << e.Location() << '\n';
        return kExitFailed;
    } catch (const std::bad_alloc &) {
        err << "Out of memory\n";
        return kExitFailed;
    } catch (const std::exception &e) {
        err << e.what() << '\n';
        return kExitFailed;
    }
}

} // namespace korvala::cli

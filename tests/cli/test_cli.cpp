// korvala-cli over the model: what each command prints is the model's text or the CLI's
// own layout (the P&F picture, the CSV, the JSON), on the right stream, with the right
// exit status. The model's texts themselves are the model's tests.

#include "cli.h"
#include "columnscsv.h"
#include "pfsignals.h"
#include "pftext.h"
#include "quoteimport.h"
#include "reports.h"
#include "session.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <charconv>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using korvala::cli::Run;
using korvala::test::DataPath;
using korvala::test::ReadFile;
using korvala::test::TempDir;
using nlohmann::json;
using Args = std::vector<std::string>;

namespace {

const auto Data = DataPath;

struct Result
{
    int code = -1;
    std::string out, err;
};

Result RunIn(const Args &args)
{
    std::ostringstream out, err;
    Result r;
    r.code = Run(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// What a command prints that must succeed: exit status 0, nothing on stderr.
std::string Out(const Args &args)
{
    const Result r = RunIn(args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return r.out;
}

// A quote file of the closes (see FlatQuoteLines) in dir.
std::string Quotes(const TempDir &dir, const std::vector<double> &closes, const std::string &name = "quotes.txt")
{
    return dir.Write(name, korvala::test::QuoteText(korvala::test::FlatQuoteLines(closes)));
}

// Runs korvala-cli as its own process (args in shell words), stdout into stdoutPath or a
// scratch file.
Result RunProgram(const std::string &args, const std::string &stdoutPath = "")
{
    const TempDir dir;
    const std::string out = stdoutPath.empty() ? dir.File("out") : stdoutPath, err = dir.File("err");
    const int status = std::system((KORVALA_CLI_PATH " " + args + " >'" + out + "' 2>'" + err + "'").c_str());
    return {WEXITSTATUS(status), stdoutPath.empty() ? ReadFile(out) : "", ReadFile(err)};
}

// Lines as the commands print them, each ended by a line feed.
std::string Printed(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

// The window's open sequence and, with box and reversal texts, a second Refresh.
struct Opened
{
    explicit Opened(const std::string &path, const char *box = nullptr, const char *reverse = nullptr)
    {
        s.Open(path);
        if (box) {
            s.doc.eBox = box;
            s.doc.eReverse = reverse;
            s.Refresh();
        }
    }
    korvala::cli::Session s{korvala::kCandleDaysInitial};
};

// Columns X 100-105, O -101, X -107 (a buy above 105), O -103, X -106, O -100 (a sell
// below 103), box 1 and reversal 3; quote i is dated 01.12.05 10:0<i>.
const std::vector<double> kSignalCloses = {100, 105.5, 100.5, 107.5, 102.5, 106.5, 99.5};

// The same six quotes as pf_example.txt, as a data site exports them, newest first.
const char *const kExampleAsExport =
    "<TICKER>,<PER>,<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\n"
    "X,1,20051201,150000,9.0000000,12.8000000,8.9000000,12.6000000,600\n"
    "X,1,20051201,140000,9.5000000,9.7000000,8.5000000,9.0000000,500\n"
    "X,1,20051201,130000,13.0000000,13.2000000,9.4000000,9.5000000,400\n"
    "X,1,20051201,120000,12.5000000,13.5000000,12.0000000,13.0000000,300\n"
    "X,1,20051201,110000,10.0000000,13.0000000,9.8000000,12.5000000,200\n"
    "X,1,20051201,100000,10.0000000,10.5000000,9.5000000,10.0000000,100\n";

} // namespace

TEST(Usage, HelpVersionAndBadCommandLines)
{
    const Result help = RunIn({"--help"});
    for (const char *word : {"stats", "pf", "report", "columns", "dump", "signals", "scan", "convert", "--import"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Out({"--version"}).rfind("korvala-cli 0.0.1", 0), 0u);

    const std::string file = Data("pf_example.txt");
    for (const Args &args : std::vector<Args>{
             {}, {"frobnicate", file}, {"--bogus"}, {"stats"}, {"dump", "--box", "1"}, {"stats", file, file},
             {"stats", file, "--box", "1"}, {"columns", file, "--depth", "2"}, {"pf", file, "--box"},
             {"dump", file, "--days", "x"}, {"signals", file, "--box-percent", "1"},
             {"scan", file, "--box-percent", "0"}, {"scan", file, "--box-percent", "abc"},
             {"stats", file, "--dates", "DMY"}, {"stats", file, "--import", "--dates", "DM"},
             {"stats", file, "--import", "--separator", "|"}, {"stats", file, "--import", "--decimal", ";"},
             {"convert", file, "-o"}}) {
        const Result r = RunIn(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args.back());
        EXPECT_TRUE(r.out.empty() && !r.err.empty());
    }
}

// stats, report and signals print the model's lines; --box and --reverse reach the edits
// before a second Refresh, --depth the list's level depth. A failure prints nothing on
// stdout, the error (and for a faulty line where it lies) on stderr, and exits 1.
TEST(Commands, PrintTheModelsLinesAndFailOnStderr)
{
    const std::string daily = korvala::test::ExamplePath("daily.txt");
    const Opened plain(daily);
    EXPECT_EQ(Out({"stats", daily}), Printed(plain.s.doc.Memo1) + "\n" + Printed(plain.s.doc.mm_Common));

    Opened deep(daily);
    deep.s.doc.QuoteList.SetLevelDepth(3);
    deep.s.doc.QuoteList.CalcLevels();
    const std::vector<std::string> targets = korvala::TargetsReport(deep.s.doc.QuoteList);
    EXPECT_GT(targets.size(), korvala::TargetsReport(plain.s.doc.QuoteList).size());
    EXPECT_EQ(Out({"report", daily, "--depth", "3"}), Printed(targets));

    const Opened built(daily, "5", "15");
    EXPECT_EQ(Out({"signals", daily, "--box", "5", "--reverse", "15"}),
              Printed(korvala::SignalsReport(korvala::FindPFSignals(built.s.doc))));

    const std::string missing = Data("nothing here.txt");
    for (const auto &[args, error] : std::vector<std::pair<Args, std::string>>{
             {{"stats", Data("bad_number.txt")},
              "'12.5' is not a valid floating point value\nbad_number.txt, line 4\n"},
             {{"pf", missing}, missing},
             {{"dump", Data("pf_example.txt"), "--reverse", "abc"}, "'abc' is not a valid floating point value\n"},
             {{"columns", Data("pf_example.txt"), "--box", "0,001"}, "at least 0,01"},
             {{"signals", Data("pf_example.txt"), "--box", "0,001"}, "at least 0,01"}}) {
        const Result failed = RunIn(args);
        EXPECT_EQ(failed.code, 1) << args[0];
        EXPECT_NE(failed.err.find(error), std::string::npos) << failed.err;
        EXPECT_TRUE(failed.out.empty()) << args[0];
    }
}

TEST(PF, TheWorkedExampleAsAPictureTallChartsLeaveOutEmptyRows)
{
    // Rows 0…5; row 6 of the O column lies past the grid. X rows stand for q0's close 10
    // plus whole boxes: row 4 is 10.
    EXPECT_EQ(Out({"pf", Data("pf_example.txt"), "--box", "1", "--reverse", "3"}),
              "14,000 ...\n13,000 ...\n12,000 X.X\n11,000 XOX\n10,000 XOX\n 9,000 .OX\n");
    // A box below 0,01 stops the second Refresh: the chart of the first build stays, with
    // the price labels of the box that built it.
    EXPECT_EQ(Out({"pf", Data("pf_example.txt"), "--box", "0,001"}), Out({"pf", Data("pf_example.txt")}));
    EXPECT_EQ(Out({"pf", Data("header_only.txt")}), "");

    // Closes above the start value of the minimums keep MinClose at 1 000 000 000: half a
    // billion rows, a few boxes. The picture lists only the rows with a box, without a row
    // array, and says so in a last line.
    const TempDir dir;
    const std::string big = Out({"pf", Quotes(dir, {2000000000, 2000001000, 2000000500}), "--box", "2",
                                 "--reverse", "6"});
    EXPECT_LT(big.size(), 100000u);
    std::istringstream lines(big);
    for (std::string line; std::getline(lines, line);) {
        const bool last = lines.peek() == EOF;
        EXPECT_NE(last ? line.find("rows without boxes left out") : line.find_first_of("XO"), std::string::npos)
            << line;
    }
}

TEST(Columns, TheWorkedExampleAsCsvForASpreadsheet)
{
    // Column 0 rises 10 → 12 and takes in 12.5 (its high 13.5), 13 and 9.5 (a fall too
    // small to reverse, its low 9.4): open 10, close 9.5, volume 100 + 200 + 300 + 400.
    // Column 1 is made by 9 alone and its boxes stand for 12 down to 9; column 2 by
    // 12.6 alone, boxes 9 up to 12.
    EXPECT_EQ(Out({"columns", Data("pf_example.txt"), "--box", "1", "--reverse", "3"}),
              "column;direction;start;end;open;high;low;close;volume;top;bottom\n"
              "0;UP;01.12.05 10:00;01.12.05 13:00;10;13,5;9,4;9,5;1000;12;10\n"
              "1;DOWN;01.12.05 14:00;01.12.05 14:00;9,5;9,7;8,5;9;500;12;9\n"
              "2;UP;01.12.05 15:00;01.12.05 15:00;9;12,8;8,9;12,6;600;12;9\n");
    EXPECT_EQ(korvala::cli::CsvField("01.12.05 10:00"), "01.12.05 10:00");
    EXPECT_EQ(korvala::cli::CsvField("a;b"), "\"a;b\"");
    EXPECT_EQ(korvala::cli::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(korvala::cli::CsvField("two\nlines"), "\"two\nlines\"");
}

TEST(Dump, TheWorkedExampleAndARefusedRefresh)
{
    const json j = json::parse(Out({"dump", Data("pf_example.txt"), "--box", "1", "--reverse", "3"}));
    EXPECT_EQ(j["caption"], "P & F file: pf_example.txt");
    EXPECT_EQ(j["eBox"], "1");
    EXPECT_EQ(j["FReverse"].get<double>(), 3.0);
    EXPECT_EQ(j["built"], true);
    const json &pf = j["PF"];
    EXPECT_EQ(pf["FColBottomRow"], json({4, 6, 5}));
    EXPECT_EQ(pf["FColumns"]["Items"][1], json::parse(R"({"PeriodStart": "01.12.05 14:00",
        "PeriodEnd": "01.12.05 14:00 - DOWN", "Direction": -1, "Open": 9.5, "High": 9.7, "Low": 8.5,
        "Close": 9, "Volume": 500})"));
    EXPECT_EQ(pf["Cells"], json::parse(R"([[0, 2, "x", null], [0, 3, "x", 1], [0, 4, "x", 1],
        [1, 3, "0", 4], [1, 4, "0", 4], [1, 5, "0", 4], [1, 6, "0", 4],
        [2, 2, "x", 5], [2, 3, "x", 5], [2, 4, "x", 5], [2, 5, "x", 5]])"));
    // Row 6 lies past the grid's rows: the dump has it, in its place.
    // A refused second Refresh: PF null, the edits as given, Memo1 as the last build wrote it.
    const json refused = json::parse(Out({"dump", Data("pf_example.txt"), "--box", "0,001"}));
    EXPECT_EQ(refused["built"], false);
    EXPECT_TRUE(refused["PF"].is_null());
    EXPECT_EQ(refused["eBox"], "0,001");
    EXPECT_EQ(refused["Memo1"], json(Opened(Data("pf_example.txt")).s.doc.Memo1));
    EXPECT_EQ(json::parse(Out({"dump", Data("cyrillic.txt")}))["QuoteList"]["Items"][0]["DateText"],
              "01.12.05 10:00 МСК");
}

namespace {

// The keys of an object, in the order the dump writes them.
template <class Json>
std::vector<std::string> Keys(const Json &object)
{
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it)
        keys.push_back(it.key());
    return keys;
}

using Names = std::vector<std::string>;

} // namespace

// What scripts that read the dump rely on: every key in its place, with its kind of value.
TEST(Dump, ShapeAsDocumented)
{
    const std::string daily = korvala::test::ExamplePath("daily.txt");
    const std::string text = Out({"dump", daily, "--depth", "3", "--mm", "1300", "--mm", "1250"});
    const json j = json::parse(text);
    const nlohmann::ordered_json o = nlohmann::ordered_json::parse(text);
    EXPECT_EQ(Keys(o), (Names{"caption", "eBox", "eReverse", "FBox", "FReverse", "built", "Memo1",
                             "mm_Common", "stb", "QuoteList", "PF", "LineBreak", "Candles",
                             "Indicator", "TargetsReport", "FNodesReport", "Signals"}));
    EXPECT_EQ(Keys(o["QuoteList"]), (Names{"Count", "MaxOpen", "MinOpen", "MaxHigh", "MinHigh",
                                          "MaxLow", "MinLow", "MaxClose", "MinClose", "MaxVolume",
                                          "AvgChange", "LevelDepth", "Items"}));
    EXPECT_EQ(Keys(o["QuoteList"]["Items"][0]),
              (Names{"DateText", "DateTime", "Open", "High", "Low", "Close", "Volume", "MA3", "Pivot",
                     "PivotEnabled", "Retrace382", "Retrace681", "OP", "COP", "XOP"}));
    EXPECT_EQ(Keys(o["PF"]), (Names{"RowCount", "ColCount", "FColTopRow", "FColBottomRow", "FColumns", "Cells"}));
    EXPECT_EQ(Keys(o["PF"]["FColumns"]["Items"][0]),
              (Names{"PeriodStart", "PeriodEnd", "Direction", "Open", "High", "Low", "Close", "Volume"}));
    EXPECT_EQ(Keys(o["Candles"]), (Names{"DateTimePicker1", "DateTimePicker2", "Items"}));
    EXPECT_EQ(Keys(o["Indicator"]), (Names{"Series1", "Series2"}));

    EXPECT_EQ(j["QuoteList"]["Items"].size(), 600u);
    EXPECT_EQ(j["QuoteList"]["LevelDepth"], 3);
    EXPECT_EQ(j["PF"]["FColumns"]["Items"].size(), j["PF"]["ColCount"].get<std::size_t>());
    for (const json &cell : j["PF"]["Cells"])
        ASSERT_TRUE(cell.size() == 4 && (cell[2] == "x" || cell[2] == "0") && (cell[3].is_null() || cell[3] < 600))
            << cell;
    for (const json &brick : j["LineBreak"])
        ASSERT_EQ(brick.size(), 4u);
    for (const json &candle : j["Candles"]["Items"])
        ASSERT_EQ(candle.size(), 5u);
    EXPECT_EQ(j["Indicator"]["Series2"].size(), 605u); // period 7, offset 5 until changed
    EXPECT_EQ(j["FNodesReport"], json(korvala::FNodesReport({"1300", "1250"})));
    EXPECT_TRUE(j["Signals"]["Signals"].is_array());

    // Every number in its shortest form that reads back to the same double (the intraday
    // file's date-times have long fractions).
    const std::string intraday = Out({"dump", korvala::test::ExamplePath("intraday.txt")});
    std::size_t numbers = 0;
    for (std::size_t i = 0; i < intraday.size(); ++i) {
        const char c = intraday[i];
        if (!(c == '-' || (c >= '0' && c <= '9')) || (i > 0 && intraday[i - 1] != ' ' && intraday[i - 1] != '['))
            continue;
        double v = 0;
        const auto [end, error] = std::from_chars(intraday.data() + i, intraday.data() + intraday.size(), v);
        if (error != std::errc() || (*end != ',' && *end != ']' && *end != '}' && *end != '\n'))
            continue;
        char shortest[32];
        const auto written = std::to_chars(shortest, shortest + sizeof shortest, v);
        ASSERT_EQ(std::string_view(intraday.data() + i, static_cast<std::size_t>(end - (intraday.data() + i))),
                  std::string_view(shortest, static_cast<std::size_t>(written.ptr - shortest)));
        ++numbers;
        i = static_cast<std::size_t>(end - intraday.data());
    }
    EXPECT_GT(numbers, 3000u * 7);
}

// The report's text is the model's; its JSON object is the command line's own, and the
// dump's last section.
TEST(Signals, TheJsonObjectAndTheDumpSection)
{
    const TempDir dir;
    const std::string file = Quotes(dir, kSignalCloses);
    // Rows: 10 (closes 99,5 to 107,5); the first close 100 lies on row 9, so the support
    // below the O at 101 starts on row 10 and the resistance above the X at 107 on row 1.
    const json j = json::parse(Out({"signals", file, "--box", "1", "--reverse", "3", "--json"}));
    EXPECT_EQ(j, json::parse(R"({"ReversalBoxes": 3,
        "Signals": [{"Column": 2, "Kind": "buy", "Pattern": "Double top", "Price": 106, "DateText": "01.12.05 10:03"},
                    {"Column": 5, "Kind": "sell", "Pattern": "Double bottom", "Price": 102, "DateText": "01.12.05 10:06"}],
        "Current": "sell",
        "TrendLine": {"Kind": "bearish resistance", "FromColumn": 2, "FromRow": 1, "FromPrice": 108, "ToColumn": 5, "Price": 105},
        "BrokenLines": [{"Kind": "bullish support", "FromColumn": 1, "FromRow": 10, "FromPrice": 100, "ToColumn": 5, "Price": 104}],
        "Objectives": [
          {"Method": "vertical", "Kind": "buy", "Column": 2, "FromColumn": 2, "ToColumn": 2, "Count": 7, "Base": 101, "Price": 122},
          {"Method": "vertical", "Kind": "sell", "Column": 5, "FromColumn": 3, "ToColumn": 3, "Count": 5, "Base": 107, "Price": 92}]})"));
    EXPECT_EQ(json::parse(Out({"dump", file, "--box", "1", "--reverse", "3"}))["Signals"], j);
    EXPECT_TRUE(json::parse(Out({"dump", file, "--box", "0,001"}))["Signals"].is_null());
}

// scan: a line per file in the order given (a failure on its own line), then the
// summary; with --json an object per line. Exit 1 when a file failed. (The scan's texts
// are pinned here: the command line is their only reader.)
TEST(Scan, OneLinePerFileInOrderThenTheBullishPercent)
{
    // Both files end on the close 105,5: a box of 0,9479 % of it is 1,000, the reversal 3,000.
    // buy.txt stops after the buy of column 2 (its support 101 at the last column, the
    // column too young for a count); sell.txt goes on to the sell of column 5 and an X
    // column to 105 that breaks the resistance (104 there), so a support from the low 100
    // runs at 100.
    const TempDir dir;
    const std::string buy = Quotes(dir, {100, 105.5, 100.5, 107.5, 105.5}, "buy.txt");
    std::vector<double> sold = kSignalCloses;
    sold.push_back(105.5);
    const std::string sell = Quotes(dir, sold, "sell.txt"), bad = Data("bad_number.txt");
    const Result r = RunIn({"scan", buy, bad, sell, "--box-percent", "0,9479"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, buy + ": Buy, Double top, 01.12.05 10:03; bullish support 101,000; no objective\n"
                         + bad + ": error: '12.5' is not a valid floating point value\n"
                         + sell + ": Sell, Double bottom, 01.12.05 10:06; bullish support 100,000; "
                                  "vertical count 92,000\n"
                         + "Bullish percent: 50,00 % (1 of 2 files on a buy signal, 1 on a sell signal, 1 failed)\n");

    Args args = {"scan", "--json", "--box-percent", "0,9479"};
    for (int i = 0; i < 40; ++i)
        args.push_back(i % 4 == 3 ? sell : buy);
    std::istringstream objects(Out(args));
    std::vector<json> parsed;
    for (std::string line; std::getline(objects, line);)
        parsed.push_back(json::parse(line));
    ASSERT_EQ(parsed.size(), 41u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(parsed[i]["Current"], i % 4 == 3 ? "sell" : "buy") << i;
    EXPECT_EQ(parsed[0], json::parse(R"({"File": ")" + buy + R"(", "Box": 1, "Reverse": 3, "Columns": 3,
        "Current": "buy", "Pattern": "Double top", "Column": 2, "Price": 106, "DateText": "01.12.05 10:03",
        "TrendLine": {"Kind": "bullish support", "FromColumn": 1, "Price": 101}, "Objective": null})"));
    EXPECT_EQ(parsed[40], json::parse(R"({"Files": 40, "Failed": 0, "Buy": 30, "Sell": 10, "BullishPercent": 75})"));
    const std::string failed = RunIn({"scan", bad, "--json"}).out;
    EXPECT_EQ(json::parse(failed.substr(0, failed.find('\n'))),
              json::parse(R"({"File": ")" + bad + R"(", "Error": "'12.5' is not a valid floating point value"})"));
}

// --import reads a file from elsewhere into the very state the native open gives; what was
// recognised goes to stderr. Without the option nothing changes.
TEST(Import, EveryCommandReadsAnExportLikeItsNativeTwin)
{
    const std::string native = Data("pf_example.txt");
    const TempDir dir;
    const std::string exported = dir.Write("pf_example.txt", kExampleAsExport); // the same name: the same caption
    korvala::TFList list;
    const std::string described = korvala::ImportQuotes(kExampleAsExport, list).Description() + "\n";

    for (const Args &command : std::vector<Args>{
             {"stats"}, {"pf", "--box", "1", "--reverse", "3"}, {"report", "--depth", "1"}, {"dump", "--depth", "2"},
             {"signals", "--box", "1", "--reverse", "3", "--json"}, {"columns", "--box", "1", "--reverse", "3"}}) {
        Args plain = command, imported = command;
        plain.insert(plain.begin() + 1, native);
        imported.insert(imported.begin() + 1, exported);
        imported.push_back("--import");
        const Result a = RunIn(plain), b = RunIn(imported);
        ASSERT_EQ(b.code, 0) << b.err;
        EXPECT_EQ(b.out, a.out) << command[0];
        EXPECT_TRUE(a.err.empty());
        EXPECT_EQ(b.err, described);
    }
    // Refused files fail like a bad native file: exit 1, the reason on stderr, no output.
    const std::string letter = dir.Write("letter.txt", "Dear all,\nplease find the prices attached.\n");
    const Result refused = RunIn({"dump", letter, "--import"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find("Dear all,"), std::string::npos) << refused.err;
    // Skipped lines are named under the description.
    dir.Write("letter.txt", std::string(kExampleAsExport) + "X,1,20051201\n");
    EXPECT_NE(RunIn({"stats", letter, "--import"}).err.find("\n  line 8 (with 3 fields): X,1,20051201\n"),
              std::string::npos);

    // The corrections of the guess.
    dir.Write("letter.txt", "Date;Close\n04/05/2020;1\n04/06/2020;2\n");
    const Result guessed = RunIn({"dump", letter, "--import"});
    const Result told = RunIn({"dump", letter, "--import", "--dates", "dmy", "--separator", ";", "--decimal", ","});
    EXPECT_EQ(json::parse(guessed.out)["QuoteList"]["Items"][0]["DateText"], "05.04.20 00:00");
    EXPECT_EQ(json::parse(told.out)["QuoteList"]["Items"][0]["DateText"], "04.05.20 00:00");
}

// convert writes the native layout: the worked example, as it was written by hand.
TEST(Convert, TheNativeLayoutItsWarningsAndSafeWriting)
{
    const TempDir dir;
    const std::string exported = dir.Write("export.csv", kExampleAsExport), out = dir.File("quotes.txt");
    Result r = RunIn({"convert", exported, "-o", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadFile(out), ReadFile(Data("pf_example.txt")));
    EXPECT_EQ(RunIn({"convert", exported}).out, ReadFile(out)); // to stdout when no file is named

    // What the native layout cannot keep is warned of, one line each.
    dir.Write("export.csv", "Date,Time,Close\n1949-12-31,10:00:30,1\n");
    r = RunIn({"convert", exported, "-o", out});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.err);
    int warnings = 0;
    for (std::string line; std::getline(lines, line);)
        warnings += line.rfind("korvala-cli: warning: ", 0) == 0;
    EXPECT_EQ(warnings, 2) << r.err;

    // A write that fails says why and leaves the earlier file.
    const std::string before = ReadFile(out);
    for (const std::string &target : {dir.path, dir.File("missing/quotes.txt")}) {
        r = RunIn({"convert", exported, "-o", target});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(target), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunIn({"convert", dir.File("none.csv"), "-o", out}).code, 1);
    EXPECT_EQ(ReadFile(out), before);
}

// The program itself: exit codes and streams, a full disk (nothing reaches the user, so
// success would be a lie), and the generator's two layouts of the same quotes.
TEST(Program, ExitCodesStreamsAFullDiskAndTheGeneratorsLayouts)
{
    const std::string daily = korvala::test::ExamplePath("daily.txt");
    Result r = RunProgram("stats " + daily);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(r.out, RunIn({"stats", daily}).out);
    r = RunProgram("stats " + Data("bad_number.txt"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, RunIn({"stats", Data("bad_number.txt")}).err);
    EXPECT_TRUE(r.out.empty());
    r = RunProgram("pf " + Data("pf_example.txt") + " --depth");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());
    for (const std::string &command : {"stats " + daily, "dump " + daily, "convert " + daily}) {
        r = RunProgram(command, "/dev/full");
        EXPECT_NE(r.code, 0) << command;
        EXPECT_FALSE(r.err.empty()) << command;
    }
    const TempDir dir;
    r = RunProgram("convert '" + daily + "' -o /dev/full");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;

    // scripts/gen_quotes writes the same quotes in both layouts.
    const std::string gen = "python3 '" KORVALA_SOURCE_DIR "/scripts/gen_quotes' --lines 3000 --seed 3 ";
    ASSERT_EQ(std::system((gen + "-o '" + dir.File("native.txt") + "'").c_str()), 0);
    ASSERT_EQ(std::system((gen + "--layout datasite -o '" + dir.File("site.txt") + "'").c_str()), 0);
    const json native = json::parse(Out({"dump", dir.File("native.txt")}))["QuoteList"];
    r = RunIn({"dump", dir.File("site.txt"), "--import"});
    EXPECT_EQ(json::parse(r.out)["QuoteList"], native);
    EXPECT_EQ(native["Count"], 3000);
}

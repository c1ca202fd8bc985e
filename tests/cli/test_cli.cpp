#include "cli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using korvala::cli::Run;
using nlohmann::json;

namespace {

std::string Data(const std::string &name) { return std::string(KORVALA_TEST_DATA_DIR) + "/" + name; }
std::string Example(const std::string &name) { return std::string(KORVALA_EXAMPLES_DIR) + "/" + name; }

struct Result
{
    int code = -1;
    std::string out, err;
};

Result RunIn(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    Result r;
    r.code = Run(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A scratch folder for quote files written by the tests.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvala_cli_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        const std::string path = m_path + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

const char *kHeader = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";

// The reference reading of a number text: the C library with a point.
double Number(std::string text)
{
    for (char &c : text)
        if (c == ',')
            c = '.';
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Usage
// ---------------------------------------------------------------------------------------

TEST(Usage, HelpAndVersion)
{
    const Result help = RunIn({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.err.empty());
    for (const char *word : {"stats", "pf", "dump", "--box", "--reverse", "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;

    const Result version = RunIn({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("korvala-cli ", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("0.0.1"), std::string::npos) << version.out;
    EXPECT_TRUE(version.err.empty());
}

TEST(Usage, BadCommandLinesExitWithTwoAndPrintNothingOnStdout)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate", Data("pf_example.txt")},
        {"stats"},
        {"pf"},
        {"dump", "--box", "1"},
        {"stats", Data("pf_example.txt"), "--box", "1"}, // stats takes no options
        {"pf", Data("pf_example.txt"), "--box"},         // an option without its value
        {"pf", Data("pf_example.txt"), "--colour", "red"},
        {"stats", Data("pf_example.txt"), Data("small.txt")},
        {"--bogus"},
    };
    for (const auto &args : bad) {
        const Result r = RunIn(args);
        std::string shown;
        for (const auto &a : args)
            shown += a + ' ';
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_TRUE(r.out.empty()) << shown;
        EXPECT_FALSE(r.err.empty()) << shown;
    }
}

// ---------------------------------------------------------------------------------------
// stats
// ---------------------------------------------------------------------------------------

TEST(Stats, Memo1ThenAnEmptyLineThenMmCommon)
{
    const Result r = RunIn({"stats", Data("pf_example.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(r.out,
              "Count point = 6\n"
              "OPEN  max = 13,000\n"
              "OPEN  min = 9,000\n"
              "HIGH  max = 13,500\n"
              "HIGH  min = 9,700\n"
              "LOW   max = 12,000\n"
              "LOW   min = 8,500\n"
              "CLOSE max = 13,000\n"
              "CLOSE min = 9,000\n"
              "Avg (High-Low) = 1,767\n"
              "Auto box = 1,767\n"
              "Auto reversal = 5,300\n"
              "\n"
              "Количество котировок = 6\n"
              "Максимальная цена закрытия = 13,000\n"
              "Минимальная цена закрытия = 9,000\n");
}

TEST(Stats, AFileWithNoQuotes)
{
    const Result r = RunIn({"stats", Data("header_only.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "Count point = 0");
    EXPECT_EQ(lines[2], "OPEN  min = 1 000 000 000,000");
    EXPECT_EQ(lines[9], "Avg (High-Low) = 0,000");
    EXPECT_EQ(lines[10], "Auto box = 0,010");
    EXPECT_EQ(lines[11], "Auto reversal = 0,030");
    EXPECT_EQ(lines[13], "Количество котировок = 0");
    EXPECT_EQ(lines[15], "Минимальная цена закрытия = 1 000 000 000,000");
}

TEST(Stats, ErrorsGoToStderrWithExitOne)
{
    Result r = RunIn({"stats", Data("bad_number.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'12.5' is not a valid floating point value\n");
    EXPECT_TRUE(r.out.empty());

    r = RunIn({"stats", Data("bad_cyrillic.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'сто' is not a valid floating point value\n");

    r = RunIn({"stats", Data("bad_date.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("31.02.05"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    const std::string missing = Data("nothing here.txt");
    r = RunIn({"stats", missing});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    r = RunIn({"stats", KORVALA_TEST_DATA_DIR});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Is a directory"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
}

// ---------------------------------------------------------------------------------------
// pf
// ---------------------------------------------------------------------------------------

namespace {

// Splits a picture line into its price label and its cells (the last `cols` characters).
void SplitLine(const std::string &line, int cols, double &price, std::string &cells)
{
    ASSERT_GT(line.size(), static_cast<std::size_t>(cols));
    cells = line.substr(line.size() - static_cast<std::size_t>(cols));
    std::string label = line.substr(0, line.size() - static_cast<std::size_t>(cols));
    std::string digits;
    for (char c : label)
        if (c != ' ')
            digits.push_back(c);
    price = Number(digits);
}

} // namespace

TEST(PF, TheWorkedExampleAsAPicture)
{
    const Result r = RunIn({"pf", Data("pf_example.txt"), "--box", "1", "--reverse", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out; // rows 0…5; row 6 of the O column is not shown
    const char *cells[] = {"...", "...", "X.X", "XOX", "XOX", ".OX"};
    // X rows stand for q0's close 10 plus whole boxes: row 4 is 10.
    const double prices[] = {14, 13, 12, 11, 10, 9};
    for (int i = 0; i < 6; ++i) {
        double price = 0;
        std::string c;
        SplitLine(lines[static_cast<std::size_t>(i)], 3, price, c);
        EXPECT_EQ(c, cells[i]) << lines[static_cast<std::size_t>(i)];
        EXPECT_DOUBLE_EQ(price, prices[i]) << lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].size(), lines[0].size()) << "aligned";
    }
}

TEST(PF, WithoutABuildThePictureStillMatchesTheGridShown)
{
    // A box below 0,01 stops the second Refresh at ReadParams: the chart of the first build
    // stays, and its price labels must be those of the box that built it.
    const Result automatic = RunIn({"pf", Data("pf_example.txt")});
    const Result refused = RunIn({"pf", Data("pf_example.txt"), "--box", "0,001"});
    ASSERT_EQ(automatic.code, 0);
    ASSERT_EQ(refused.code, 0) << refused.err;
    EXPECT_EQ(refused.out, automatic.out);
}

TEST(PF, BadParameterTextsFailLikeRefresh)
{
    const Result r = RunIn({"pf", Data("pf_example.txt"), "--box", "12.5"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'12.5' is not a valid floating point value\n");
    EXPECT_TRUE(r.out.empty());
}

TEST(PF, TallChartsLeaveOutEmptyRowsAndSaySo)
{
    TempDir dir;
    // Box 0,01 over 1…10: about 900 rows, but the swing near the top fills only a few.
    std::string text = kHeader;
    text += "01.01.05;10:00;1;1;1;10;1\r\n02.01.05;10:00;1;1;1;10,1;1\r\n"
            "03.01.05;10:00;1;1;1;10,05;1\r\n04.01.05;10:00;1;1;1;1;1\r\n";
    const std::string path = dir.Write("tall.txt", text);
    const Result r = RunIn({"pf", path, "--box", "0,01", "--reverse", "0,03"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    const std::string last = lines.back();
    EXPECT_NE(last.find("left out"), std::string::npos) << last;
    // Every row line shown holds at least one box.
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string &line = lines[i];
        EXPECT_NE(line.find_first_of("XO", line.find(' ', line.find_first_not_of(' '))),
                  std::string::npos)
            << line;
    }
    EXPECT_LE(lines.size(), 1000u);
}

TEST(PF, AFileWithNoQuotesPrintsNoRows)
{
    const Result r = RunIn({"pf", Data("header_only.txt")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find_first_of("XO"), std::string::npos) << r.out;
}

// ---------------------------------------------------------------------------------------
// dump
// ---------------------------------------------------------------------------------------

TEST(Dump, TheWorkedExampleFieldByField)
{
    const Result r = RunIn({"dump", Data("pf_example.txt"), "--box", "1", "--reverse", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const json j = json::parse(r.out);
    EXPECT_EQ(j["caption"], "P & F file: pf_example.txt");
    EXPECT_EQ(j["eBox"], "1");
    EXPECT_EQ(j["eReverse"], "3");
    EXPECT_EQ(j["FBox"].get<double>(), 1.0);
    EXPECT_EQ(j["FReverse"].get<double>(), 3.0);
    EXPECT_EQ(j["built"], true);
    ASSERT_EQ(j["Memo1"].size(), 12u);
    EXPECT_EQ(j["Memo1"][0], "Count point = 6");
    EXPECT_EQ(j["Memo1"][10], "Auto box = 1,000");
    EXPECT_EQ(j["Memo1"][11], "Auto reversal = 3,000");
    EXPECT_EQ(j["mm_Common"], json({"Количество котировок = 6", "Максимальная цена закрытия = 13,000",
                                     "Минимальная цена закрытия = 9,000"}));
    EXPECT_EQ(j["stb"], "Количество периодов = 6");

    const json &q = j["QuoteList"];
    EXPECT_EQ(q["Count"], 6);
    EXPECT_EQ(q["MaxOpen"].get<double>(), 13.0);
    EXPECT_EQ(q["MinOpen"].get<double>(), 9.0);
    EXPECT_EQ(q["MaxHigh"].get<double>(), 13.5);
    EXPECT_EQ(q["MinHigh"].get<double>(), 9.7);
    EXPECT_EQ(q["MaxLow"].get<double>(), 12.0);
    EXPECT_EQ(q["MinLow"].get<double>(), 8.5);
    EXPECT_EQ(q["MaxClose"].get<double>(), 13.0);
    EXPECT_EQ(q["MinClose"].get<double>(), 9.0);
    EXPECT_EQ(q["MaxVolume"].get<double>(), 600.0);
    const double changes = 2.5 + 0.5 + 3.5 + 0.5 + (12.6 - 9);
    EXPECT_EQ(q["AvgChange"].get<double>(), changes / 6);
    EXPECT_EQ(q["LevelDepth"], 0);
    ASSERT_EQ(q["Items"].size(), 6u);
    const json &i0 = q["Items"][0];
    EXPECT_EQ(i0["DateText"], "01.12.05 10:00");
    EXPECT_EQ(i0["DateTime"].get<double>(), 38687.416666666664);
    EXPECT_EQ(i0["Open"].get<double>(), 10.0);
    EXPECT_EQ(i0["High"].get<double>(), 10.5);
    EXPECT_EQ(i0["Low"].get<double>(), 9.5);
    EXPECT_EQ(i0["Close"].get<double>(), 10.0);
    EXPECT_EQ(i0["Volume"].get<double>(), 100.0);
    EXPECT_EQ(i0["PivotEnabled"], false);
    // Closes 10 12,5 13 9,5 9 12,6: pivots on 13, 9 and 12,6.
    const double pivots[] = {0, 0, 13, 0, 9, 12.6};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(q["Items"][static_cast<std::size_t>(i)]["Pivot"].get<double>(), pivots[i]) << i;
    EXPECT_EQ(q["Items"][3]["MA3"].get<double>(), (12.5 + 13 + 9.5) / 3);
    // Levels on the newest pivot: p1 12,6, p2 9, p3 13.
    const json &i5 = q["Items"][5];
    EXPECT_DOUBLE_EQ(i5["Retrace382"].get<double>(), 12.6 - 0.382 * 3.6);
    EXPECT_DOUBLE_EQ(i5["Retrace681"].get<double>(), 12.6 - 0.681 * 3.6);
    EXPECT_DOUBLE_EQ(i5["OP"].get<double>(), 9.4);
    EXPECT_DOUBLE_EQ(i5["COP"].get<double>(), 13 - 0.618 * 3.6);
    EXPECT_DOUBLE_EQ(i5["XOP"].get<double>(), 13 - 1.618 * 3.6);

    const json &pf = j["PF"];
    EXPECT_EQ(pf["RowCount"], 6);
    EXPECT_EQ(pf["ColCount"], 3);
    EXPECT_EQ(pf["FColTopRow"], json({2, 3, 2}));
    EXPECT_EQ(pf["FColBottomRow"], json({4, 6, 5}));
    EXPECT_EQ(pf["FColumns"]["MaxVolume"].get<double>(), 1000.0);
    const json &cols = pf["FColumns"]["Items"];
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[0]["PeriodStart"], "01.12.05 10:00");
    EXPECT_EQ(cols[0]["PeriodEnd"], "01.12.05 13:00 - UP");
    EXPECT_EQ(cols[0]["Direction"], 1);
    EXPECT_EQ(cols[0]["Close"].get<double>(), 9.5);
    EXPECT_EQ(cols[0]["High"].get<double>(), 13.5);
    EXPECT_EQ(cols[0]["Low"].get<double>(), 9.4);
    EXPECT_EQ(cols[0]["Volume"].get<double>(), 1000.0);
    EXPECT_EQ(cols[1]["PeriodEnd"], "01.12.05 14:00 - DOWN");
    EXPECT_EQ(cols[1]["Direction"], -1);
    EXPECT_EQ(cols[2]["Open"].get<double>(), 9.0);
    const json expectedCells = json::parse(R"([
        [0, 2, "x", null], [0, 3, "x", 1], [0, 4, "x", 1],
        [1, 3, "0", 4], [1, 4, "0", 4], [1, 5, "0", 4], [1, 6, "0", 4],
        [2, 2, "x", 5], [2, 3, "x", 5], [2, 4, "x", 5], [2, 5, "x", 5]])");
    EXPECT_EQ(pf["Cells"], expectedCells);
}

TEST(Dump, NumbersReadBackToTheSameDouble)
{
    TempDir dir;
    const std::vector<std::string> prices = {
        "0,1",       "0,3",  "1234,5678",       "1e-7",   "123456789,123456789", "2,675",
        "1,0000000000000002", "99999999,99", "0,000123456789", "3,3",    "1e300",
        "-7,25",     "5e-324"};
    std::string text = kHeader;
    for (std::size_t i = 0; i < prices.size(); ++i)
        text += "0" + std::to_string(1 + i % 9) + ".01.05;10:00;" + prices[i] + ";" + prices[i] + ";"
                + prices[i] + ";" + prices[i] + ";" + prices[i] + "\r\n";
    const std::string path = dir.Write("numbers.txt", text);
    const Result r = RunIn({"dump", path}); // automatic box: a 300-digit "%.3f" text
    ASSERT_EQ(r.code, 0) << r.err;
    const json j0 = json::parse(r.out);
    EXPECT_EQ(j0["FBox"].get<double>(), Number(j0["eBox"].get<std::string>()));
    EXPECT_EQ(j0["FReverse"].get<double>(), Number(j0["eReverse"].get<std::string>()));
    const json &j = j0;
    const json &items = j["QuoteList"]["Items"];
    ASSERT_EQ(items.size(), prices.size());
    for (std::size_t i = 0; i < prices.size(); ++i) {
        const double expected = Number(prices[i]);
        for (const char *field : {"Open", "High", "Low", "Close", "Volume"})
            EXPECT_EQ(items[i][field].get<double>(), expected) << prices[i] << ' ' << field;
    }
    EXPECT_EQ(j["QuoteList"]["MaxClose"].get<double>(), 1e300);
}

TEST(Dump, ARefusedSecondRefreshLeavesPFNull)
{
    const Result r = RunIn({"dump", Data("pf_example.txt"), "--box", "0,001"});
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["built"], false);
    EXPECT_TRUE(j["PF"].is_null());
    EXPECT_EQ(j["eBox"], "0,001");
    EXPECT_EQ(j["eReverse"], "5,300");
    EXPECT_EQ(j["FBox"].get<double>(), 0.001);
    // Memo1 keeps what the last build wrote: the automatic values.
    EXPECT_EQ(j["Memo1"][10], "Auto box = 1,767");
}

TEST(Dump, FailuresPrintNothingOnStdout)
{
    Result r = RunIn({"dump", Data("pf_example.txt"), "--reverse", "abc"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'abc' is not a valid floating point value\n");
    EXPECT_TRUE(r.out.empty());

    r = RunIn({"dump", Data("bad_number.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'12.5' is not a valid floating point value\n");
    EXPECT_TRUE(r.out.empty());
}

TEST(Dump, CellsIncludeTheRowPastTheGridAndAreSorted)
{
    TempDir dir;
    const std::string path = dir.Write(
        "rows.txt", std::string(kHeader) + "01.01.05;10:00;1;1;1;3,3;1\r\n02.01.05;10:00;1;1;1;10,3;1\r\n"
                                           "03.01.05;10:00;1;1;1;1;1\r\n04.01.05;10:00;1;1;1;10,29;1\r\n");
    const Result r = RunIn({"dump", path, "--box", "0,01", "--reverse", "0,03"});
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    const json &pf = j["PF"];
    EXPECT_EQ(pf["RowCount"], 932);
    EXPECT_EQ(pf["FColBottomRow"], json({702, 933, 932}));
    const json &cells = pf["Cells"];
    EXPECT_EQ(cells.size(), static_cast<std::size_t>((702 - 2 + 1) + (933 - 3 + 1) + (932 - 4 + 1)));
    bool sawRowCountPlusOne = false;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            const auto prev = std::make_pair(cells[i - 1][0].get<int>(), cells[i - 1][1].get<int>());
            const auto cur = std::make_pair(cells[i][0].get<int>(), cells[i][1].get<int>());
            ASSERT_LT(prev, cur) << i;
        }
        if (cells[i][0] == 1 && cells[i][1] == 933) {
            sawRowCountPlusOne = true;
            EXPECT_EQ(cells[i][2], "0");
            EXPECT_EQ(cells[i][3], 2);
        }
    }
    EXPECT_TRUE(sawRowCountPlusOne);
}

TEST(Dump, RussianTextIsUtf8)
{
    const Result r = RunIn({"dump", Data("cyrillic.txt")});
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["QuoteList"]["Items"][0]["DateText"], "01.12.05 10:00 МСК");
    EXPECT_EQ(j["PF"]["FColumns"]["Items"][0]["PeriodStart"], "01.12.05 10:00 МСК");
}

TEST(Dump, TheBundledExamplesAreConsistent)
{
    for (const char *name : {"daily.txt", "intraday.txt"}) {
        const Result r = RunIn({"dump", Example(name)});
        ASSERT_EQ(r.code, 0) << name << ": " << r.err;
        const json j = json::parse(r.out);
        const json &pf = j["PF"];
        ASSERT_TRUE(j["built"].get<bool>()) << name;
        const int cols = pf["ColCount"];
        ASSERT_EQ(pf["FColumns"]["Items"].size(), static_cast<std::size_t>(cols)) << name;
        ASSERT_EQ(pf["FColTopRow"].size(), static_cast<std::size_t>(cols)) << name;
        std::size_t boxes = 0;
        for (int c = 0; c < cols; ++c)
            boxes += static_cast<std::size_t>(pf["FColBottomRow"][static_cast<std::size_t>(c)].get<int>()
                                              - pf["FColTopRow"][static_cast<std::size_t>(c)].get<int>() + 1);
        EXPECT_EQ(pf["Cells"].size(), boxes) << name;
        // Every quote after the first is taken into exactly one column.
        double volume = 0, columnVolume = 0;
        for (const auto &item : j["QuoteList"]["Items"])
            volume += item["Volume"].get<double>();
        for (const auto &col : pf["FColumns"]["Items"])
            columnVolume += col["Volume"].get<double>();
        EXPECT_DOUBLE_EQ(columnVolume, volume) << name;
        EXPECT_EQ(j["stb"], "Количество периодов = " + std::to_string(j["QuoteList"]["Count"].get<int>()));
    }
}

// ---------------------------------------------------------------------------------------
// The real program, end to end
// ---------------------------------------------------------------------------------------

namespace {

// Runs korvala-cli as a separate process; stdout and stderr are collected in files.
Result RunProgram(const std::vector<std::string> &args, const char *stdoutPath = nullptr)
{
    TempDir dir;
    const std::string outPath = dir.Path() + "/out", errPath = dir.Path() + "/err";
    Result r;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(stdoutPath ? stdoutPath : outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char *> argv;
        std::string program = KORVALA_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (auto &a : copies)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto slurp = [](const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    };
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    return r;
}

} // namespace

TEST(Program, ExitCodesAndStreams)
{
    Result r = RunProgram({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("korvala-cli ", 0), 0u) << r.out;

    r = RunProgram({"stats", Example("daily.txt")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(r.out, RunIn({"stats", Example("daily.txt")}).out);

    r = RunProgram({"stats", Data("bad_number.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "'12.5' is not a valid floating point value\n");
    EXPECT_TRUE(r.out.empty());

    r = RunProgram({"stats", Data("missing.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(Data("missing.txt")), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    r = RunProgram({});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());

    r = RunProgram({"pf", Data("pf_example.txt"), "--depth"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());

    r = RunProgram({"dump", Example("intraday.txt")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(json::accept(r.out));
}

TEST(Program, AnOutputThatCannotBeWrittenIsAFailure)
{
    // A full disk: nothing of the statistics reaches the user, so success would be a lie.
    const Result r = RunProgram({"stats", Data("pf_example.txt")}, "/dev/full");
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(r.err.empty());
    const Result d = RunProgram({"dump", Example("daily.txt")}, "/dev/full");
    EXPECT_NE(d.code, 0);
}

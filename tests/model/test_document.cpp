#include "document.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace korvala;

namespace {

using Lines = std::vector<std::string>;

std::string Data(const std::string &name) { return std::string(KORVALA_TEST_DATA_DIR) + "/" + name; }

// The text of what f raises, or "" when it raises nothing.
std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "";
}

// Every cell quote of every drawn column.
std::vector<int> AllCellQuotes(const PFDocument &doc)
{
    std::vector<int> q;
    for (int c = 0; c < doc.sg.ColCount; ++c)
        for (int r = doc.sg.FirstRow(c); r <= doc.sg.LastRow(c); ++r)
            q.push_back(doc.sg.CellQuote(c, r));
    return q;
}

// A quote file in a scratch folder of its own (other builds may run the same tests).
class ScratchFile final
{
public:
    ScratchFile(const std::string &name, const std::string &body)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvala_doc_XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
        path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << "header\r\n" << body;
    }
    ~ScratchFile() { std::filesystem::remove_all(m_dir); }
    std::string path;

private:
    std::filesystem::path m_dir;
};

// The open sequence as the main window runs it: open, common figures, Refresh.
void Open(PFDocument &doc, const std::string &path)
{
    doc.OpenFile(path);
    doc.ShowCommonInfo();
    doc.Refresh();
}

} // namespace

TEST(Document, TheOpenSequenceAndRefresh)
{
    PFDocument doc;
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1 3");
    EXPECT_EQ(doc.FBox + doc.FReverse, 0.0);
    Open(doc, Data("pf_example.txt"));
    // AvgChange (2,5 + 0,5 + 3,5 + 0,5 + 3,6) / 6 = 1,7666…
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,767 5,300");
    EXPECT_EQ(std::make_pair(doc.FBox, doc.FReverse), std::make_pair(1.767, 5.3));
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
    ASSERT_EQ(doc.Memo1.size(), 12u);
    EXPECT_EQ(doc.Memo1[0], "Count point = 6");
    EXPECT_EQ(doc.Memo1[9], "Avg (High-Low) = 1,767");
    EXPECT_EQ(doc.Memo1[11], "Auto reversal = 5,300");
    EXPECT_EQ(doc.mm_Common, (Lines{"Количество котировок = 6", "Максимальная цена закрытия = 13,000",
                                    "Минимальная цена закрытия = 9,000"}));
    EXPECT_TRUE(doc.Built);
    EXPECT_EQ(doc.stb, "Количество периодов = 6");
    // Box 1,767: (13 - 9) / 1,767 → RowCount Round(2,26) + 2 = 4.
    EXPECT_EQ(doc.sg.RowCount, 4);
    EXPECT_EQ(doc.FColumns.Count(), doc.sg.ColCount);

    // The user's parameters and Refresh: the worked example; Memo1 shows the values in force.
    doc.eBox = "1";
    doc.eReverse = "3";
    ASSERT_TRUE(doc.Refresh());
    EXPECT_EQ(doc.FColBottomRow, (std::vector<int>{4, 6, 5}));
    EXPECT_EQ(doc.FColTopRow, (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(doc.FColumns.Items(0)->PeriodEnd(), "01.12.05 13:00 - UP");
    EXPECT_EQ(doc.Memo1[10], "Auto box = 1,000");
    EXPECT_EQ(doc.Memo1[11], "Auto reversal = 3,000");

    // Below 0,01 Refresh stops: nothing is rebuilt; a text that does not convert fails.
    const long long boxes = doc.sg.BoxCount();
    const Lines memo = doc.Memo1;
    doc.eBox = "0,001";
    EXPECT_FALSE(doc.Refresh());
    EXPECT_FALSE(doc.Built);
    EXPECT_EQ(doc.FBox, 0.001); // stored even though it fails the test
    EXPECT_EQ(doc.sg.BoxCount(), boxes);
    EXPECT_EQ(doc.Memo1, memo);
    doc.eBox = "2";
    doc.eReverse = "0,009";
    EXPECT_FALSE(doc.Refresh());
    doc.eReverse = "0,01";
    EXPECT_TRUE(doc.Refresh());

    doc.eBox = "12.5";
    EXPECT_EQ(ErrorOf([&] { doc.Refresh(); }), "'12.5' is not a valid floating point value");
    EXPECT_FALSE(doc.Built);
}

TEST(Document, AutomaticParametersAndAFileWithNoQuotes)
{
    // AvgChange is the change sum over Count: (2,46912 - 0) / 2 = 1,23456; the reversal is
    // rounded after multiplying.
    const ScratchFile file("quotes.txt", "01.12.05;10:00;1;2;1;0;1\r\n02.12.05;10:00;1;2;1;2,46912;1\r\n");
    PFDocument doc;
    doc.OpenFile(file.path);
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,235 3,704");
    EXPECT_EQ(doc.Caption, "P & F file: quotes.txt");
    // No quotes: AvgChange 0, the floor texts; the status bar shows the count after the build.
    Open(doc, Data("header_only.txt"));
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "0,01 0,03");
    EXPECT_EQ(doc.mm_Common, (Lines{"Количество котировок = 0", "Максимальная цена закрытия = 0,000",
                                    "Минимальная цена закрытия = 1 000 000 000,000"}));
    EXPECT_TRUE(doc.Built);
    EXPECT_EQ(doc.stb, "Количество периодов = 0");
    EXPECT_EQ(doc.sg.BoxCount() + doc.FColumns.Count(), 0);
    EXPECT_TRUE(doc.FColTopRow.empty() && doc.FColBottomRow.empty());
}

TEST(Document, OpeningAgainReplacesEverything)
{
    PFDocument once, twice;
    Open(once, Data("pf_example.txt"));
    Open(twice, Data("small.txt"));
    const auto kept = twice.FColumns.Share(0);
    Open(twice, Data("pf_example.txt"));
    EXPECT_EQ(once.eBox + once.eReverse, twice.eBox + twice.eReverse);
    EXPECT_EQ(once.Memo1, twice.Memo1);
    EXPECT_EQ(once.mm_Common, twice.mm_Common);
    EXPECT_EQ(once.FColTopRow, twice.FColTopRow);
    EXPECT_EQ(once.FColBottomRow, twice.FColBottomRow);
    EXPECT_EQ(AllCellQuotes(once), AllCellQuotes(twice));
    EXPECT_EQ(once.FColumns.MaxVolume, twice.FColumns.MaxVolume);
    // A column record of an earlier file stays readable for the view that holds it.
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->PeriodStart(), "05.01.06 10:00");
    EXPECT_EQ(kept->Volume, 30.0);
}

TEST(Document, AFailedOpenChangesNothing)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    const std::vector<int> cellQuotes = AllCellQuotes(doc);
    const Lines memo = doc.Memo1;
    const double maxClose = doc.QuoteList.MaxClose;
    const auto unchanged = [&] {
        EXPECT_EQ(doc.QuoteList.Count(), 6);
        EXPECT_EQ(doc.QuoteList.MaxClose, maxClose);
        EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,767 5,300");
        EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
        EXPECT_EQ(doc.Memo1, memo);
        EXPECT_EQ(AllCellQuotes(doc), cellQuotes);
    };

    // A file that cannot be read: the reason is named, as the command line shows it.
    const std::string message = ErrorOf([&] { doc.OpenFile(Data("missing.txt")); });
    EXPECT_NE(message.find(std::strerror(ENOENT)), std::string::npos) << message;
    unchanged();

    // A faulty third quote line: the error names the value, then the file and the line;
    // the quotes before it are not kept anywhere.
    try {
        doc.OpenFile(Data("bad_number.txt"));
        ADD_FAILURE() << "the faulty line was accepted";
    } catch (const QuoteLineError &e) {
        EXPECT_STREQ(e.what(), "'12.5' is not a valid floating point value");
        EXPECT_EQ(e.Location(), "bad_number.txt, line 4");
    }
    unchanged();
    // Refresh still builds the file that was open.
    EXPECT_TRUE(doc.Refresh());
    EXPECT_EQ(doc.stb, "Количество периодов = 6");
    EXPECT_EQ(AllCellQuotes(doc), cellQuotes);
}

TEST(Document, HugePricesNeverLeaveEditTextsTheProgramCannotRead)
{
    // Closes 1,7e308 and 0: AvgChange 8,5e307 is a double, three times it is not.
    const ScratchFile file("huge.txt", "01.12.05;10:00;1;2;1;1,7e308;1\r\n02.12.05;10:00;1;2;1;0;1\r\n");
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    if (!ErrorOf([&] { doc.OpenFile(file.path); }).empty()) { // refusing the file is fine
        EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,767 5,300");
    }
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(doc.eBox, v)) << doc.eBox;
    EXPECT_TRUE(TryStrToFloat(doc.eReverse, v)) << doc.eReverse;
}

// A regular file comes whole and byte for byte (its size known beforehand); a file the
// system reports with no size (/proc) still comes whole; a folder is refused.
TEST(ReadWholeFile, RegularFilesFilesWithoutASizeAndFolders)
{
    const std::string path = Data("mixed_eol.txt");
    std::ifstream in(path, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadWholeFile(path), expected);

    const std::string status = ReadWholeFile("/proc/self/status");
    EXPECT_EQ(status.rfind("Name:", 0), 0u) << status.substr(0, 40);
    EXPECT_NE(status.find("\nVmRSS:"), std::string::npos);

    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_NE(ErrorOf([&] { ReadWholeFile(folder); }).find(std::strerror(EISDIR)), std::string::npos);

    // A file large enough to be read in pieces on all cores: every byte in its place.
    std::string large(9 * 1024 * 1024 + 12345, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>('a' + (i * 7919 + i / 4096) % 26);
    const std::string largePath = folder + "/korvala_read_" + std::to_string(::getpid()) + ".txt";
    std::ofstream(largePath, std::ios::binary) << large;
    const std::string read = ReadWholeFile(largePath);
    std::filesystem::remove(largePath);
    EXPECT_TRUE(read == large) << read.size() << " bytes read of " << large.size();
}

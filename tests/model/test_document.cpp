// The document: the open sequence and Refresh in the main window's order, what a failed
// open leaves, and the reading of whole files. (The texts it writes are the texts' tests.)

#include "document.h"
#include "numtext.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

using namespace korvala;
using korvala::test::DataPath;

namespace {

using Lines = std::vector<std::string>;

// Every cell quote of every drawn column.
std::vector<int> AllCellQuotes(const PFDocument &doc)
{
    std::vector<int> q;
    for (int c = 0; c < doc.sg.ColCount; ++c)
        for (int r = doc.sg.FirstRow(c); r <= doc.sg.LastRow(c); ++r)
            q.push_back(doc.sg.CellQuote(c, r));
    return q;
}

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
    Open(doc, DataPath("pf_example.txt"));
    // AvgChange (2,5 + 0,5 + 3,5 + 0,5 + 3,6) / 6 = 1,7666…
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,767 5,300");
    EXPECT_EQ(std::make_pair(doc.FBox, doc.FReverse), std::make_pair(1.767, 5.3));
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
    EXPECT_EQ(doc.Memo1, StatisticsLines(doc.QuoteList, 1.767, 5.3));
    EXPECT_EQ(doc.mm_Common, CommonInfoLines(&doc.QuoteList));
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
    EXPECT_EQ(doc.Memo1, StatisticsLines(doc.QuoteList, 1, 3));

    // Below 0,01 Refresh stops: nothing is rebuilt; a text that does not convert fails.
    const long long boxes = doc.sg.BoxCount();
    const Lines memo = doc.Memo1;
    doc.eReverse = "0,009";
    EXPECT_FALSE(doc.Refresh());
    EXPECT_FALSE(doc.Built);
    EXPECT_EQ(doc.FReverse, 0.009); // stored even though it fails the test
    EXPECT_EQ(doc.sg.BoxCount(), boxes);
    EXPECT_EQ(doc.Memo1, memo);
    doc.eBox = "12.5";
    EXPECT_EQ(test::ErrorOf([&] { doc.Refresh(); }), "'12.5' is not a valid floating point value");
    EXPECT_FALSE(doc.Built);

    // No quotes: AvgChange 0, the floor texts; the status bar shows the count after the build.
    Open(doc, DataPath("header_only.txt"));
    EXPECT_EQ(doc.eBox + " " + doc.eReverse, "0,01 0,03");
    EXPECT_TRUE(doc.Built);
    EXPECT_EQ(doc.stb, "Количество периодов = 0");
    EXPECT_EQ(doc.sg.BoxCount() + doc.FColumns.Count(), 0);
    EXPECT_TRUE(doc.FColTopRow.empty() && doc.FColBottomRow.empty());
}

// A second open leaves what opening that file alone leaves; a column record of the
// earlier file stays readable for the view that holds it. A failed open changes nothing.
TEST(Document, OpeningAgainReplacesEverythingAFailedOpenNothing)
{
    PFDocument once, doc;
    Open(once, DataPath("pf_example.txt"));
    Open(doc, DataPath("small.txt"));
    const auto kept = doc.FColumns.Share(0);
    Open(doc, DataPath("pf_example.txt"));
    EXPECT_EQ(once.eBox + once.eReverse, doc.eBox + doc.eReverse);
    EXPECT_EQ(once.Memo1, doc.Memo1);
    EXPECT_EQ(once.mm_Common, doc.mm_Common);
    EXPECT_EQ(once.FColTopRow, doc.FColTopRow);
    EXPECT_EQ(once.FColBottomRow, doc.FColBottomRow);
    EXPECT_EQ(AllCellQuotes(once), AllCellQuotes(doc));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->PeriodStart(), "05.01.06 10:00");

    // A file that cannot be read names the system's reason; a faulty line names the value,
    // then the file and the line. The quotes before it are kept nowhere.
    EXPECT_NE(test::ErrorOf([&] { doc.OpenFile(DataPath("missing.txt")); }).find(std::strerror(ENOENT)),
              std::string::npos);
    try {
        doc.OpenFile(DataPath("bad_number.txt"));
        ADD_FAILURE() << "the faulty line was accepted";
    } catch (const QuoteLineError &e) {
        EXPECT_STREQ(e.what(), "'12.5' is not a valid floating point value");
        EXPECT_EQ(e.Location(), "bad_number.txt, line 4");
    }
    EXPECT_EQ(doc.QuoteList.Count(), 6);
    EXPECT_EQ(doc.QuoteList.MaxClose, once.QuoteList.MaxClose);
    EXPECT_EQ(doc.eBox + doc.Caption, once.eBox + once.Caption);
    EXPECT_EQ(doc.Memo1, once.Memo1);
    EXPECT_EQ(AllCellQuotes(doc), AllCellQuotes(once));
    EXPECT_TRUE(doc.Refresh()); // Refresh still builds the file that was open
    EXPECT_EQ(AllCellQuotes(doc), AllCellQuotes(once));
}

TEST(Document, HugePricesNeverLeaveEditTextsTheProgramCannotRead)
{
    // Closes 1,7e308 and 0: AvgChange 8,5e307 is a double, three times it is not.
    const test::QuoteFile file("huge.txt", {"01.12.05;10:00;1;2;1;1,7e308;1", "02.12.05;10:00;1;2;1;0;1"});
    PFDocument doc;
    Open(doc, DataPath("pf_example.txt"));
    if (!test::ErrorOf([&] { doc.OpenFile(file.path); }).empty()) { // refusing the file is fine
        EXPECT_EQ(doc.eBox + " " + doc.eReverse, "1,767 5,300");
    }
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(doc.eBox, v)) << doc.eBox;
    EXPECT_TRUE(TryStrToFloat(doc.eReverse, v)) << doc.eReverse;
}

// A regular file comes whole and byte for byte, also one large enough to be read in
// pieces on all cores; a file the system reports with no size (/proc) still comes whole;
// a folder is refused.
TEST(ReadWholeFile, RegularFilesFilesWithoutASizeAndFolders)
{
    const test::TempDir dir;
    std::string large(9 * 1024 * 1024 + 12345, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>('a' + (i * 7919 + i / 4096) % 26);
    EXPECT_TRUE(ReadWholeFile(dir.Write("large.txt", large)) == large);
    EXPECT_EQ(ReadWholeFile(DataPath("mixed_eol.txt")), test::ReadFile(DataPath("mixed_eol.txt")));

    const std::string status = ReadWholeFile("/proc/self/status");
    EXPECT_EQ(status.rfind("Name:", 0), 0u) << status.substr(0, 40);
    EXPECT_NE(status.find("\nVmRSS:"), std::string::npos);
    EXPECT_NE(test::ErrorOf([&] { ReadWholeFile(dir.path); }).find(std::strerror(EISDIR)), std::string::npos);
}

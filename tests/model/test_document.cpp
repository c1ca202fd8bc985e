#include "document.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace korvala;

namespace {

std::string Data(const std::string &name) { return std::string(KORVALA_TEST_DATA_DIR) + "/" + name; }

template <class E>
std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const E &e) {
        return e.what();
    }
    return "<no error>";
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

// A fresh scratch folder of its own (other builds may run the same tests at the same time).
std::filesystem::path ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvala_doc_XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// The open sequence as the main window runs it: open, common figures, Refresh.
void Open(PFDocument &doc, const std::string &path)
{
    doc.OpenFile(path);
    doc.ShowCommonInfo();
    doc.Refresh();
}

} // namespace

TEST(Document, BeforeTheFirstFile)
{
    PFDocument doc;
    EXPECT_EQ(doc.eBox, "1");
    EXPECT_EQ(doc.eReverse, "3");
    EXPECT_EQ(doc.FBox, 0.0);
    EXPECT_EQ(doc.FReverse, 0.0);
    EXPECT_TRUE(doc.Memo1.empty());
    EXPECT_TRUE(doc.mm_Common.empty());
    EXPECT_FALSE(doc.Built);
}

TEST(Document, TheOpenSequence)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    // AvgChange (2,5 + 0,5 + 3,5 + 0,5 + 3,6) / 6 = 1,7666…
    EXPECT_EQ(doc.eBox, "1,767");
    EXPECT_EQ(doc.eReverse, "5,300");
    EXPECT_EQ(doc.FBox, 1.767);
    EXPECT_EQ(doc.FReverse, 5.3);
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
    EXPECT_EQ(doc.Memo1, (std::vector<std::string>{
                             "Count point = 6", "OPEN  max = 13,000", "OPEN  min = 9,000",
                             "HIGH  max = 13,500", "HIGH  min = 9,700", "LOW   max = 12,000",
                             "LOW   min = 8,500", "CLOSE max = 13,000", "CLOSE min = 9,000",
                             "Avg (High-Low) = 1,767", "Auto box = 1,767",
                             "Auto reversal = 5,300"}));
    EXPECT_EQ(doc.mm_Common, (std::vector<std::string>{"Количество котировок = 6",
                                                       "Максимальная цена закрытия = 13,000",
                                                       "Минимальная цена закрытия = 9,000"}));
    EXPECT_TRUE(doc.Built);
    EXPECT_EQ(doc.stb, "Количество периодов = 6");
    // Box 1,767 and reversal 5,3: (13 - 9) / 1,767 → RowCount Round(2,26) + 2 = 4.
    EXPECT_EQ(doc.sg.RowCount, 4);
    EXPECT_EQ(doc.FColumns.Count(), doc.sg.ColCount);
}

TEST(Document, UserParametersAndTheWorkedExample)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    doc.eBox = "1";
    doc.eReverse = "3";
    ASSERT_TRUE(doc.Refresh());
    EXPECT_EQ(doc.sg.RowCount, 6);
    EXPECT_EQ(doc.sg.ColCount, 3);
    EXPECT_EQ(doc.FColBottomRow, (std::vector<int>{4, 6, 5}));
    EXPECT_EQ(doc.FColTopRow, (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(doc.FColumns.Items(0)->PeriodEnd, "01.12.05 13:00 - UP");
    EXPECT_EQ(doc.FColumns.Items(1)->PeriodStart, "01.12.05 14:00");
    // Memo1 now shows the user's values.
    EXPECT_EQ(doc.Memo1[10], "Auto box = 1,000");
    EXPECT_EQ(doc.Memo1[11], "Auto reversal = 3,000");
    // The edits stay the lasting source; mm_Common and the caption only change on open.
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
}

TEST(Document, TooSmallParametersStopRefreshAndKeepTheChart)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    const long long boxes = doc.sg.BoxCount();
    const auto memo = doc.Memo1;
    doc.eBox = "0,001";
    EXPECT_FALSE(doc.Refresh());
    EXPECT_FALSE(doc.Built);
    EXPECT_EQ(doc.FBox, 0.001); // stored even though it fails the test
    EXPECT_EQ(doc.sg.BoxCount(), boxes);
    EXPECT_EQ(doc.Memo1, memo);

    doc.eBox = "2";
    doc.eReverse = "0,009";
    EXPECT_FALSE(doc.Refresh());
    EXPECT_EQ(doc.FReverse, 0.009);
}

TEST(Document, AnUnconvertibleEditFailsRefreshWithTheConversionError)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    doc.eBox = "12.5";
    EXPECT_EQ(ErrorOf<ConvertError>([&] { doc.Refresh(); }),
              "'12.5' is not a valid floating point value");
    EXPECT_FALSE(doc.Built);
}

TEST(Document, AutomaticParametersFromTheAverageChange)
{
    struct Case
    {
        const char *closes[2];
        const char *box;
        const char *reverse;
    };
    // AvgChange is the change sum over Count: two closes give |c1 - c0| / 2.
    const Case cases[] = {
        {{"0", "0,01"}, "0,01", "0,03"},          // 0,005
        {{"0", "0,02"}, "0,010", "0,030"},        // exactly 0,01
        {{"10", "12,46912"}, "1,235", "3,704"},   // 1,23456
    };
    const auto dir = ScratchDir();
    for (const Case &c : cases) {
        const auto path = dir / "quotes.txt";
        {
            std::ofstream out(path, std::ios::binary);
            out << "header\r\n01.12.05;10:00;1;2;1;" << c.closes[0] << ";1\r\n02.12.05;10:00;1;2;1;"
                << c.closes[1] << ";1\r\n";
        }
        PFDocument doc;
        doc.OpenFile(path.string());
        EXPECT_EQ(doc.eBox, c.box) << c.closes[1];
        EXPECT_EQ(doc.eReverse, c.reverse) << c.closes[1];
        EXPECT_EQ(doc.Caption, "P & F file: quotes.txt");
    }
    std::filesystem::remove_all(dir);
}

TEST(Document, AFileWithNoQuotes)
{
    PFDocument doc;
    Open(doc, Data("header_only.txt"));
    EXPECT_EQ(doc.eBox, "0,01");
    EXPECT_EQ(doc.eReverse, "0,03");
    EXPECT_EQ(doc.mm_Common, (std::vector<std::string>{
                                 "Количество котировок = 0", "Максимальная цена закрытия = 0,000",
                                 "Минимальная цена закрытия = 1 000 000 000,000"}));
    EXPECT_TRUE(doc.Built);
    EXPECT_EQ(doc.stb, "Количество периодов = 0");
    EXPECT_EQ(doc.sg.BoxCount(), 0);
    EXPECT_TRUE(doc.FColTopRow.empty());
    EXPECT_TRUE(doc.FColBottomRow.empty());
    EXPECT_EQ(doc.FColumns.Count(), 0);
}

TEST(Document, OpeningTheSameFileTwiceIsLikeOpeningItOnce)
{
    PFDocument once, twice;
    Open(once, Data("pf_example.txt"));
    Open(twice, Data("pf_example.txt"));
    Open(twice, Data("pf_example.txt"));
    EXPECT_EQ(once.eBox, twice.eBox);
    EXPECT_EQ(once.eReverse, twice.eReverse);
    EXPECT_EQ(once.Memo1, twice.Memo1);
    EXPECT_EQ(once.mm_Common, twice.mm_Common);
    EXPECT_EQ(once.stb, twice.stb);
    EXPECT_EQ(once.QuoteList.Count(), twice.QuoteList.Count());
    EXPECT_EQ(once.FColTopRow, twice.FColTopRow);
    EXPECT_EQ(once.FColBottomRow, twice.FColBottomRow);
    EXPECT_EQ(once.sg.BoxCount(), twice.sg.BoxCount());
    EXPECT_EQ(AllCellQuotes(once), AllCellQuotes(twice));
    EXPECT_EQ(once.FColumns.Count(), twice.FColumns.Count());
    EXPECT_EQ(once.FColumns.MaxVolume, twice.FColumns.MaxVolume);
}

TEST(Document, ASmallerSecondFileLeavesNothingOfTheFirst)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    Open(doc, Data("small.txt"));
    EXPECT_EQ(doc.QuoteList.Count(), 2);
    EXPECT_EQ(doc.QuoteList.MaxClose, 6.5);
    EXPECT_EQ(doc.QuoteList.MinClose, 5.5);
    EXPECT_EQ(doc.QuoteList.MaxHigh, 7.0);
    EXPECT_EQ(doc.Memo1[0], "Count point = 2");
    EXPECT_EQ(doc.mm_Common[1], "Максимальная цена закрытия = 6,500");
    EXPECT_EQ(doc.Caption, "P & F file: small.txt");
    EXPECT_EQ(doc.stb, "Количество периодов = 2");
    EXPECT_EQ(doc.FColumns.Count(), doc.sg.ColCount);
    EXPECT_EQ(doc.FColumns.MaxVolume, 30.0);
}

TEST(Document, MissingFileNamesTheFileAndTheReason)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    const auto memo = doc.Memo1;
    const auto common = doc.mm_Common;
    const std::string missing = Data("no such file.txt");
    const std::string message = ErrorOf<FileError>([&] { doc.OpenFile(missing); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(ENOENT)), std::string::npos) << message;
    // The quotes are gone; the texts and edits keep their previous content.
    EXPECT_EQ(doc.QuoteList.Count(), 0);
    EXPECT_EQ(doc.eBox, "1,767");
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
    EXPECT_EQ(doc.Memo1, memo);
    EXPECT_EQ(doc.mm_Common, common);
}

TEST(Document, ADirectoryIsAnErrorNamingIt)
{
    PFDocument doc;
    const std::string dir = KORVALA_TEST_DATA_DIR;
    const std::string message = ErrorOf<FileError>([&] { doc.OpenFile(dir); });
    EXPECT_NE(message.find(dir), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(EISDIR)), std::string::npos) << message;
    EXPECT_EQ(doc.Caption, kInitialCaption);
}

TEST(Document, CellQuotesAreClearedWithTheQuotes)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    doc.eBox = "1";
    doc.eReverse = "3";
    ASSERT_TRUE(doc.Refresh());
    const long long boxes = doc.sg.BoxCount();
    ASSERT_GT(boxes, 0);
    EXPECT_NE(AllCellQuotes(doc), std::vector<int>(static_cast<std::size_t>(boxes), PFGrid::kNoQuote));

    // An open that fails after clearing: the grid on screen stays, without cell quotes.
    EXPECT_NE(ErrorOf<FileError>([&] { doc.OpenFile(Data("missing.txt")); }), "<no error>");
    EXPECT_EQ(doc.sg.BoxCount(), boxes);
    EXPECT_EQ(doc.sg.Mark(0, 4), 'x');
    EXPECT_EQ(AllCellQuotes(doc), std::vector<int>(static_cast<std::size_t>(boxes), PFGrid::kNoQuote));

    // Likewise for a load that fails on a faulty line.
    ASSERT_NO_THROW(Open(doc, Data("pf_example.txt")));
    EXPECT_NE(ErrorOf<ConvertError>([&] { doc.OpenFile(Data("bad_number.txt")); }), "<no error>");
    for (int q : AllCellQuotes(doc))
        EXPECT_EQ(q, PFGrid::kNoQuote);
}

TEST(Document, AFailedLoadKeepsTheTextsAndRefusesTheBuild)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    const auto memo = doc.Memo1;
    const auto common = doc.mm_Common;
    EXPECT_EQ(ErrorOf<ConvertError>([&] { doc.OpenFile(Data("bad_number.txt")); }),
              "'12.5' is not a valid floating point value");
    EXPECT_EQ(doc.QuoteList.Count(), 2);
    EXPECT_EQ(doc.eBox, "1,767");
    EXPECT_EQ(doc.eReverse, "5,300");
    EXPECT_EQ(doc.Caption, "P & F file: pf_example.txt");
    EXPECT_EQ(doc.Memo1, memo);
    EXPECT_EQ(doc.mm_Common, common);
    EXPECT_EQ(doc.FColumns.Count(), 0);

    // Refresh now must not build on the sentinel extremes; the status bar is still restored.
    EXPECT_NE(ErrorOf<PFError>([&] { doc.Refresh(); }), "<no error>");
    EXPECT_EQ(doc.stb, "Количество периодов = 2");
    EXPECT_FALSE(doc.Built);
    EXPECT_EQ(doc.sg.BoxCount(), 0);
    EXPECT_TRUE(doc.FColTopRow.empty());

    // An impossible date behaves the same.
    PFDocument dates;
    const std::string message = ErrorOf<ConvertError>([&] { dates.OpenFile(Data("bad_date.txt")); });
    EXPECT_NE(message.find("31.02.05"), std::string::npos) << message;
    EXPECT_EQ(dates.QuoteList.Count(), 1);
    EXPECT_EQ(dates.Caption, kInitialCaption);
}

TEST(Document, AColumnRecordOfAnEarlierBuildStaysReadable)
{
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    doc.eBox = "1";
    doc.eReverse = "3";
    ASSERT_TRUE(doc.Refresh());
    const auto kept = doc.FColumns.Share(1);
    ASSERT_TRUE(kept);
    doc.eBox = "0,5";
    ASSERT_TRUE(doc.Refresh());
    Open(doc, Data("small.txt")); // a new file clears FColumns again
    EXPECT_EQ(kept->PeriodStart, "01.12.05 14:00");
    EXPECT_EQ(kept->PeriodEnd, "01.12.05 14:00 - DOWN");
    EXPECT_EQ(kept->Direction, -1);
    EXPECT_EQ(kept->Close, 9.0);
    EXPECT_EQ(kept->Volume, 500.0);
}

TEST(Document, RussianTextAndMixedLineEnds)
{
    PFDocument doc;
    Open(doc, Data("cyrillic.txt"));
    ASSERT_EQ(doc.QuoteList.Count(), 2);
    EXPECT_EQ(doc.QuoteList.Items(0)->DateText, "01.12.05 10:00 МСК");
    EXPECT_EQ(doc.FColumns.Items(0)->PeriodStart, "01.12.05 10:00 МСК");

    EXPECT_EQ(ErrorOf<ConvertError>([&] { doc.OpenFile(Data("bad_cyrillic.txt")); }),
              "'сто' is not a valid floating point value");

    PFDocument mixed;
    Open(mixed, Data("mixed_eol.txt"));
    EXPECT_EQ(mixed.QuoteList.Count(), 4);
    EXPECT_EQ(mixed.stb, "Количество периодов = 4");
}

TEST(Document, OpenFromMemoryIsTheSameAsFromAFile)
{
    std::ifstream in(Data("pf_example.txt"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    PFDocument a, b;
    Open(a, Data("pf_example.txt"));
    b.OpenBytes("/somewhere/else/pf_example.txt", bytes);
    b.ShowCommonInfo();
    b.Refresh();
    EXPECT_EQ(a.Memo1, b.Memo1);
    EXPECT_EQ(a.Caption, b.Caption);
    EXPECT_EQ(a.FColTopRow, b.FColTopRow);
}

TEST(Document, HugePricesNeverLeaveEditTextsTheProgramCannotRead)
{
    // Closes 1,7e308 and 0: AvgChange 8,5e307 is a double, three times it is not.
    const auto dir = ScratchDir();
    const auto path = dir / "huge.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "header\r\n01.12.05;10:00;1;2;1;1,7e308;1\r\n02.12.05;10:00;1;2;1;0;1\r\n";
    }
    PFDocument doc;
    Open(doc, Data("pf_example.txt"));
    try {
        doc.OpenFile(path.string());
    } catch (const std::exception &) {
        // Refusing the file is fine; the edits must then keep their previous texts.
        EXPECT_EQ(doc.eBox, "1,767");
        EXPECT_EQ(doc.eReverse, "5,300");
    }
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(doc.eBox, v)) << doc.eBox;
    EXPECT_TRUE(TryStrToFloat(doc.eReverse, v)) << doc.eReverse;
    std::filesystem::remove_all(dir);
}

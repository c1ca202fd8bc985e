#include "reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvala;

namespace {

using Lines = std::vector<std::string>;

// A quote file with one line per close (open = high = low = close).
std::string QuoteFile(const std::vector<std::string> &closes)
{
    std::string text = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    int minute = 0;
    for (const std::string &c : closes) {
        const std::string time = "10:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute);
        text += "01.12.05;" + time + ";" + c + ";" + c + ";" + c + ";" + c + ";100\r\n";
        ++minute;
    }
    return text;
}

void Load(TFList &list, const std::vector<std::string> &closes)
{
    list.LoadFromStream(QuoteFile(closes));
}

} // namespace

// Pivots 100, 120, 110 on the three newest items: the levels of the newest one.
TEST(TargetsReport, ShowsTheLevelsOfTheNewestPivot)
{
    TFList list;
    Load(list, {"105", "100", "120", "110"});
    ASSERT_EQ(list.Items(3)->Pivot, 110);
    EXPECT_EQ(TargetsReport(list), (Lines{"=== 01.12.05 10:03 ==================", "Цель 1: 110,00",
                                          "Цель 2: 106,18", "Цель 3: 116,18", "Res/Sup 1: 113,82",
                                          "Res/Sup 2: 116,81", ""}));
}

TEST(TargetsReport, LeavesOutPivotsThatAreOffOrHaveNoPositiveOP)
{
    TFList list;
    for (int i = 0; i < 6; ++i)
        list.AddNew().DateText = "d" + std::to_string(i);
    auto set = [&](int i, double pivot, bool enabled, double op) {
        TFPoint &q = *list.Items(i);
        q.Pivot = pivot;
        q.PivotEnabled = enabled;
        q.OP = op;
        q.COP = 2000.5;
        q.XOP = -3;
        q.Retrace382 = 1;
        q.Retrace681 = 0;
    };
    set(0, 10, true, 5);   // listed
    set(1, 10, true, 0);   // OP 0
    set(2, 10, false, 5);  // switched off
    set(3, 0, true, 5);    // no pivot
    set(4, 10, true, -1);  // OP below 0
    set(5, 7, true, 1500); // listed, first
    EXPECT_EQ(TargetsReport(list),
              (Lines{"=== d5 ==================", "Цель 1: 1 500,00", "Цель 2: 2 000,50",
                     "Цель 3: -3,00", "Res/Sup 1: 1,00", "Res/Sup 2: 0,00", "",
                     "=== d0 ==================", "Цель 1: 5,00", "Цель 2: 2 000,50",
                     "Цель 3: -3,00", "Res/Sup 1: 1,00", "Res/Sup 2: 0,00", ""}));
}

TEST(TargetsReport, NegativeObjectiveIsLeftOut)
{
    // Pivots 20, 5, 50: OP = 20 + (5 - 50) = -25.
    TFList list;
    Load(list, {"10", "20", "5", "50"});
    ASSERT_DOUBLE_EQ(list.Items(3)->OP, -25);
    EXPECT_TRUE(TargetsReport(list).empty());
}

TEST(FNodesReport, OnlyTheInitialLineGivesNoNodes)
{
    EXPECT_EQ(FNodesReport({"mm"}), (Lines{"F: 0,00", "=== F nodes ==="}));
    EXPECT_EQ(FNodesReport({}), (Lines{"F: 0,00", "=== F nodes ==="}));
    EXPECT_EQ(FNodesReport({"100"}), (Lines{"F: 0,00", "=== F nodes ==="}));
}

TEST(FNodesReport, InitialLineOnTopReadsAsZero)
{
    EXPECT_EQ(FNodesReport({"mm", "100", "90"}),
              (Lines{"F: 0,00", " 0: 100,00", " 1: 90,00", "=== F nodes ===", " 0 F3: 38,20",
                     " 0 F5: 61,80", " 1 F3: 34,38", " 1 F5: 55,62"}));
}

TEST(FNodesReport, RetracementsBetweenFAndEachNode)
{
    EXPECT_EQ(FNodesReport({"100", "90"}),
              (Lines{"F: 100,00", " 0: 90,00", "=== F nodes ===", " 0 F3: 96,18", " 0 F5: 93,82"}));
}

TEST(FNodesReport, ThousandsSeparatorsAndOtherTextsReadAsZero)
{
    // "1 234,50" is how the check list shows a price from 1000 up.
    EXPECT_EQ(FNodesReport({"1000", "1 234,50", " 250 ", "12.5"}),
              (Lines{"F: 1 000,00", " 0: 0,00", " 1: 250,00", " 2: 0,00", "=== F nodes ===",
                     " 0 F3: 618,00", " 0 F5: 382,00", " 1 F3: 713,50", " 1 F5: 536,50",
                     " 2 F3: 618,00", " 2 F5: 382,00"}));
    EXPECT_EQ(FNodesReport({"1 000,00", "10"})[0], "F: 0,00");
}

TEST(FNodesReport, NodeNumbersAreRightAlignedInTwoCharacters)
{
    Lines memo{"0"};
    for (int i = 0; i < 11; ++i)
        memo.push_back("1");
    const Lines report = FNodesReport(memo);
    EXPECT_EQ(report[1], " 0: 1,00");
    EXPECT_EQ(report[10], " 9: 1,00");
    EXPECT_EQ(report[11], "10: 1,00");
    EXPECT_EQ(report.back(), "10 F5: 0,62");
}

TEST(Calculators, RetracementLabels)
{
    EXPECT_EQ(RetraceLabels("1", "2"), (std::array<std::string, 2>{"F3= 1,618", "F6= 1,382"}));
    // b that is not a number counts as 0: F3 = 0 - (0 - 10) * 0.382.
    EXPECT_EQ(RetraceLabels("10", "x"), (std::array<std::string, 2>{"F3= 3,820", "F6= 6,180"}));
    EXPECT_EQ(RetraceLabels("1000", "3000"),
              (std::array<std::string, 2>{"F3= 2 236,000", "F6= 1 764,000"}));
    EXPECT_EQ(RetraceLabels("5", "5"), (std::array<std::string, 2>{"F3= 5,000", "F6= 5,000"}));
    for (const char *a : {"0", "", "abc", "0,000", "1 000", "1.5"})
        EXPECT_EQ(RetraceLabels(a, "2"), (std::array<std::string, 2>{"Error", "Error"})) << a;
}

TEST(Calculators, ProjectionLabels)
{
    EXPECT_EQ(ProjectionLabels("1", "2", "2"),
              (std::array<std::string, 3>{"op= 3,000", "COP= 2,618", "XOP= 3,618"}));
    EXPECT_EQ(ProjectionLabels("7", "7", "4,5"),
              (std::array<std::string, 3>{"op= 4,500", "COP= 4,500", "XOP= 4,500"}));
    EXPECT_EQ(ProjectionLabels("10", "", "q"),
              (std::array<std::string, 3>{"op= -10,000", "COP= -6,180", "XOP= -16,180"}));
    EXPECT_EQ(ProjectionLabels("", "2", "2"),
              (std::array<std::string, 3>{"Error", "Error", "Error"}));
}

TEST(SwingList, ListsPositivePivotsNewestFirst)
{
    TFList list;
    Load(list, {"10", "11", "12", "11", "10", "13"}); // pivots on items 2, 4 and 5
    list.Items(4)->PivotEnabled = false;
    const std::vector<TSwingItem> items = SwingListItems(&list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Index, 5);
    EXPECT_EQ(items[1].Index, 4);
    EXPECT_EQ(items[2].Index, 2);
    EXPECT_EQ(items[1].Quote, list.Items(4));
    EXPECT_TRUE(items[0].Checked);
    EXPECT_FALSE(items[1].Checked);
    EXPECT_EQ(SwingItemText(*items[0].Quote), "13,00");
    EXPECT_TRUE(SwingListItems(nullptr).empty());

    TFList flat;
    Load(flat, {"5", "5", "5"});
    EXPECT_TRUE(SwingListItems(&flat).empty());
}

TEST(SwingList, UncheckingAPivotRecomputesTheLevelsWithoutIt)
{
    TFList list;
    Load(list, {"10", "11", "12", "11", "10", "13"});
    // Triple 13, 10, 12: OP = 12 + (10 - 13) = 9.
    ASSERT_DOUBLE_EQ(list.Items(5)->OP, 9);
    std::vector<TSwingItem> items = SwingListItems(&list);
    items[1].Checked = false; // the pivot 10
    ApplySwingChecks(list, items);
    EXPECT_FALSE(list.Items(4)->PivotEnabled);
    EXPECT_TRUE(list.Items(5)->PivotEnabled);
    EXPECT_TRUE(list.Items(2)->PivotEnabled);
    // Now 13, 12 and item 1 (no pivot, 0): OP = 0 + (12 - 13), Retrace382 = 13 - 0.382.
    EXPECT_DOUBLE_EQ(list.Items(5)->OP, -1);
    EXPECT_DOUBLE_EQ(list.Items(5)->Retrace382, 13 - 0.382);
    EXPECT_TRUE(TargetsReport(list).empty());

    items[1].Checked = true;
    ApplySwingChecks(list, items);
    EXPECT_TRUE(list.Items(4)->PivotEnabled);
    EXPECT_DOUBLE_EQ(list.Items(5)->OP, 9);
}

TEST(SwingList, NegativePivotsKeepTheirOwnFlag)
{
    // Items 3 and 1 carry positive pivots, item 2 a negative one that the list leaves out.
    TFList list;
    for (int i = 0; i < 4; ++i)
        list.AddNew().PivotEnabled = true;
    list.Items(3)->Pivot = 5;
    list.Items(2)->Pivot = -3;
    list.Items(1)->Pivot = 7;
    std::vector<TSwingItem> items = SwingListItems(&list);
    ASSERT_EQ(items.size(), 2u);
    items[1].Checked = false;
    ApplySwingChecks(list, items);
    EXPECT_TRUE(list.Items(3)->PivotEnabled);
    EXPECT_TRUE(list.Items(2)->PivotEnabled);
    EXPECT_FALSE(list.Items(1)->PivotEnabled);
}

TEST(MemoLines, LineEndsAsAMemoCountsThem)
{
    EXPECT_EQ(MemoLines(""), Lines{});
    EXPECT_EQ(MemoLines("mm"), Lines{"mm"});
    EXPECT_EQ(MemoLines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(MemoLines("a\r\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(MemoLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(MemoLines("\n"), Lines{""});
    for (const Lines &lines : {Lines{}, Lines{""}, Lines{"x", ""}, Lines{"a", "", "b"}})
        EXPECT_EQ(MemoLines(MemoText(lines)), lines);
}

TEST(SpinEdit, ValueFromText)
{
    EXPECT_EQ(SpinEditValue("", 1, 100000000), std::nullopt);
    EXPECT_EQ(SpinEditValue("7", 1, 100000000), 7);
    EXPECT_EQ(SpinEditValue("abc", 1, 100000000), 1);
    EXPECT_EQ(SpinEditValue("2,5", 1, 100000000), 1);
    EXPECT_EQ(SpinEditValue("0", 1, 100000000), 1);
    EXPECT_EQ(SpinEditValue("999999999", 1, 100000000), 100000000);
}

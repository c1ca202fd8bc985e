#include "numtext.h"
#include "reports.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvala;

namespace {

using Lines = std::vector<std::string>;

} // namespace

TEST(TargetsReport, TheNewestPivotFirstLeavingOutPivotsOffOrWithoutAPositiveOP)
{
    // The levels themselves are the statistics' (worked in the quote list's test).
    TFList list;
    const auto add = [&](double pivot, bool enabled, double op) {
        TFPoint &q = list.AddNew();
        q.DateText = "d" + std::to_string(list.Count() - 1);
        q.Pivot = pivot, q.PivotEnabled = enabled, q.OP = op;
        q.COP = 2000.5, q.XOP = -3, q.Retrace382 = 1;
    };
    add(10, true, 5);   // listed
    add(10, true, 0);   // OP 0
    add(10, false, 5);  // switched off
    add(0, true, 5);    // no pivot
    add(10, true, -1);  // OP below 0
    add(7, true, 1500); // listed, first
    EXPECT_EQ(TargetsReport(list), (Lines{"=== d5 ==================", "Цель 1: 1 500,00", "Цель 2: 2 000,50",
                                          "Цель 3: -3,00", "Res/Sup 1: 1,00", "Res/Sup 2: 0,00", "",
                                          "=== d0 ==================", "Цель 1: 5,00", "Цель 2: 2 000,50",
                                          "Цель 3: -3,00", "Res/Sup 1: 1,00", "Res/Sup 2: 0,00", ""}));
}

TEST(FNodesReport, FromTheMemoLines)
{
    const std::pair<Lines, Lines> cases[] = {
        // Fewer than two lines: F reads 0 and there are no nodes.
        {{}, {"F: 0,00", "=== F nodes ==="}},
        {{"100"}, {"F: 0,00", "=== F nodes ==="}},
        {{"100", "90"}, {"F: 100,00", " 0: 90,00", "=== F nodes ===", " 0 F3: 96,18", " 0 F5: 93,82"}},
        // The initial line on top reads as 0: each F3 is 0.382 × node, each F5 0.618 × node.
        {{"mm", "100", "90"},
         {"F: 0,00", " 0: 100,00", " 1: 90,00", "=== F nodes ===", " 0 F3: 38,20", " 0 F5: 61,80",
          " 1 F3: 34,38", " 1 F5: 55,62"}},
        // "1 234,50" is how the check list shows a price from 1000 up: it reads as the price,
        // with a no-break space too; a point or a blank that groups nothing reads as 0.
        {{"1000", "1 234,50", " 250 ", "12.5", "1\u00A0100", "1 23,4"},
         {"F: 1 000,00", " 0: 1 234,50", " 1: 250,00", " 2: 0,00", " 3: 1 100,00", " 4: 0,00",
          "=== F nodes ===", " 0 F3: 1 089,58", " 0 F5: 1 144,92", " 1 F3: 713,50", " 1 F5: 536,50",
          " 2 F3: 618,00", " 2 F5: 382,00", " 3 F3: 1 038,20", " 3 F5: 1 061,80", " 4 F3: 618,00",
          " 4 F5: 382,00"}},
    };
    for (const auto &[memo, report] : cases)
        EXPECT_EQ(FNodesReport(memo), report) << memo.size();
    // Node numbers are right-aligned in two characters.
    const Lines report = FNodesReport(Lines{"0", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"});
    EXPECT_EQ(report[10] + "|" + report[11] + "|" + report.back(), " 9: 1,00|10: 1,00|10 F5: 0,62");
}

TEST(Calculators, RetracementAndProjectionLabels)
{
    using Two = std::array<std::string, 2>;
    using Three = std::array<std::string, 3>;
    EXPECT_EQ(RetraceLabels("1", "2"), (Two{"F3= 1,618", "F6= 1,382"}));
    // b that is not a number counts as 0: F3 = 0 - (0 - 10) * 0.382.
    EXPECT_EQ(RetraceLabels("10", "x"), (Two{"F3= 3,820", "F6= 6,180"}));
    EXPECT_EQ(RetraceLabels("1000", "3000"), (Two{"F3= 2 236,000", "F6= 1 764,000"}));
    for (const char *a : {"0", "", "abc", "0,000", "1 000", "1.5"})
        EXPECT_EQ(RetraceLabels(a, "2"), (Two{"Error", "Error"})) << a;
    EXPECT_EQ(ProjectionLabels("1", "2", "2"), (Three{"op= 3,000", "COP= 2,618", "XOP= 3,618"}));
    EXPECT_EQ(ProjectionLabels("7", "7", "4,5"), (Three{"op= 4,500", "COP= 4,500", "XOP= 4,500"}));
    EXPECT_EQ(ProjectionLabels("10", "", "q"), (Three{"op= -10,000", "COP= -6,180", "XOP= -16,180"}));
    EXPECT_EQ(ProjectionLabels("", "2", "2"), (Three{"Error", "Error", "Error"}));
}

TEST(SwingList, PositivePivotsNewestFirstAndTheirChecksGoBack)
{
    TFList list;
    test::SetCloses(list, {10, 11, 12, 11, 10, 13}); // pivots on items 2, 4 and 5
    // Triple 13, 10, 12: OP = 12 + (10 - 13) = 9.
    ASSERT_DOUBLE_EQ(list.Items(5)->OP, 9);
    // The check list (its texts and order are seen in the analysis window's test).
    list.Items(2)->PivotEnabled = false;
    std::vector<SwingItem> items = SwingListItems(&list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(SwingListItems(nullptr).empty());
    items[1].Checked = false; // the pivot 10
    items[2].Checked = true;
    ApplySwingChecks(list, items);
    EXPECT_TRUE(!list.Items(4)->PivotEnabled && list.Items(5)->PivotEnabled && list.Items(2)->PivotEnabled);
    // Now 13, 12 and item 1 (no pivot, 0): OP = 0 + (12 - 13), Retrace382 = 13 - 0.382.
    EXPECT_DOUBLE_EQ(list.Items(5)->OP, -1);
    EXPECT_DOUBLE_EQ(list.Items(5)->Retrace382, 13 - 0.382);

    // A negative pivot is not listed and keeps its own flag.
    list.Items(3)->Pivot = -3;
    list.Items(3)->PivotEnabled = true;
    ApplySwingChecks(list, SwingListItems(&list));
    EXPECT_TRUE(list.Items(3)->PivotEnabled);
    test::SetCloses(list, {5, 5, 5});
    EXPECT_TRUE(SwingListItems(&list).empty());
}

TEST(MemoLinesAndSpinEdit, AsTheControlsCountThem)
{
    EXPECT_EQ(MemoLines("a\r\nb\rc\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(MemoLines("a\n\n"), (Lines{"a", ""}));
    for (const Lines &lines : {Lines{}, Lines{""}, Lines{"x", ""}, Lines{"a", "", "b"}})
        EXPECT_EQ(MemoLines(MemoText(lines)), lines);
    EXPECT_EQ(SpinEditValue("", 1, 100000000), std::nullopt);
    for (const auto &[text, value] : std::vector<std::pair<const char *, int>>{
             {"7", 7}, {"abc", 1}, {"2,5", 1}, {"0", 1}, {"999999999", 100000000}})
        EXPECT_EQ(SpinEditValue(text, 1, 100000000), value) << text;
}

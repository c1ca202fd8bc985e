// The P&F columns read as a table. The worked example's table (box 1, reversal 3) is
// pinned field by field through korvala-cli's CSV and picture; here another box, a
// document without a build and the end texts.

#include "document.h"
#include "pfcolumns.h"
#include "testfiles.h"

#include <gtest/gtest.h>

using namespace korvala;

TEST(ColumnTable, BoxesOfAnotherSizeNothingBuiltAndEndTexts)
{
    // Box 0.5 over the worked example's closes 10, 12.5, 13, 9.5, 9, 12.6: the first close
    // 10 sits on row 10 − 2 − 1 = 7 of 10 rows; 12.5 adds five boxes (up to row 2), 13 is
    // only one box more and adds none.
    PFDocument half;
    half.OpenFile(test::DataPath("pf_example.txt"));
    half.eBox = "0,5";
    half.eReverse = "1,5";
    ASSERT_TRUE(half.Refresh());
    const std::vector<PFColumnSummary> table = ColumnSummaries(half);
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(RowPrices(half)->XPrice(7), 10);
    EXPECT_EQ(table[0].BottomPrice, 10);
    EXPECT_EQ(table[0].TopPrice, 12.5);

    PFDocument empty;
    EXPECT_FALSE(RowPrices(empty));
    EXPECT_TRUE(ColumnSummaries(empty).empty());

    EXPECT_EQ(PeriodEndDate("01.12.05 13:00 - DOWN"), "01.12.05 13:00");
    EXPECT_EQ(PeriodEndDate("01.12.05 - DOWN - UP"), "01.12.05 - DOWN");
    EXPECT_EQ(PeriodEndDate("text"), "text");
}

// The P&F columns read as a table, on the worked example of the build: closes 10, 12.5,
// 13, 9.5, 9, 12.6.

#include "document.h"
#include "pfcolumns.h"
#include "testfiles.h"

#include <gtest/gtest.h>

using namespace korvala;

namespace {

void Build(PFDocument &doc, const char *box, const char *reverse)
{
    doc.OpenFile(test::DataPath("pf_example.txt"));
    doc.eBox = box;
    doc.eReverse = reverse;
    ASSERT_TRUE(doc.Refresh());
}

} // namespace

TEST(ColumnTable, RowPricesAndTheBoxesOfTheColumns)
{
    // The worked example's columns are checked field by field through korvala-cli's
    // CSV; here the row prices and the O column's shift.
    PFDocument doc;
    Build(doc, "1", "3");
    // 6 rows (closes 9 to 13); the first close, 10, sits on row 6 − 1 − 1 = 4, so row r
    // stands for 10 + (4 − r).
    const std::optional<PFPriceScale> prices = RowPrices(doc);
    ASSERT_TRUE(prices);
    EXPECT_EQ(prices->XPrice(4), 10);
    EXPECT_EQ(prices->XPrice(0), 14);
    EXPECT_EQ(prices->XPrice(5), 9);
    const std::vector<PFColumnSummary> table = ColumnSummaries(doc);
    ASSERT_EQ(table.size(), 3u);
    // Column 1: 9 reverses from 12; its four O boxes on rows 3 to 6 stand for 12 to 9.
    EXPECT_EQ(table[1].Direction, -1);
    EXPECT_EQ(table[1].TopPrice, 12);
    EXPECT_EQ(table[1].BottomPrice, 9);
    EXPECT_EQ(table[0].End, "01.12.05 13:00");
}

TEST(ColumnTable, BoxesOfAnotherSizeNothingBuiltAndEndTexts)
{
    // Box 0.5: the first close 10 sits on row 10 − 2 − 1 = 7 of 10 rows; 12.5 adds five
    // boxes (up to row 2), 13 is only one box more and adds none.
    PFDocument half;
    Build(half, "0,5", "1,5");
    const std::vector<PFColumnSummary> table = ColumnSummaries(half);
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(RowPrices(half)->XPrice(7), 10);
    EXPECT_EQ(table[0].BottomPrice, 10);
    EXPECT_EQ(table[0].TopPrice, 12.5);

    PFDocument empty;
    EXPECT_FALSE(RowPrices(empty));
    EXPECT_TRUE(ColumnSummaries(empty).empty());

    EXPECT_EQ(PeriodEndDate("01.12.05 13:00 - UP"), "01.12.05 13:00");
    EXPECT_EQ(PeriodEndDate("01.12.05 13:00 - DOWN"), "01.12.05 13:00");
    EXPECT_EQ(PeriodEndDate("01.12.05 - DOWN - UP"), "01.12.05 - DOWN");
    EXPECT_EQ(PeriodEndDate("text"), "text");
}

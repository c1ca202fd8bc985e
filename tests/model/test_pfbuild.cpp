#include "pfbuild.h"
#include "uChartFin.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace korvala;

namespace {

struct Quote
{
    double close;
    double open = 0, high = 0, low = 0, volume = 0;
};

// A quote list with statistics, as a load leaves it. DateText is "d<index>".
void MakeList(TFList &list, const std::vector<Quote> &quotes)
{
    list.Clear();
    int i = 0;
    for (const Quote &q : quotes) {
        TFPoint &p = list.AddNew();
        p.DateText = "d" + std::to_string(i++);
        p.Close = q.close;
        p.Open = q.open;
        p.High = q.high;
        p.Low = q.low;
        p.Volume = q.volume;
    }
    list.Statistics();
}

std::vector<Quote> Closes(const std::vector<double> &closes)
{
    std::vector<Quote> q;
    for (double c : closes)
        q.push_back({c, c, c, c, 1});
    return q;
}

struct Build
{
    TFList quotes;
    PFGrid grid;
    TFList columns;
    std::vector<int> top, bottom;

    void Run(double box, double reverse, const PFLimits &limits = {})
    {
        grid.Reset();
        columns.Clear();
        top.clear();
        bottom.clear();
        BuildPFChart(quotes, box, reverse, grid, columns, top, bottom, limits);
    }
    // Marks of one column from row 0 to rows - 1, '.' for an empty cell.
    std::string Column(int col, int rows) const
    {
        std::string s;
        for (int r = 0; r < rows; ++r) {
            const char m = grid.Mark(col, r);
            s.push_back(m ? m : '.');
        }
        return s;
    }
};

std::string PFErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const PFError &e) {
        return e.what();
    }
    return "<no PFError>";
}

} // namespace

// ---------------------------------------------------------------------------------------
// The worked examples
// ---------------------------------------------------------------------------------------

TEST(PFBuild, TheWorkedExample)
{
    Build b;
    MakeList(b.quotes, {{10, 10, 10.5, 9.5, 100},
                        {12.5, 10, 13, 9.8, 200},
                        {13, 12.5, 13.5, 12, 300},
                        {9.5, 13, 13.2, 9.4, 400},
                        {9, 9.5, 9.7, 8.5, 500},
                        {12.6, 9, 12.8, 8.9, 600}});
    b.Run(1, 3);
    EXPECT_EQ(b.grid.RowCount, 6);
    EXPECT_EQ(b.grid.ColCount, 3);
    EXPECT_EQ(b.bottom, (std::vector<int>{4, 6, 5}));
    EXPECT_EQ(b.top, (std::vector<int>{2, 3, 2}));
    // Row 6 of column 1 lies past the last grid row and is still there.
    EXPECT_EQ(b.Column(0, 8), "..xxx...");
    EXPECT_EQ(b.Column(1, 8), "...0000.");
    EXPECT_EQ(b.Column(2, 8), "..xxxx..");
    EXPECT_EQ(b.grid.BoxCount(), 3 + 4 + 4);
    // Cell quotes: 12.5 refilled row 4 and filled 3 and 2; 9.5 cleared the extreme (0, 2).
    EXPECT_EQ(b.grid.CellQuote(0, 2), PFGrid::kNoQuote);
    EXPECT_EQ(b.grid.CellQuote(0, 3), 1);
    EXPECT_EQ(b.grid.CellQuote(0, 4), 1);
    for (int r = 3; r <= 6; ++r)
        EXPECT_EQ(b.grid.CellQuote(1, r), 4) << r;
    for (int r = 2; r <= 5; ++r)
        EXPECT_EQ(b.grid.CellQuote(2, r), 5) << r;

    ASSERT_EQ(b.columns.Count(), 3);
    const TFPoint &c0 = *b.columns.Items(0);
    EXPECT_EQ(c0.PeriodStart, "d0");
    EXPECT_EQ(c0.PeriodEnd, "d3 - UP");
    EXPECT_EQ(c0.Direction, 1);
    EXPECT_EQ(c0.Open, 10.0);
    EXPECT_EQ(c0.Close, 9.5);
    EXPECT_EQ(c0.High, 13.5);
    EXPECT_EQ(c0.Low, 9.4);
    EXPECT_EQ(c0.Volume, 1000.0);
    const TFPoint &c1 = *b.columns.Items(1);
    EXPECT_EQ(c1.PeriodStart, "d4");
    EXPECT_EQ(c1.PeriodEnd, "d4 - DOWN");
    EXPECT_EQ(c1.Direction, -1);
    EXPECT_EQ(c1.Open, 9.5);
    EXPECT_EQ(c1.High, 9.7);
    EXPECT_EQ(c1.Low, 8.5);
    EXPECT_EQ(c1.Close, 9.0);
    EXPECT_EQ(c1.Volume, 500.0);
    const TFPoint &c2 = *b.columns.Items(2);
    EXPECT_EQ(c2.PeriodStart, "d5");
    EXPECT_EQ(c2.PeriodEnd, "d5 - UP");
    EXPECT_EQ(c2.Direction, 1);
    EXPECT_EQ(c2.Open, 9.0);
    EXPECT_EQ(c2.High, 12.8);
    EXPECT_EQ(c2.Low, 8.9);
    EXPECT_EQ(c2.Close, 12.6);
    EXPECT_EQ(c2.Volume, 600.0);
    // The column list's statistics ran.
    EXPECT_EQ(b.columns.MaxVolume, 1000.0);
    EXPECT_EQ(b.columns.MaxClose, 12.6);
    EXPECT_EQ(b.columns.MinClose, 9.0);
    EXPECT_GE(b.columns.AvgChange, 0.0);
}

TEST(PFBuild, ASingleQuote)
{
    Build b;
    MakeList(b.quotes, {{7.25, 7, 8, 6, 50}});
    b.Run(1, 3);
    EXPECT_EQ(b.grid.RowCount, 2);
    EXPECT_EQ(b.grid.ColCount, 1);
    EXPECT_EQ(b.top, std::vector<int>{1});
    EXPECT_EQ(b.bottom, std::vector<int>{1});
    EXPECT_EQ(b.Column(0, 3), ".x.");
    EXPECT_EQ(b.grid.CellQuote(0, 1), 0);
    EXPECT_EQ(b.grid.BoxCount(), 1);
    ASSERT_EQ(b.columns.Count(), 1);
    EXPECT_EQ(b.columns.Items(0)->PeriodEnd, "d0 - UP");
    EXPECT_EQ(b.columns.Items(0)->Volume, 50.0);
    EXPECT_EQ(b.columns.Items(0)->High, 8.0);
}

TEST(PFBuild, AMoveOfExactlyOneBoxAddsNothing)
{
    // Box 1: 11 is one box from 10 and adds nothing; 12 is two boxes from 10.
    Build b;
    MakeList(b.quotes, Closes({10, 11, 12}));
    b.Run(1, 3);
    EXPECT_EQ(b.grid.RowCount, 4);
    EXPECT_EQ(b.Column(0, 4), ".xxx");
    EXPECT_EQ(b.top, std::vector<int>{1});
    EXPECT_EQ(b.bottom, std::vector<int>{3});
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(b.grid.CellQuote(0, r), 2) << r;
    EXPECT_EQ(b.columns.Items(0)->PeriodEnd, "d2 - UP");

    // 10, 11, 11.5: the distance is measured from the last box price 10, never from 11.
    Build c;
    MakeList(c.quotes, Closes({10, 11, 11.5}));
    c.Run(1, 3);
    EXPECT_EQ(c.grid.BoxCount(), 2);
    EXPECT_EQ(c.grid.CellQuote(0, c.top[0]), 2);
}

TEST(PFBuild, ACounterMoveOfExactlyTheReversalReverses)
{
    Build b;
    MakeList(b.quotes, Closes({10, 13, 10}));
    b.Run(1, 3);
    EXPECT_EQ(b.grid.RowCount, 5);
    EXPECT_EQ(b.grid.ColCount, 2);
    EXPECT_EQ(b.Column(0, 6), ".xxxx.");
    EXPECT_EQ(b.Column(1, 6), "..0000"); // down to row RowCount
    EXPECT_EQ(b.top, (std::vector<int>{1, 2}));
    EXPECT_EQ(b.bottom, (std::vector<int>{4, 5}));
    EXPECT_EQ(b.grid.CellQuote(1, 5), 2);

    // Just short of the reversal: no new column; the extreme loses its cell quote.
    Build c;
    MakeList(c.quotes, Closes({10, 13, 10.5}));
    c.Run(1, 3);
    EXPECT_EQ(c.grid.ColCount, 1);
    EXPECT_EQ(c.grid.CellQuote(0, 1), PFGrid::kNoQuote);
    EXPECT_EQ(c.grid.Mark(0, 1), 'x');
    EXPECT_EQ(c.grid.CellQuote(0, 2), 1);
    EXPECT_EQ(c.columns.Items(0)->Close, 10.5);
    EXPECT_EQ(c.columns.Items(0)->PeriodEnd, "d2 - UP");

    // The mirror image in an O column.
    Build d;
    MakeList(d.quotes, Closes({20, 10, 15, 12.5, 14.9}));
    d.Run(1, 4);
    ASSERT_EQ(d.grid.ColCount, 3);
    EXPECT_EQ(d.grid.Mark(2, d.bottom[2]), 'x');
    EXPECT_EQ(d.columns.Items(1)->Direction, -1);
    EXPECT_EQ(d.columns.Items(2)->Direction, 1);
}

TEST(PFBuild, AReversalSmallerThanTheBox)
{
    // Every counter-move of more than one box reverses.
    Build b;
    MakeList(b.quotes, Closes({10, 14, 11.9}));
    b.Run(2, 0.5);
    EXPECT_EQ(b.grid.ColCount, 2);
    EXPECT_EQ(b.columns.Items(1)->Direction, -1);
    // 1 box exactly: no move at all, though it is more than the reversal.
    Build c;
    MakeList(c.quotes, Closes({10, 14, 12}));
    c.Run(2, 0.5);
    EXPECT_EQ(c.grid.ColCount, 1);
    EXPECT_EQ(c.grid.CellQuote(0, c.top[0]), 1); // a no-move keeps the cell quote
    EXPECT_EQ(c.columns.Items(0)->Close, 12.0);
}

TEST(PFBuild, ARebuildLeavesNoTraceOfTheEarlierOne)
{
    std::vector<Quote> quotes;
    std::mt19937 rng(3);
    double price = 100;
    for (int i = 0; i < 300; ++i) {
        price += (static_cast<int>(rng() % 41) - 20) / 10.0;
        quotes.push_back({price, price, price + 1, price - 1, static_cast<double>(i % 17)});
    }
    Build a;
    MakeList(a.quotes, quotes);
    a.Run(0.25, 0.75);
    const long long fineBoxes = a.grid.BoxCount();
    a.Run(2, 6);
    Build fresh;
    MakeList(fresh.quotes, quotes);
    fresh.Run(2, 6);
    EXPECT_LT(a.grid.BoxCount(), fineBoxes);
    EXPECT_EQ(a.grid.BoxCount(), fresh.grid.BoxCount());
    EXPECT_EQ(a.grid.RowCount, fresh.grid.RowCount);
    EXPECT_EQ(a.grid.ColCount, fresh.grid.ColCount);
    EXPECT_EQ(a.top, fresh.top);
    EXPECT_EQ(a.bottom, fresh.bottom);
    ASSERT_EQ(a.columns.Count(), fresh.columns.Count());
    for (int c = 0; c < fresh.grid.ColCount; ++c)
        for (int r = -2; r < fresh.grid.RowCount + 3; ++r) {
            ASSERT_EQ(a.grid.Mark(c, r), fresh.grid.Mark(c, r)) << c << ' ' << r;
            ASSERT_EQ(a.grid.CellQuote(c, r), fresh.grid.CellQuote(c, r)) << c << ' ' << r;
        }
    // Columns past the new ColCount are empty.
    for (int r = -2; r < a.grid.RowCount + 3; ++r)
        EXPECT_EQ(a.grid.Mark(a.grid.ColCount, r), '\0');
    EXPECT_EQ(a.columns.MaxVolume, fresh.columns.MaxVolume);
    EXPECT_EQ(a.columns.AvgChange, fresh.columns.AvgChange);
    EXPECT_EQ(a.columns.MaxClose, fresh.columns.MaxClose);
}

// ---------------------------------------------------------------------------------------
// Rows past the grid
// ---------------------------------------------------------------------------------------

TEST(PFRows, ColumnsReachRowCountAndOneMore)
{
    // (10.29 - 1) / 0.01 is 928.99999…: it rounds to 929 for RowCount but truncates to 928
    // for the first row, so the chart starts one row low.
    Build b;
    MakeList(b.quotes, Closes({10.29, 1}));
    b.Run(0.01, 0.03);
    EXPECT_EQ(b.grid.RowCount, 931);
    EXPECT_EQ(b.top, (std::vector<int>{2, 3}));
    EXPECT_EQ(b.bottom, (std::vector<int>{2, 931}));
    EXPECT_EQ(b.grid.Mark(1, 931), '0');
    EXPECT_EQ(b.grid.CellQuote(1, 931), 1);

    // An X column down to row RowCount and an O column to RowCount + 1.
    Build c;
    MakeList(c.quotes, Closes({3.3, 10.3, 1, 10.29}));
    c.Run(0.01, 0.03);
    EXPECT_EQ(c.grid.RowCount, 932);
    EXPECT_EQ(c.top, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(c.bottom, (std::vector<int>{702, 933, 932}));
    EXPECT_EQ(c.grid.Mark(1, 933), '0');
    EXPECT_EQ(c.grid.CellQuote(1, 933), 2);
    EXPECT_EQ(c.grid.Mark(2, 932), 'x');
    EXPECT_EQ(c.grid.CellQuote(2, 932), 3);
    EXPECT_EQ(c.grid.Mark(1, 934), '\0');
    EXPECT_EQ(c.grid.BoxCount(), (702 - 2 + 1) + (933 - 3 + 1) + (932 - 4 + 1));

    Build d;
    MakeList(d.quotes, Closes({10.27, 7.77, 0.3}));
    d.Run(0.01, 0.03);
    EXPECT_EQ(d.grid.RowCount, 999);
    EXPECT_EQ(d.bottom, (std::vector<int>{2, 1000}));
    EXPECT_EQ(d.grid.Mark(1, 1000), '0');
}

TEST(PFGridStore, AnyRowIsStoredAndReadBack)
{
    PFGrid g;
    g.RowCount = 3;
    g.BeginColumn(PFGrid::kMarkO, 2, 7);
    g.ExtendTo(5, 8); // rows 2…5: RowCount and beyond
    g.BeginColumn(PFGrid::kMarkX, 4, 9);
    g.ExtendTo(-2, 10); // up into negative rows
    g.EndColumn();
    EXPECT_EQ(g.Mark(0, 1), '\0');
    EXPECT_EQ(g.Mark(0, 2), '0');
    EXPECT_EQ(g.CellQuote(0, 2), 8); // the extreme it started from was filled again
    EXPECT_EQ(g.Mark(0, 5), '0');
    EXPECT_EQ(g.CellQuote(0, 5), 8);
    EXPECT_EQ(g.Mark(0, 6), '\0');
    EXPECT_EQ(g.CellQuote(0, 6), PFGrid::kNoQuote);
    EXPECT_EQ(g.Mark(1, -2), 'x');
    EXPECT_EQ(g.Mark(1, 4), 'x');
    EXPECT_EQ(g.Mark(1, -3), '\0');
    EXPECT_EQ(g.FirstRow(1), -2);
    EXPECT_EQ(g.LastRow(1), 4);
    EXPECT_EQ(g.BoxCount(), 4 + 7);
    // Columns that do not exist read as empty.
    EXPECT_EQ(g.Mark(2, 0), '\0');
    EXPECT_EQ(g.Mark(-1, 0), '\0');
    EXPECT_EQ(g.CellQuote(-1, 2), PFGrid::kNoQuote);
    EXPECT_GT(g.FirstRow(5), g.LastRow(5));

    g.ClearQuotes();
    EXPECT_EQ(g.Mark(0, 3), '0');
    EXPECT_EQ(g.CellQuote(0, 3), PFGrid::kNoQuote);
    EXPECT_EQ(g.CellQuote(1, 0), PFGrid::kNoQuote);
    g.Reset();
    EXPECT_EQ(g.BoxCount(), 0);
    EXPECT_EQ(g.Mark(0, 3), '\0');
}

// ---------------------------------------------------------------------------------------
// Memory and limits
// ---------------------------------------------------------------------------------------

TEST(PFMemory, ATinyBoxOverAWideRangeCostsOnlyItsBoxes)
{
    // Box 0,01 on prices from 1 to 100 000, then a thousand short swings: about ten
    // million rows and a thousand columns, so a dense grid would need 10^10 cells.
    std::vector<double> closes = {1, 100000};
    for (int i = 0; i < 1000; ++i)
        closes.push_back(i % 2 ? 50001 : 50000);
    Build b;
    MakeList(b.quotes, Closes(closes));
    const std::size_t before = mallinfo2().uordblks;
    b.Run(0.01, 0.03);
    const std::size_t after = mallinfo2().uordblks;
    ASSERT_GT(b.grid.RowCount, 9'999'000);
    ASSERT_EQ(b.grid.ColCount, 1001); // the rise, then one column per swing close
    long long drawn = 0;
    for (int c = 0; c < b.grid.ColCount; ++c) {
        ASSERT_EQ(b.grid.FirstRow(c), b.top[static_cast<std::size_t>(c)]) << c;
        ASSERT_EQ(b.grid.LastRow(c), b.bottom[static_cast<std::size_t>(c)]) << c;
        drawn += b.bottom[static_cast<std::size_t>(c)] - b.top[static_cast<std::size_t>(c)] + 1;
    }
    EXPECT_EQ(b.grid.BoxCount(), drawn);
    EXPECT_LT(drawn, 3LL * b.grid.RowCount);
    // The heap grew in proportion to the boxes, nowhere near RowCount × ColCount.
    if (after > before) { // (a sanitizer's allocator reports nothing here)
        EXPECT_LT(after - before, static_cast<std::size_t>(16 * drawn + (64 << 20)));
    }
    // The last swing is readable at both ends.
    EXPECT_NE(b.grid.Mark(1000, b.top[1000]), '\0');
    EXPECT_NE(b.grid.Mark(1000, b.bottom[1000]), '\0');
}

TEST(PFLimitsTest, TheBoxLimitStopsTheBuildWithAClearMessage)
{
    PFLimits limits;
    limits.maxBoxes = 100;
    Build ok;
    MakeList(ok.quotes, Closes({0, 49.5})); // 1 + 99 boxes
    EXPECT_NO_THROW(ok.Run(0.5, 1.5, limits));
    EXPECT_EQ(ok.grid.BoxCount(), 100);

    Build over;
    MakeList(over.quotes, Closes({0, 50})); // 1 + 100 boxes
    const std::string message = PFErrorOf([&] { over.Run(0.5, 1.5, limits); });
    EXPECT_NE(message.find("100"), std::string::npos) << message;
    EXPECT_NE(message.find("box"), std::string::npos) << message;
    EXPECT_LE(over.grid.BoxCount(), 100);

    // A reversal counts its n + 1 boxes.
    limits.maxBoxes = 198;
    Build rev;
    MakeList(rev.quotes, Closes({0, 49, 0})); // 99 + 99
    EXPECT_NO_THROW(rev.Run(0.5, 1, limits));
    EXPECT_EQ(rev.grid.BoxCount(), 198);
    limits.maxBoxes = 197;
    EXPECT_NE(PFErrorOf([&] { rev.Run(0.5, 1, limits); }), "<no PFError>");
    EXPECT_LE(rev.grid.BoxCount(), 197);
}

TEST(PFLimitsTest, TheRowLimitIsCheckedBeforeAnyCell)
{
    PFLimits limits;
    limits.maxRows = 1000;
    Build ok;
    MakeList(ok.quotes, Closes({0, 499})); // Round(998) + 2
    EXPECT_NO_THROW(ok.Run(0.5, 1.5, limits));
    EXPECT_EQ(ok.grid.RowCount, 1000);

    Build over;
    MakeList(over.quotes, Closes({0, 500}));
    const std::string message = PFErrorOf([&] { over.Run(0.5, 1.5, limits); });
    EXPECT_NE(message.find("row"), std::string::npos) << message;
    EXPECT_EQ(over.grid.BoxCount(), 0);
    EXPECT_EQ(over.columns.Count(), 0);
    EXPECT_TRUE(over.top.empty());

    // A range that does not even fit a double's division.
    Build inf;
    MakeList(inf.quotes, Closes({-1.7e308, 1.7e308}));
    EXPECT_NE(PFErrorOf([&] { inf.Run(0.01, 0.03); }), "<no PFError>");
    EXPECT_EQ(inf.grid.BoxCount(), 0);
}

TEST(PFBuild, NoBuildOverAListWhoseLoadFailed)
{
    std::ifstream in(std::string(KORVALA_TEST_DATA_DIR) + "/bad_number.txt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Build b;
    EXPECT_THROW(b.quotes.LoadFromStream(bytes), std::exception);
    ASSERT_EQ(b.quotes.Count(), 2);
    ASSERT_EQ(b.quotes.MinClose, 1e9); // the sentinels are still there
    const std::string message = PFErrorOf([&] { b.Run(0.01, 0.03); });
    EXPECT_NE(message, "<no PFError>");
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(b.grid.BoxCount(), 0);
    EXPECT_EQ(b.columns.Count(), 0);
    EXPECT_TRUE(b.top.empty());
    EXPECT_TRUE(b.bottom.empty());
}

TEST(PFBuild, UnusableBoxesAreRefusedNotLoopedOn)
{
    Build b;
    MakeList(b.quotes, Closes({1, 2, 3}));
    for (double box : {0.0, -1.0, std::nan("")}) {
        EXPECT_NE(PFErrorOf([&] { b.Run(box, 1); }), "<no PFError>") << box;
        EXPECT_EQ(b.grid.BoxCount(), 0);
    }
}

TEST(PFBuild, AnEmptyListGivesNothing)
{
    Build b;
    b.quotes.LoadFromStream("header only\r\n");
    b.Run(1, 3);
    EXPECT_EQ(b.grid.BoxCount(), 0);
    EXPECT_EQ(b.columns.Count(), 0);
    EXPECT_TRUE(b.top.empty());
    EXPECT_TRUE(b.bottom.empty());
}

TEST(PFBuild, AColumnRecordKeptAcrossARebuildStaysReadable)
{
    Build b;
    MakeList(b.quotes, {{10, 10, 11, 9, 5}, {14, 10, 15, 9, 6}, {9, 14, 14, 8, 7}});
    b.Run(1, 3);
    ASSERT_EQ(b.columns.Count(), 2);
    const auto kept = b.columns.Share(1);
    ASSERT_TRUE(kept);
    b.Run(0.5, 20); // one column only now
    ASSERT_EQ(b.columns.Count(), 1);
    EXPECT_EQ(kept->PeriodStart, "d2");
    EXPECT_EQ(kept->PeriodEnd, "d2 - DOWN");
    EXPECT_EQ(kept->Direction, -1);
    EXPECT_EQ(kept->Close, 9.0);
    EXPECT_EQ(kept->Volume, 7.0);
    EXPECT_EQ(b.columns.Items(0)->Volume, 18.0);
}

// ---------------------------------------------------------------------------------------
// The build against a literal re-implementation on a dense grid
// ---------------------------------------------------------------------------------------

namespace ref {

struct Column
{
    std::string periodStart, periodEnd;
    int direction = 0;
    double open = 0, high = 0, low = 0, close = 0, volume = 0;
};

struct Cell
{
    char mark = 0;
    int quote = -1;
};

constexpr int kMargin = 8;

struct Result
{
    int rowCount = 0, colCount = 0;
    std::vector<std::vector<Cell>> cells; // [column][row + kMargin]
    std::vector<int> top, bottom;
    std::vector<Column> columns;
    bool outside = false; // a row beyond the margin was written

    Cell &At(int col, int row)
    {
        while (static_cast<int>(cells.size()) <= col)
            cells.emplace_back(static_cast<std::size_t>(rowCount + 2 * kMargin));
        static Cell dump;
        if (row + kMargin < 0 || row + kMargin >= rowCount + 2 * kMargin) {
            outside = true;
            return dump;
        }
        return cells[static_cast<std::size_t>(col)][static_cast<std::size_t>(row + kMargin)];
    }
    void Fill(int col, int r1, int r2, char mark, int quote)
    {
        if (r1 <= r2)
            for (int r = r1; r <= r2; ++r)
                At(col, r) = {mark, quote};
        else
            for (int r = r1; r >= r2; --r)
                At(col, r) = {mark, quote};
    }
};

double Round(double v) { return std::nearbyint(v); } // halves to even
double Trunc(double v) { return std::trunc(v); }

// Part 1.2's extremes of the closes, from their start values.
void CloseExtremes(const std::vector<Quote> &q, double &maxClose, double &minClose)
{
    maxClose = 0;
    minClose = 1000000000;
    for (const Quote &x : q) {
        if (x.close > maxClose)
            maxClose = x.close;
        if (x.close < minClose)
            minClose = x.close;
    }
}

void Update(Column &r, const Quote &q, const std::string &date, const char *suffix)
{
    r.periodEnd = date + suffix;
    r.close = q.close;
    if (q.high > r.high)
        r.high = q.high;
    if (q.low < r.low)
        r.low = q.low;
    r.volume = r.volume + q.volume;
}

Column NewColumn(const Quote &q, const std::string &date, int direction, const char *suffix)
{
    Column c;
    c.periodStart = date;
    c.periodEnd = date + suffix;
    c.direction = direction;
    c.open = q.open;
    c.close = q.close;
    c.high = q.high;
    c.low = q.low;
    c.volume = q.volume;
    return c;
}

Result Build(const std::vector<Quote> &q, double box, double reverse)
{
    Result res;
    if (q.empty())
        return res;
    double maxClose = 0, minClose = 0;
    CloseExtremes(q, maxClose, minClose);
    res.rowCount = static_cast<int>(Round((maxClose - minClose) / box)) + 2;
    res.colCount = 1;
    auto date = [](int i) { return "d" + std::to_string(i); };

    double last = q[0].close;
    int row = res.rowCount - static_cast<int>(Trunc((q[0].close - minClose) / box)) - 1;
    res.bottom.push_back(row);
    res.top.push_back(row);
    int k = 0;
    char mark = 'x';
    res.At(0, row) = {'x', 0};
    res.columns.push_back(NewColumn(q[0], date(0), 1, " - UP"));

    for (int i = 1; i < static_cast<int>(q.size()); ++i) {
        const double c = q[static_cast<std::size_t>(i)].close;
        const double d = std::fabs(c - last);
        Column &R = res.columns[static_cast<std::size_t>(k)];
        const Quote &qi = q[static_cast<std::size_t>(i)];
        if (d <= box) {
            Update(R, qi, date(i), mark == 'x' ? " - UP" : " - DOWN");
            continue;
        }
        if (mark == 'x') {
            if (c > last) {
                const int n = static_cast<int>(Trunc(d / box));
                const int target = row - n;
                res.Fill(k, row, target, 'x', i);
                Update(R, qi, date(i), " - UP");
                row = target;
                res.top[static_cast<std::size_t>(k)] = target;
                last = last + n * box;
            } else if (c < last && d < reverse) {
                res.At(k, row).quote = -1;
                Update(R, qi, date(i), " - UP");
            } else if (c < last && d >= reverse) {
                res.colCount = res.colCount + 1;
                k = k + 1;
                row = row + 1;
                const int n = static_cast<int>(Trunc(d / box));
                const int target = row + n;
                mark = '0';
                res.columns.push_back(NewColumn(qi, date(i), -1, " - DOWN"));
                res.top.push_back(row);
                res.Fill(k, row, target, '0', i);
                row = target;
                res.bottom.push_back(target);
                last = last - n * box;
            }
        } else {
            if (c < last) {
                const int n = static_cast<int>(Trunc(d / box));
                const int target = row + n;
                res.Fill(k, row, target, '0', i);
                Update(R, qi, date(i), " - DOWN");
                row = target;
                res.bottom[static_cast<std::size_t>(k)] = target;
                last = last - n * box;
            } else if (c > last && d < reverse) {
                res.At(k, row).quote = -1;
                Update(R, qi, date(i), " - DOWN");
            } else if (c > last && d >= reverse) {
                res.colCount = res.colCount + 1;
                k = k + 1;
                row = row - 1;
                const int n = static_cast<int>(Trunc(d / box));
                const int target = row - n;
                mark = 'x';
                res.bottom.push_back(row);
                res.Fill(k, row, target, 'x', i);
                res.columns.push_back(NewColumn(qi, date(i), 1, " - UP"));
                row = target;
                res.top.push_back(target);
                last = last + n * box;
            }
        }
    }
    return res;
}

// Part 1.2's statistics over the column records (extremes, change sum, MA3, pivots).
struct Stats
{
    double maxLow = 0, maxClose = 0, maxHigh = 0, maxOpen = 0;
    double minLow = 1e9, minOpen = 1e9, minClose = 1e9, minHigh = 1e9;
    double maxVolume = 0, avgChange = 0;
    std::vector<double> ma3, pivot;
};

Stats Statistics(const std::vector<Column> &cols)
{
    Stats s;
    double sum = 0, e = 0;
    bool rising = true;
    const std::size_t n = cols.size();
    s.ma3.assign(n, 0);
    s.pivot.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const Column &c = cols[i];
        if (c.open > s.maxOpen) s.maxOpen = c.open;
        if (c.open < s.minOpen) s.minOpen = c.open;
        if (c.high > s.maxHigh) s.maxHigh = c.high;
        if (c.high < s.minHigh) s.minHigh = c.high;
        if (c.low > s.maxLow) s.maxLow = c.low;
        if (c.low < s.minLow) s.minLow = c.low;
        if (c.close > s.maxClose) s.maxClose = c.close;
        if (c.close < s.minClose) s.minClose = c.close;
        if (c.volume > s.maxVolume) s.maxVolume = c.volume;
        if (i >= 1)
            sum += std::fabs(cols[i - 1].close - c.close);
        s.ma3[i] = i >= 2 ? (cols[i - 2].close + cols[i - 1].close + c.close) / 3 : c.close;
        if (i == 0) {
            e = c.close;
        } else if ((rising && c.close > e) || (!rising && c.close < e)) {
            e = c.close;
            s.pivot[i] = c.close;
            s.pivot[i - 1] = 0;
        } else if ((rising && c.close < e) || (!rising && c.close > e)) {
            e = c.close;
            s.pivot[i] = c.close;
            rising = !rising;
        }
    }
    s.avgChange = n >= 1 ? sum / static_cast<double>(n) : 0;
    return s;
}

} // namespace ref

namespace {

void Compare(const std::vector<Quote> &quotes, double box, double reverse, const std::string &where)
{
    ref::Result r = ref::Build(quotes, box, reverse);
    ASSERT_FALSE(r.outside) << where << ": the reference went past its margin";
    Build b;
    MakeList(b.quotes, quotes);
    b.Run(box, reverse);

    ASSERT_EQ(b.grid.RowCount, r.rowCount) << where;
    ASSERT_EQ(b.grid.ColCount, r.colCount) << where;
    ASSERT_EQ(b.top, r.top) << where;
    ASSERT_EQ(b.bottom, r.bottom) << where;
    long long marked = 0;
    for (int c = 0; c < r.colCount; ++c)
        for (int row = -ref::kMargin; row < r.rowCount + ref::kMargin; ++row) {
            const ref::Cell &cell = r.At(c, row);
            if (cell.mark)
                ++marked;
            ASSERT_EQ(b.grid.Mark(c, row), cell.mark) << where << " cell " << c << ',' << row;
            ASSERT_EQ(b.grid.CellQuote(c, row), cell.quote) << where << " cell " << c << ',' << row;
        }
    ASSERT_EQ(b.grid.BoxCount(), marked) << where;
    for (int c = 0; c < r.colCount; ++c) {
        ASSERT_GE(b.grid.FirstRow(c), -ref::kMargin) << where;
        ASSERT_LT(b.grid.LastRow(c), r.rowCount + ref::kMargin) << where;
    }

    ASSERT_EQ(b.columns.Count(), static_cast<int>(r.columns.size())) << where;
    for (int c = 0; c < b.columns.Count(); ++c) {
        const ref::Column &e = r.columns[static_cast<std::size_t>(c)];
        const TFPoint &a = *b.columns.Items(c);
        ASSERT_EQ(a.PeriodStart, e.periodStart) << where << " column " << c;
        ASSERT_EQ(a.PeriodEnd, e.periodEnd) << where << " column " << c;
        ASSERT_EQ(a.Direction, e.direction) << where << " column " << c;
        ASSERT_EQ(a.Open, e.open) << where << " column " << c;
        ASSERT_EQ(a.High, e.high) << where << " column " << c;
        ASSERT_EQ(a.Low, e.low) << where << " column " << c;
        ASSERT_EQ(a.Close, e.close) << where << " column " << c;
        ASSERT_EQ(a.Volume, e.volume) << where << " column " << c;
    }
    const ref::Stats s = ref::Statistics(r.columns);
    ASSERT_EQ(b.columns.MaxOpen, s.maxOpen) << where;
    ASSERT_EQ(b.columns.MinOpen, s.minOpen) << where;
    ASSERT_EQ(b.columns.MaxHigh, s.maxHigh) << where;
    ASSERT_EQ(b.columns.MinHigh, s.minHigh) << where;
    ASSERT_EQ(b.columns.MaxLow, s.maxLow) << where;
    ASSERT_EQ(b.columns.MinLow, s.minLow) << where;
    ASSERT_EQ(b.columns.MaxClose, s.maxClose) << where;
    ASSERT_EQ(b.columns.MinClose, s.minClose) << where;
    ASSERT_EQ(b.columns.MaxVolume, s.maxVolume) << where;
    ASSERT_EQ(b.columns.AvgChange, s.avgChange) << where;
    for (int c = 0; c < b.columns.Count(); ++c) {
        ASSERT_EQ(b.columns.Items(c)->MA3, s.ma3[static_cast<std::size_t>(c)]) << where << ' ' << c;
        ASSERT_EQ(b.columns.Items(c)->Pivot, s.pivot[static_cast<std::size_t>(c)]) << where << ' ' << c;
    }
}

} // namespace

TEST(PFDifferential, TheWorkedExamplesAgreeWithTheReference)
{
    Compare(Closes({10, 12.5, 13, 9.5, 9, 12.6}), 1, 3, "worked example");
    Compare(Closes({10.29, 1}), 0.01, 0.03, "10,29");
    Compare(Closes({3.3, 10.3, 1, 10.29}), 0.01, 0.03, "RowCount + 1");
}

TEST(PFDifferential, RandomQuoteListsAgreeCellByCell)
{
    std::mt19937 rng(1234567);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    const double boxes[] = {0.01, 0.05, 0.1, 0.25, 0.5, 1, 2, 3.7};
    int trials = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        const int count = 1 + static_cast<int>(rng() % 60);
        double box = rng() % 4 == 0 ? uniform(0.01, 5) : boxes[rng() % 8];
        double reverse = 0;
        switch (rng() % 7) {
        case 0: reverse = box; break;                    // equal to the box
        case 1: reverse = box * 0.5; break;              // smaller than the box
        case 2: reverse = 0.01; break;
        case 3: reverse = uniform(0.01, 10 * box); break;
        default: reverse = box * static_cast<double>(2 + rng() % 4); break;
        }
        const int style = static_cast<int>(rng() % 5);
        std::vector<Quote> quotes;
        double price = 50 + static_cast<double>(rng() % 100);
        for (int i = 0; i < count; ++i) {
            switch (style) {
            case 0: // a walk in cents, with repeated closes
                price += (static_cast<int>(rng() % 201) - 100) / 100.0 * (rng() % 3 == 0 ? 0 : 1);
                break;
            case 1: // on the box lattice: distances of exactly whole boxes
                price = box * static_cast<double>(rng() % 40);
                break;
            case 2: // large jumps now and then
                price += (rng() % 8 == 0 ? 60.0 : 1.0) * (static_cast<int>(rng() % 21) - 10) / 10.0;
                break;
            case 3: // arbitrary doubles
                price = uniform(0.5, 120);
                break;
            default: // around zero, negatives included
                price = (static_cast<int>(rng() % 401) - 200) / 100.0;
                break;
            }
            const double v = static_cast<double>(rng() % 1000);
            quotes.push_back({price, price + uniform(-1, 1), price + uniform(0, 2),
                              price - uniform(0, 2), v});
        }
        // Keep the reference's dense grid small.
        double hi = 0, lo = 0;
        ref::CloseExtremes(quotes, hi, lo);
        if ((hi - lo) / box > 20000)
            box = (hi - lo) / 20000;
        Compare(quotes, box, reverse,
                "trial " + std::to_string(trial) + " box " + std::to_string(box) + " reverse "
                    + std::to_string(reverse));
        if (HasFailure())
            return;
        ++trials;
    }
    EXPECT_EQ(trials, 4000);
}

#include "pfbuild.h"
#include "quotes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace korvala;

namespace {

struct Quote
{
    double close;
    double open = 0, high = 0, low = 0, volume = 0;
};
using Quotes = std::vector<Quote>;
using Ints = std::vector<int>;

Quotes Closes(const std::vector<double> &closes)
{
    Quotes q;
    for (double c : closes)
        q.push_back({c, c, c, c, 1});
    return q;
}

// One column record as a line; precision 17 tells every double apart.
std::string Record(const TFPoint &p, int precision = 6)
{
    std::ostringstream s;
    s.precision(precision);
    s << p.PeriodStart() << " / " << p.PeriodEnd() << " / " << p.Direction << " / O " << p.Open << " H "
      << p.High << " L " << p.Low << " C " << p.Close << " V " << p.Volume;
    return s.str();
}

// The build over a quote list as a load leaves it (statistics run); DateText is "d<index>".
struct Build
{
    TFList quotes;
    PFGrid grid;
    TFList columns;
    Ints top, bottom;

    explicit Build(const Quotes &q = {})
    {
        for (const Quote &x : q) {
            TFPoint &p = quotes.AddNew();
            p.DateText = "d" + std::to_string(quotes.Count() - 1);
            p.Close = x.close, p.Open = x.open, p.High = x.high, p.Low = x.low, p.Volume = x.volume;
        }
        quotes.Statistics();
    }
    Build(const Quotes &q, double box, double reverse) : Build(q) { Run(box, reverse); }

    void Run(double box, double reverse, const PFLimits &limits = {})
    {
        grid.Reset();
        columns.Clear();
        top.clear();
        bottom.clear();
        BuildPFChart(quotes, box, reverse, grid, columns, limits);
        top = grid.TopRows();
        bottom = grid.BottomRows();
    }
    // The PFError's text, or "" when the build is made.
    std::string Refused(double box, double reverse, const PFLimits &limits = {})
    {
        return test::ErrorOf<PFError>([&] { Run(box, reverse, limits); });
    }
    // "RowCount x ColCount:" and per column its top and bottom row.
    std::string Shape() const
    {
        std::string s = std::to_string(grid.RowCount) + "x" + std::to_string(grid.ColCount) + ":";
        for (std::size_t c = 0; c < top.size() && c < bottom.size(); ++c)
            s += " " + std::to_string(top[c]) + "-" + std::to_string(bottom[c]);
        return s;
    }
    // Marks of a column from row 0 to rows - 1, '.' for an empty cell.
    std::string Column(int col, int rows) const
    {
        std::string s;
        for (int r = 0; r < rows; ++r)
            s.push_back(grid.Mark(col, r) ? grid.Mark(col, r) : '.');
        return s;
    }
    Ints CellQuotes(int col, int rows) const
    {
        Ints q;
        for (int r = 0; r < rows; ++r)
            q.push_back(grid.CellQuote(col, r));
        return q;
    }
};

} // namespace

TEST(PFBuild, TheWorkedExample)
{
    Build b({{10, 10, 10.5, 9.5, 100}, {12.5, 10, 13, 9.8, 200}, {13, 12.5, 13.5, 12, 300},
             {9.5, 13, 13.2, 9.4, 400}, {9, 9.5, 9.7, 8.5, 500}, {12.6, 9, 12.8, 8.9, 600}},
            1, 3);
    EXPECT_EQ(b.Shape(), "6x3: 2-4 3-6 2-5");
    // Row 6 of column 1 lies past the last grid row and is still there.
    EXPECT_EQ(b.Column(0, 8) + " " + b.Column(1, 8) + " " + b.Column(2, 8),
              "..xxx... ...0000. ..xxxx..");
    EXPECT_EQ(b.grid.BoxCount(), 3 + 4 + 4);
    // 12.5 refilled row 4 and filled 3 and 2; 9.5 took the quote off the extreme (0, 2).
    EXPECT_EQ(b.CellQuotes(0, 7), (Ints{-1, -1, -1, 1, 1, -1, -1}));
    EXPECT_EQ(b.CellQuotes(1, 8), (Ints{-1, -1, -1, 4, 4, 4, 4, -1}));
    EXPECT_EQ(b.CellQuotes(2, 7), (Ints{-1, -1, 5, 5, 5, 5, -1}));
    ASSERT_EQ(b.columns.Count(), 3);
    EXPECT_EQ(Record(*b.columns.Items(0)), "d0 / d3 - UP / 1 / O 10 H 13.5 L 9.4 C 9.5 V 1000");
    EXPECT_EQ(Record(*b.columns.Items(1)), "d4 / d4 - DOWN / -1 / O 9.5 H 9.7 L 8.5 C 9 V 500");
    EXPECT_EQ(Record(*b.columns.Items(2)), "d5 / d5 - UP / 1 / O 9 H 12.8 L 8.9 C 12.6 V 600");
    // The column list's statistics ran: closes 9.5, 9, 12.6.
    EXPECT_EQ(b.columns.MaxVolume, 1000.0);
    EXPECT_DOUBLE_EQ(b.columns.AvgChange, (0.5 + 3.6) / 3);
}

// The rules at their edges (a move of exactly one box, a counter-move of exactly the
// reversal, a reversal below the box) are the random lists' below; here the rows that
// floating point gives.
TEST(PFBuild, FloatingPointPutsAColumnOneRowLow)
{
    // (10.29 - 1) / 0.01 is 928.99999…, which rounds to 929 for RowCount but truncates to
    // 928 for the first row. X cells then reach row RowCount and O cells RowCount + 1,
    // stored like any other.
    EXPECT_EQ(Build(Closes({10.29, 1}), 0.01, 0.03).Shape(), "931x2: 2-2 3-931");
    const Build low(Closes({3.3, 10.3, 1, 10.29}), 0.01, 0.03);
    EXPECT_EQ(low.Shape(), "932x3: 2-702 3-933 4-932");
    EXPECT_EQ(low.grid.Mark(1, 933), '0');
    EXPECT_EQ(low.grid.Mark(2, 932), 'x');
    EXPECT_EQ(low.grid.CellQuote(1, 933), 2);
    EXPECT_EQ(low.grid.BoxCount(), (702 - 2 + 1) + (933 - 3 + 1) + (932 - 4 + 1));
}

TEST(PFBuild, ATinyBoxOverAWideRangeCostsOnlyItsBoxes)
{
    // Box 0,01 on prices from 1 to 100 000, then a thousand short swings: ten million rows
    // and a thousand columns, so a dense grid would need 10^10 cells.
    std::vector<double> closes = {1, 100000};
    for (int i = 0; i < 1000; ++i)
        closes.push_back(i % 2 ? 50001 : 50000);
    Build b(Closes(closes));
    const std::size_t before = mallinfo2().uordblks;
    b.Run(0.01, 0.03);
    const std::size_t after = mallinfo2().uordblks;
    ASSERT_GT(b.grid.RowCount, 9'999'000);
    ASSERT_EQ(b.grid.ColCount, 1001);
    long long drawn = 0;
    for (int c = 0; c < b.grid.ColCount; ++c)
        drawn += b.bottom[c] - b.top[c] + 1;
    EXPECT_EQ(b.grid.BoxCount(), drawn);
    if (after > before) { // (a sanitizer's allocator reports nothing here)
        EXPECT_LT(after - before, static_cast<std::size_t>(16 * drawn + (64 << 20)));
    }
    EXPECT_EQ(b.grid.Mark(1000, b.bottom[1000]), 'x');
}

TEST(PFBuild, LimitsStopTheBuildWithAClearMessage)
{
    PFLimits limits;
    limits.maxBoxes = 198;
    EXPECT_EQ(Build(Closes({0, 49, 0})).Refused(0.5, 1, limits), ""); // 99 + 99: a reversal counts n + 1
    limits.maxBoxes = 197;
    Build over(Closes({0, 49, 0}));
    const std::string message = over.Refused(0.5, 1, limits);
    EXPECT_NE(message.find("197"), std::string::npos) << message;
    EXPECT_NE(message.find("box"), std::string::npos) << message;
    EXPECT_LE(over.grid.BoxCount(), 197);
    // The row limit is checked before any cell.
    limits = {};
    limits.maxRows = 1000;
    EXPECT_EQ(Build(Closes({0, 499})).Refused(0.5, 1.5, limits), ""); // Round(998) + 2
    Build tall(Closes({0, 500}));
    EXPECT_NE(tall.Refused(0.5, 1.5, limits).find("row"), std::string::npos);
    EXPECT_EQ(tall.grid.BoxCount() + tall.columns.Count(), 0);
    // A range that does not even fit a double's division, and boxes that are no size.
    EXPECT_NE(Build(Closes({-1.7e308, 1.7e308})).Refused(0.01, 0.03), "");
    for (double box : {0.0, -1.0, std::nan("")})
        EXPECT_NE(tall.Refused(box, 1), "") << box;
}

TEST(PFBuild, NothingOverAnEmptyListNoBuildOverAListWhoseLoadFailed)
{
    Build b;
    b.Run(1, 3);
    EXPECT_EQ(b.grid.BoxCount() + b.columns.Count() + b.top.size() + b.bottom.size(), 0u);
    EXPECT_THROW(b.quotes.LoadFromStream("h\n01.12.05;10:00;1;2;1;1,5;1\n02.12.05;10:00;1;2;1;x;1"),
                 std::exception);
    ASSERT_EQ(b.quotes.MinClose, 1e9); // the sentinels are still there
    EXPECT_NE(b.Refused(0.01, 0.03), "");
    EXPECT_EQ(b.grid.BoxCount() + b.columns.Count() + b.top.size() + b.bottom.size(), 0u);
}

// ---------------------------------------------------------------------------------------
// The build against a literal re-implementation of its steps (cells in a map)
// ---------------------------------------------------------------------------------------

namespace ref {

struct Result
{
    int rowCount = 0, colCount = 1;
    std::map<std::pair<int, int>, std::pair<char, int>> cells; // (col, row) → (mark, quote)
    Ints top, bottom;
    std::vector<TFPoint> columns;
};

Result Build(const Quotes &q, double box, double reverse)
{
    Result res;
    double maxClose = 0, minClose = 1000000000;
    for (const Quote &x : q) {
        maxClose = x.close > maxClose ? x.close : maxClose;
        minClose = x.close < minClose ? x.close : minClose;
    }
    const auto date = [](int i) { return "d" + std::to_string(i); };
    const auto fill = [&](int k, int r1, int r2, char m, int i) {
        for (int r = r1;; r += r2 > r1 ? 1 : -1) {
            res.cells[{k, r}] = {m, i};
            if (r == r2)
                break;
        }
    };
    const auto record = [&](int i, int direction) {
        TFPoint c;
        c.SetPeriodStart(date(i));
        c.SetPeriodEnd(date(i) + (direction > 0 ? " - UP" : " - DOWN"));
        c.Direction = direction;
        c.Open = q[i].open, c.Close = q[i].close, c.High = q[i].high, c.Low = q[i].low;
        c.Volume = q[i].volume;
        return c;
    };
    const auto update = [&](TFPoint &r, int i, char mark) {
        r.SetPeriodEnd(date(i) + (mark == 'x' ? " - UP" : " - DOWN"));
        r.Close = q[i].close;
        r.High = q[i].high > r.High ? q[i].high : r.High;
        r.Low = q[i].low < r.Low ? q[i].low : r.Low;
        r.Volume = r.Volume + q[i].volume;
    };
    res.rowCount = static_cast<int>(std::nearbyint((maxClose - minClose) / box)) + 2;
    double last = q[0].close;
    int row = res.rowCount - static_cast<int>(std::trunc((q[0].close - minClose) / box)) - 1;
    int k = 0;
    char mark = 'x';
    res.top = res.bottom = {row};
    res.cells[{0, row}] = {'x', 0};
    res.columns.push_back(record(0, 1));
    for (int i = 1; i < static_cast<int>(q.size()); ++i) {
        const double c = q[i].close, d = std::fabs(c - last);
        const int n = static_cast<int>(std::trunc(d / box));
        const bool x = mark == 'x';
        if (d <= box) {
            update(res.columns[k], i, mark);
        } else if (x ? c > last : c < last) { // the column goes on
            const int target = x ? row - n : row + n;
            fill(k, row, target, mark, i);
            update(res.columns[k], i, mark);
            row = target;
            (x ? res.top : res.bottom)[k] = target;
            last = x ? last + n * box : last - n * box;
        } else if (d < reverse) {             // a counter-move short of the reversal
            res.cells[{k, row}].second = -1;
            update(res.columns[k], i, mark);
        } else {                              // reversal
            ++res.colCount;
            ++k;
            row = x ? row + 1 : row - 1;
            const int target = x ? row + n : row - n;
            mark = x ? '0' : 'x';
            (x ? res.top : res.bottom).push_back(row);
            fill(k, row, target, mark, i);
            res.columns.push_back(record(i, x ? -1 : 1));
            row = target;
            (x ? res.bottom : res.top).push_back(target);
            last = x ? last - n * box : last + n * box;
        }
    }
    return res;
}

} // namespace ref

namespace {

void ExpectRecordsAsReference(const Build &b, const ref::Result &r)
{
    ASSERT_EQ(b.columns.Count(), static_cast<int>(r.columns.size()));
    for (int c = 0; c < b.columns.Count(); ++c)
        ASSERT_EQ(Record(*b.columns.Items(c), 17), Record(r.columns[c], 17)) << c;
}

// The build is the reference's chart: its size, row lists, every cell and every record.
void ExpectAsReference(const Build &b, const ref::Result &r)
{
    ASSERT_EQ(b.grid.RowCount, r.rowCount);
    ASSERT_EQ(b.grid.ColCount, r.colCount);
    ASSERT_EQ(b.top, r.top);
    ASSERT_EQ(b.bottom, r.bottom);
    ASSERT_EQ(b.grid.BoxCount(), static_cast<long long>(r.cells.size()));
    for (const auto &[at, cell] : r.cells)
        ASSERT_EQ(std::make_pair(b.grid.Mark(at.first, at.second), b.grid.CellQuote(at.first, at.second)), cell)
            << at.first << ',' << at.second;
    ExpectRecordsAsReference(b, r);
}

} // namespace

// Every other list is built twice, first with another box: a rebuild leaves no trace of
// the chart before it.
TEST(PFBuild, RandomQuoteListsAgreeWithTheReferenceCellByCell)
{
    std::mt19937 rng(1234567);
    const auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    for (int trial = 0; trial < 4000 && !HasFailure(); ++trial) {
        double box = rng() % 4 ? std::vector<double>{0.01, 0.05, 0.25, 1, 3.7}[rng() % 5] : uniform(0.01, 5);
        const double reverse = std::vector<double>{box, box / 2, 0.01, uniform(0.01, 10 * box),
                                                   box * static_cast<double>(2 + rng() % 4)}[rng() % 5];
        const int style = static_cast<int>(rng() % 4), count = 1 + static_cast<int>(rng() % 60);
        Quotes quotes;
        double price = 50 + static_cast<double>(rng() % 100);
        for (int i = 0; i < count; ++i) {
            const double step = (static_cast<int>(rng() % 201) - 100) / 100.0;
            price = style == 0   ? price + (rng() % 3 ? step : 0)         // cents, closes repeated
                    : style == 1 ? box * static_cast<double>(rng() % 40)  // whole boxes apart
                    : style == 2 ? uniform(0.5, 120)                      // arbitrary doubles
                                 : step * 2;                              // round zero, negatives
            quotes.push_back({price, price + uniform(-1, 1), price + uniform(0, 2),
                              price - uniform(0, 2), static_cast<double>(rng() % 1000)});
        }
        double hi = quotes[0].close, lo = hi;
        for (const Quote &q : quotes)
            hi = std::max(hi, q.close), lo = std::min(lo, q.close);
        box = std::max(box, (hi - lo) / 1000); // keeps the reference's map small
        SCOPED_TRACE("trial " + std::to_string(trial));
        Build b(quotes);
        if (trial % 2)
            b.Run(box / 3, reverse);
        b.Run(box, reverse);
        ExpectAsReference(b, ref::Build(quotes, box, reverse));
    }
}

// Lists long enough for the column records to be written on a second thread while the
// closes are walked, and for the skipping of quiet quotes to meet every phase of its
// groups of four: cell by cell and record by record the reference's chart. A build
// stopped by the box limit keeps the records of the quotes before the stop: those of
// the reference over that shorter list.
TEST(PFBuild, LongListsAndAStopAtTheBoxLimitAgreeWithTheReference)
{
    std::mt19937 rng(99);
    for (int trial = 0; trial < 3 && !HasFailure(); ++trial) {
        const int count = 21000 + static_cast<int>(rng() % 4000);
        Quotes quotes;
        double price = 1000;
        for (int i = 0; i < count; ++i) {
            price += (static_cast<int>(rng() % 201) - 100) / 100.0;
            quotes.push_back({price, price + 0.25, price + 1, price - 1, static_cast<double>(rng() % 1000)});
        }
        const double box = trial == 2 ? 0.37 : 1.0, reverse = trial == 0 ? 3.0 : 1.5;
        SCOPED_TRACE("trial " + std::to_string(trial));
        const ref::Result r = ref::Build(quotes, box, reverse);
        Build b(quotes, box, reverse);
        ASSERT_GT(r.colCount, 100);
        ExpectAsReference(b, r);

        PFLimits limits;
        limits.maxBoxes = static_cast<long long>(r.cells.size()) / 2;
        EXPECT_THROW(b.Run(box, reverse, limits), PFError);
        ASSERT_GT(b.columns.Count(), 0);
        // The last record's period names the last quote taken ("d<index> - UP").
        const int last = std::stoi(std::string(b.columns.Items(b.columns.Count() - 1)->PeriodEnd()).substr(1));
        ASSERT_LT(last, count - 1);
        ExpectRecordsAsReference(b, ref::Build(Quotes(quotes.begin(), quotes.begin() + last + 1), box, reverse));
    }
}

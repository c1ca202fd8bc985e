// Replays that build a chart quote by quote: at every step the chart is the one a build
// over just the quotes taken gives, going forward, back, and jumping either way.

#include "buildreplay.h"
#include "linebreak.h"
#include "pfbuild.h"
#include "quotes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace korvala;

namespace {

struct Chart
{
    PFGrid grid;
    TFList columns;
};

// A list of n quotes whose closes walk with the given drift and step; dates one hour
// apart from 1 March 2005; highs, lows and volumes vary so that column records differ.
void Walk(TFList &list, int n, unsigned seed, double start, double drift, double step)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> move(-step, step);
    double price = start;
    for (int i = 0; i < n; ++i) {
        TFPoint &p = list.AddNew();
        // Quarter steps: closes land exactly on box edges now and then.
        price += std::round((drift + move(rng)) * 4) / 4;
        p.DateTime = 38412 + i / 24.0;
        p.DateText = "q" + std::to_string(i);
        p.Open = price - 0.25;
        p.Close = price;
        p.High = price + static_cast<double>(rng() % 5) / 4;
        p.Low = price - static_cast<double>(rng() % 5) / 4;
        p.Volume = static_cast<double>(rng() % 1000);
    }
    list.Statistics();
}

// The first k quotes of a list as a list of their own, its statistics run.
void Prefix(const TFList &from, int k, TFList &to)
{
    to.Clear();
    for (int i = 0; i < k; ++i)
        to.AddNew() = *from.Items(i);
    to.Statistics();
}

// A chart as text: its shape, every column's rows with the marks and cell quotes of the
// rows and of the cells just outside them (one column past the last, too), the row lists,
// every column record and the column list's figures.
std::string Text(const PFGrid &g, const TFList &columns)
{
    std::ostringstream s;
    s.precision(17);
    s << g.RowCount << 'x' << g.ColCount << '/' << g.BoxCount() << ' ' << g.Box << ' ' << g.Reverse << '\n';
    for (int c = 0; c <= g.ColCount; ++c) {
        s << c << ": " << g.FirstRow(c) << '-' << g.LastRow(c) << ' ';
        for (int r = g.FirstRow(c) - 1; r <= g.LastRow(c) + 1; ++r)
            s << (g.Mark(c, r) ? g.Mark(c, r) : '.') << g.CellQuote(c, r) << ' ';
        s << '\n';
    }
    for (const std::vector<int> &rows : {g.TopRows(), g.BottomRows()}) {
        for (int r : rows)
            s << r << ' ';
        s << '\n';
    }
    for (int c = 0; c < columns.Count(); ++c) {
        const TFPoint &p = *columns.Items(c);
        s << p.PeriodStart() << '|' << p.PeriodEnd() << '|' << p.Direction << '|' << p.Open << '|' << p.High << '|'
          << p.Low << '|' << p.Close << '|' << p.Volume << '\n';
    }
    s << columns.MaxOpen << ' ' << columns.MinOpen << ' ' << columns.MaxHigh << ' ' << columns.MinHigh << ' '
      << columns.MaxLow << ' ' << columns.MinLow << ' ' << columns.MaxClose << ' ' << columns.MinClose << ' '
      << columns.MaxVolume << ' ' << columns.AvgChange;
    return s.str();
}

std::string Text(const Chart &chart) { return Text(chart.grid, chart.columns); }

// The whole build over the first k quotes.
void BuildOver(const TFList &quotes, int k, double box, double reverse, Chart &out)
{
    TFList prefix;
    Prefix(quotes, k, prefix);
    out.grid.Reset();
    out.columns.Clear();
    BuildPFChart(prefix, box, reverse, out.grid, out.columns);
}

// Steps k in the order a user might take them: every quote forward, then back one by
// one to the start, then random jumps either way with single steps after each.
std::vector<int> Walkthrough(int n, unsigned seed)
{
    std::vector<int> steps;
    for (int k = 1; k <= n; ++k)
        steps.push_back(k);
    for (int k = n - 1; k >= 1; --k)
        steps.push_back(k);
    std::mt19937 rng(seed);
    for (int i = 0; i < 60; ++i) {
        const int k = 1 + static_cast<int>(rng() % static_cast<unsigned>(n));
        steps.push_back(k);
        steps.push_back(k + 1);
        steps.push_back(k);
        steps.push_back(k - 1);
    }
    return steps;
}

} // namespace

TEST(PFReplay, EveryStepForwardBackAndAcrossIsTheBuildOfTheQuotesTaken)
{
    const struct
    {
        unsigned seed;
        double start, drift, step, box, reverse;
        const char *what;
    } cases[] = {
        // A sideways walk: many reversals, the range grows at both ends now and then.
        {1, 100, 0, 2, 1, 3, "sideways"},
        // A steady rise: a new high at nearly every quote, so the rows move every step.
        {2, 50, 0.6, 1, 0.5, 1.5, "rising"},
        // A fall through zero: closes below 0 and minima from the statistics' start value.
        {3, 20, -0.4, 1.5, 0.75, 2, "falling through zero"},
        // A reversal smaller than the box: every counter-move of more than a box reverses.
        {4, 100, 0, 3, 1, 0.5, "small reversal"},
    };
    for (const auto &c : cases) {
        TFList quotes;
        const int n = 2 * PFReplayBuild::kCheckpointEvery + 37; // past two saved points
        Walk(quotes, n, c.seed, c.start, c.drift, c.step);
        Chart replay, built;
        PFReplayBuild build(quotes, c.box, c.reverse, replay.grid, replay.columns);
        ASSERT_EQ(build.Taken(), 1);
        BuildOver(quotes, 1, c.box, c.reverse, built);
        ASSERT_EQ(Text(replay), Text(built)) << c.what << ", first quote";
        int shifts = 0;
        for (int k : Walkthrough(n, c.seed)) {
            // The first quote's box, the bottom of column 0, moves by the rows' shift.
            const int firstBox = replay.grid.LastRow(0);
            build.GoTo(k);
            const int expected = std::max(1, std::min(n, k));
            ASSERT_EQ(build.Taken(), expected);
            BuildOver(quotes, expected, c.box, c.reverse, built);
            ASSERT_EQ(Text(replay), Text(built)) << c.what << ", step " << k;
            ASSERT_EQ(replay.grid.LastRow(0) - firstBox, build.LastRowShift()) << c.what << ", step " << k;
            shifts += build.LastRowShift() != 0;
        }
        // The rows did move: the cases cover a grid that grows while it is replayed.
        EXPECT_GT(shifts, 0) << c.what;
    }
}

TEST(PFReplay, TheLimitsAndChecksOfTheBuildHold)
{
    TFList quotes;
    test::SetCloses(quotes, {10, 12, 14, 9});
    Chart chart;
    // What the build refuses, the replay refuses.
    EXPECT_THROW(PFReplayBuild(quotes, 0, 3, chart.grid, chart.columns), PFError);
    TFList unloaded;
    unloaded.AddNew().Close = 1; // no statistics run
    EXPECT_THROW(PFReplayBuild(unloaded, 1, 3, chart.grid, chart.columns), PFError);
    // A box limit passed on the way stops the replay as it stops the build.
    PFLimits tight;
    tight.maxBoxes = 5;
    PFReplayBuild limited(quotes, 1, 3, chart.grid, chart.columns, tight);
    EXPECT_NO_THROW(limited.GoTo(2));
    EXPECT_THROW(limited.GoTo(4), PFError);
    // An empty list: nothing to replay, no step does anything.
    TFList empty;
    empty.Statistics();
    PFReplayBuild none(empty, 1, 3, chart.grid, chart.columns);
    none.GoTo(5);
    EXPECT_EQ(none.Taken(), 0);
    EXPECT_EQ(chart.grid.BoxCount(), 0);
    EXPECT_TRUE(chart.grid.TopRows().empty());
}

TEST(LineBreakReplay, EveryStepIsTheBricksOfTheQuotesTaken)
{
    for (unsigned seed : {5u, 6u, 7u}) {
        TFList quotes;
        const int n = 300;
        Walk(quotes, n, seed, 100, seed == 6 ? 0.5 : 0, 2);
        LineBreakReplayBuild build(quotes);
        ASSERT_EQ(build.Taken(), 1);
        std::size_t most = 0;
        for (int k : Walkthrough(n, seed)) {
            build.GoTo(k);
            TFList prefix;
            Prefix(quotes, build.Taken(), prefix);
            const std::vector<LineBrick> expected = BuildLineBreakBricks(prefix);
            ASSERT_EQ(build.Bricks().size(), expected.size()) << seed << ", step " << k;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const LineBrick &a = build.Bricks()[i], &b = expected[i];
                ASSERT_TRUE(a.Open == b.Open && a.High == b.High && a.Low == b.Low
                            && a.Close == b.Close)
                    << seed << ", step " << k << ", brick " << i;
            }
            most = std::max(most, expected.size());
        }
        EXPECT_GT(most, 20u) << "the walk makes reversals and runs of bricks";
    }
}

TEST(Replay, TheStartCountIsTheQuotesBeforeTheDateAndTheFirstOneAtOrAfterIt)
{
    TFList quotes;
    for (double date : {100.0, 101.0, 101.0, 103.5}) {
        TFPoint &p = quotes.AddNew();
        p.DateTime = date;
    }
    // Before every quote: the first one; between: up to the next one; two on that date:
    // the first of them; after every quote: all of them.
    for (const auto &[date, count] : std::vector<std::pair<double, int>>{
             {50, 1}, {100, 1}, {100.5, 2}, {101, 2}, {103.5, 4}, {200, 4}})
        EXPECT_EQ(ReplayStartCount(quotes, date), count) << date;
    EXPECT_EQ(ReplayStartCount(TFList(), 100), 1);
}

TEST(Replay, ThePaceKeepsTheSpeedWithoutDrawingMoreThan25PicturesASecond)
{
    for (int speed : {1, 7, 10, 25, 26, 30, 99, 100, 333, 1000, 5000}) {
        const ReplayPace pace = PaceForSpeed(speed);
        EXPECT_GE(pace.intervalMs, 40) << speed;
        EXPECT_GE(pace.stepsPerTick, 1) << speed;
        // The quotes shown per second come within 2 % of the speed asked for.
        const double shown = 1000.0 * pace.stepsPerTick / pace.intervalMs;
        EXPECT_NEAR(shown, speed, speed * 0.02) << speed;
        // Slow speeds show every quote as a picture of its own.
        EXPECT_TRUE(speed > 25 || pace.stepsPerTick == 1) << speed;
    }
    EXPECT_EQ(PaceForSpeed(0).intervalMs, 1000);
    EXPECT_EQ(PaceForSpeed(-3).stepsPerTick, 1);
}

TEST(PFReplay, TheDocumentShowsThePartialChartWhileItLastsAndItsOwnChartAfter)
{
    // A quote file of 400 lines whose closes walk: the document opens it and builds.
    std::vector<double> closes;
    std::mt19937 rng(11);
    for (double price = 500; closes.size() < 400; closes.push_back(price))
        price += static_cast<int>(rng() % 21) - 10;
    PFDocument doc;
    EXPECT_THROW(PFDocumentReplay{doc}, PFError); // nothing built yet
    doc.OpenBytes("walk.txt", test::QuoteText(test::FlatQuoteLines(closes)));
    doc.eBox = "4";
    doc.eReverse = "12";
    ASSERT_TRUE(doc.Refresh());
    Chart whole;
    BuildOver(doc.QuoteList, 400, 4, 12, whole);
    {
        PFDocumentReplay replay(doc);
        EXPECT_EQ(replay.Count(), 400);
        for (int k : {1, 57, 200, 199, 3, 400, 250}) {
            replay.GoTo(k);
            Chart built;
            BuildOver(doc.QuoteList, k, 4, 12, built);
            ASSERT_EQ(Text(doc.sg, doc.FColumns), Text(built)) << k;
            // The row lists the strips read follow the grid.
            EXPECT_TRUE(doc.FColTopRow == doc.sg.TopRows() && doc.FColBottomRow == doc.sg.BottomRows()) << k;
        }
        replay.GoTo(30);
        const int bottomOfFirst = doc.sg.LastRow(0);
        EXPECT_EQ(replay.RowShiftAtEnd(), whole.grid.LastRow(0) - bottomOfFirst);
    }
    // The document's own chart is back, cell for cell.
    EXPECT_EQ(Text(doc.sg, doc.FColumns), Text(whole));
    EXPECT_TRUE(doc.FColTopRow == whole.grid.TopRows() && doc.FColBottomRow == whole.grid.BottomRows());
}

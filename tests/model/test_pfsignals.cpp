// Signals, pattern names, 45-degree lines and counts on small charts drawn on paper.
// Every chart uses box 1 and reversal 3 unless a case says otherwise. Swing() turns the
// far ends of the columns into closes, so a chart reads as a list of prices: the first
// close, the top of column 0, the bottom of column 1, the top of column 2, ...
#include "celltext.h"
#include "document.h"
#include "pfbuild.h"
#include "pfsignals.h"
#include "quotes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace korvala;

namespace {

using Prices = std::vector<double>;
using Lines = std::vector<std::string>;

// A close half a box beyond each far end: the column stops exactly on that price.
Prices Swing(const Prices &ends)
{
    Prices closes{ends[0]};
    for (std::size_t k = 1; k < ends.size(); ++k)
        closes.push_back(k % 2 == 1 ? ends[k] + 0.5 : ends[k] - 0.5);
    return closes;
}

Prices Mirror(const Prices &closes)
{
    Prices out;
    for (double c : closes)
        out.push_back(300 - c);
    return out;
}

// The build over the closes (quote i has the date text "d<i>") and its signals.
struct Chart
{
    TFList quotes;
    PFGrid grid;
    TFList columns;
    std::vector<int> top, bottom;
    PFSignals s;

    explicit Chart(const Prices &closes, double box = 1, double reverse = 3)
    {
        test::SetCloses(quotes, closes);
        BuildPFChart(quotes, box, reverse, grid, columns);
        top = grid.TopRows();
        bottom = grid.BottomRows();
        s = FindPFSignals(grid, top, bottom, box, reverse, quotes);
    }

    // The far ends of the columns as prices (an O cell stands for the row above it).
    Prices Ends() const
    {
        Prices ends;
        for (int k = 0; k < grid.ColCount; ++k)
            ends.push_back(k % 2 == 0 ? s.Scale.XPrice(top[k]) : s.Scale.XPrice(bottom[k] - 1));
        return ends;
    }
    // "col kind pattern price date" per signal.
    Lines Signals() const
    {
        Lines out;
        for (const PFSignal &g : s.Signals)
            out.push_back(std::to_string(g.Column) + " " + SignalKindName(g.Kind) + " "
                          + PatternName(g.Pattern) + " " + std::to_string(static_cast<int>(g.Price))
                          + " " + g.DateText);
        return out;
    }
    // "kind from..to [broken]: price at the start .. price at the end" per line.
    Lines TrendLines() const
    {
        Lines out;
        for (const PFTrendLine &l : s.Lines)
            out.push_back(std::string(TrendKindName(l.Kind)) + " " + std::to_string(l.FromColumn) + ".."
                          + std::to_string(l.ToColumn) + (l.Broken ? " broken: " : ": ")
                          + std::to_string(static_cast<int>(s.LinePrice(l, l.FromColumn))) + ".."
                          + std::to_string(static_cast<int>(s.LinePrice(l, l.ToColumn))));
        return out;
    }
    // "method kind col: from-to count base -> price" per objective.
    Lines Objectives() const
    {
        Lines out;
        for (const PFObjective &o : s.Objectives)
            out.push_back(std::string(CountMethodName(o.Method)) + " " + SignalKindName(o.Kind) + " "
                          + std::to_string(o.Column) + ": " + std::to_string(o.FromColumn) + "-"
                          + std::to_string(o.ToColumn) + " " + std::to_string(o.Count) + " "
                          + std::to_string(static_cast<int>(o.Base)) + " -> "
                          + std::to_string(static_cast<int>(o.Price)));
        return out;
    }
};

// The name a pattern has on the other side: top and bottom, bull and bear, ascending and
// descending trade places.
std::string Opposite(const std::string &name)
{
    const std::pair<std::string, std::string> words[] = {
        {"top", "bottom"}, {"Bullish", "Bearish"}, {"Bull", "Bear"}, {"Ascending", "Descending"}};
    std::string out;
    std::istringstream in(name);
    for (std::string w; in >> w; out += (out.empty() ? "" : " ") + w)
        for (const auto &[a, b] : words)
            w = w == a ? b : w == b ? a : w;
    return out;
}

// Columns: X 100-105, O -101, X -107 (buy above 105), O -103, X -106, O -100 (sell below 103).
const Prices kDoubleTopThenBottom = Swing({100, 105, 101, 107, 103, 106, 100});

} // namespace

TEST(PFSignals, DoubleTopAndDoubleBottomWithTheirBoxesDatesAndTheCurrentSignal)
{
    const Chart c(kDoubleTopThenBottom);
    ASSERT_EQ(c.Ends(), (Prices{105, 101, 107, 103, 106, 100}));
    // The buy's box is the first above 105, filled by the close of column 2 (quote 3); the
    // sell's the first below 103, filled by quote 6. Column 4 (106 < 107) gives nothing.
    EXPECT_EQ(c.Signals(), (Lines{"2 buy Double top 106 d3", "5 sell Double bottom 102 d6"}));
    ASSERT_NE(c.s.Current(), nullptr);
    EXPECT_EQ(c.s.Current()->Column, 5);

    // The boxes themselves: the buy's lies one row above column 0's top cell, the sell's
    // one row below column 3's bottom cell.
    EXPECT_EQ(c.s.SignalAt(2, c.top[0] - 1), &c.s.Signals[0]);
    EXPECT_EQ(c.s.SignalAt(5, c.bottom[3] + 1), &c.s.Signals[1]);
    EXPECT_TRUE(c.s.SignalAt(2, c.top[0]) == nullptr && c.s.SignalAt(3, c.top[0] - 1) == nullptr);
}

TEST(PFSignals, EqualTopsAndBottomsAreNoBreakout)
{
    // Tops 105, 105 and bottoms 101, 101: nothing passes the column two back.
    const Chart c(Swing({100, 105, 101, 105, 101, 105}));
    EXPECT_TRUE(c.s.Signals.empty());
    EXPECT_EQ(c.s.Current(), nullptr);
    EXPECT_TRUE(c.s.Lines.empty());
}

TEST(PFSignals, TripleAndQuadrupleTopsWithTheirCounts)
{
    // Tops 105, 105 then 107: a triple top. Base low 100 (the first close) over the five
    // columns 0-4: 100 + 5 × 3 = 115. Vertical: column 2 rose from the low 101 with five
    // boxes (101-105): 101 + 5 × 3 = 116.
    const Chart triple(Swing({100, 105, 101, 105, 102, 107, 104}));
    ASSERT_EQ(triple.Ends(), (Prices{105, 101, 105, 102, 107, 104}));
    EXPECT_EQ(triple.Signals(), (Lines{"4 buy Triple top 106 d5"}));
    EXPECT_EQ(triple.Objectives(),
              (Lines{"vertical buy 4: 2-2 5 101 -> 116", "horizontal buy 4: 0-4 5 100 -> 115"}));

    // Three tops at 105 then 108: a quadruple top, seven columns: 100 + 21. Of the equal
    // lows 101 the later one (column 3) starts the vertical count.
    const Chart quad(Swing({100, 105, 101, 105, 101, 105, 102, 108}));
    EXPECT_EQ(quad.Signals(), (Lines{"6 buy Quadruple top 106 d7"}));
    EXPECT_EQ(quad.Objectives(),
              (Lines{"vertical buy 6: 4-4 5 101 -> 116", "horizontal buy 6: 0-6 7 100 -> 121"}));
}

TEST(PFSignals, AscendingTopsDescendingBottomsAndTheSignalReversed)
{
    // Tops 105, 107, 109: two breakouts in a row.
    const Chart up(Swing({100, 105, 101, 107, 103, 109}));
    EXPECT_EQ(up.Signals(), (Lines{"2 buy Double top 106 d3", "4 buy Ascending triple top 108 d5"}));

    // Tops 120, 118, 116 and bottoms 115, 113, 111: six columns lower and lower, then 117
    // breaks above 116.
    const Chart down(Swing({110, 120, 115, 118, 113, 116, 111, 117}));
    EXPECT_EQ(down.Signals(), (Lines{"3 sell Double bottom 114 d4", "5 sell Descending triple bottom 112 d6",
                                     "6 buy Bearish signal reversed 117 d7"}));

    // With the second top equal to the first only five columns fall: a double top, and a
    // trap once the next column reverses straight after the one-box breakout.
    const Prices five{110, 120, 115, 120, 113, 116, 111, 117};
    EXPECT_EQ(Chart(Swing(five)).Signals().back(), "6 buy Double top 117 d7");
    Prices trapped = five;
    trapped.push_back(114);
    EXPECT_EQ(Chart(Swing(trapped)).Signals().back(), "6 buy Bull trap 117 d7");
}

TEST(PFSignals, SpreadTripleTopAndCatapult)
{
    // Tops 105 (column 0), 103, 105, 104 and bottoms 100, 100, 101, 101: two tops at 105 with
    // a lower top between them; 106 in column 8 breaks out of the nine-column base.
    const Chart spread(Swing({102, 105, 100, 103, 100, 105, 101, 104, 101, 106}));
    ASSERT_EQ(spread.Ends(), (Prices{105, 100, 103, 100, 105, 101, 104, 101, 106}));
    EXPECT_EQ(spread.Signals(), (Lines{"4 buy Double top 104 d5", "8 buy Spread triple top 105 d9"}));
    // Vertical at the first buy only (column 4: six boxes off the later low 100); the
    // horizontal count across columns 0-8 from the base low 100.
    EXPECT_EQ(spread.Objectives(),
              (Lines{"vertical buy 4: 4-4 6 100 -> 118", "horizontal buy 8: 0-8 9 100 -> 127"}));

    // A triple top at column 4 (107), a pullback (106, bottoms 103 and 103: no sell), then
    // 108 passes both 106 and 107.
    const Prices catapult{101, 105, 101, 105, 102, 107, 103, 106, 103, 108};
    EXPECT_EQ(Chart(Swing(catapult)).Signals(),
              (Lines{"4 buy Triple top 106 d5", "8 buy Bullish catapult 107 d9"}));
    // A sell in the pullback (102, a box below 103, at once reversed: a trap) leaves a
    // plain double top.
    Prices sold = catapult;
    sold[8] = 102;
    EXPECT_EQ(Chart(Swing(sold)).Signals(),
              (Lines{"4 buy Triple top 106 d5", "7 sell Bear trap 102 d8", "8 buy Double top 107 d9"}));
}

TEST(PFSignals, SellPatternsMirrorTheBuyPatterns)
{
    // Turned upside down a chart gains a first X column of one box; every column moves one
    // place right, every buy becomes a sell at the mirrored price and the other way round.
    // (The charts start at or below column 1's bottom, so that the new first column makes
    // no signal of its own.)
    const std::vector<Prices> charts = {
        Swing({100, 105, 101, 105, 102, 107, 104}),
        Swing({100, 105, 101, 105, 101, 105, 102, 108}),
        Swing({110, 120, 115, 118, 113, 116, 111, 117}),
        Swing({110, 120, 115, 120, 113, 116, 111, 117, 114}),
        Swing({100, 105, 100, 103, 100, 105, 101, 104, 101, 106}),
        Swing({101, 105, 101, 105, 102, 107, 103, 106, 103, 108}),
    };
    for (const Prices &closes : charts) {
        const Chart c(closes), m(Mirror(closes));
        ASSERT_EQ(c.s.Signals.size(), m.s.Signals.size());
        for (std::size_t i = 0; i < c.s.Signals.size(); ++i) {
            const PFSignal &a = c.s.Signals[i], &b = m.s.Signals[i];
            EXPECT_EQ(b.Column, a.Column + 1);
            EXPECT_NE(b.Kind, a.Kind);
            EXPECT_EQ(PatternName(b.Pattern), Opposite(PatternName(a.Pattern)));
            EXPECT_EQ(b.Price, 300 - a.Price);
        }
    }
}

TEST(PFSignals, TheBreakoutDateIsTheQuoteThatFirstFilledTheBox)
{
    // Column 2 rises from 100 in steps: quote 3 fills 100-104, quote 4 falls back a box and a
    // half (the top cell loses its quote), quote 5 fills 105-106 (taking over 104), quote 6
    // fills 107 (taking over 106). The box above column 0's top was first filled by:
    for (const auto &[top0, signal] : {std::pair{103, "2 buy Double top 104 d3"}, {104, "2 buy Double top 105 d5"},
                                        {105, "2 buy Double top 106 d5"}, {106, "2 buy Double top 107 d6"}})
        EXPECT_EQ(Chart({100, top0 + 0.5, 99.5, 104.5, 102.5, 106.6, 107.5}).Signals(), Lines{signal}) << top0;
    // The same down an O column: quote 4 fills 109-106, quote 5 rises back, quote 6 fills
    // 105-104, quote 7 fills 103. The box below column 1's bottom (105) is 104.
    const Chart down({100, 110.5, 104.5, 109.5, 105.5, 107.5, 103.4, 102.5});
    EXPECT_EQ(down.Signals(), (Lines{"3 sell Double bottom 104 d6"}));
}

TEST(PFTrendLines, SupportAndResistanceHoldWhenTouchedAndBreakOneBoxThrough)
{
    // The first buy (column 2) draws the support from one box below the low 101 of column 1:
    // 100 at column 1, rising a box per column. Column 5's low 104 touches it; column 7's
    // 104 lies two boxes below its 106 and breaks it. The resistance then starts above the
    // high 108 of column 4 (109, falling): column 6's 107 touches it, column 8's 107 lies
    // two boxes above its 105. The new support starts below the later low 104 (column 7).
    const Chart c(Swing({100, 105, 101, 107, 103, 108, 104, 107, 104, 107}));
    ASSERT_EQ(c.Ends(), (Prices{105, 101, 107, 103, 108, 104, 107, 104, 107}));
    EXPECT_EQ(c.TrendLines(), (Lines{"bullish support 1..7 broken: 100..106",
                                     "bearish resistance 4..8 broken: 109..105",
                                     "bullish support 7..8: 103..104"}));
    ASSERT_NE(c.s.ActiveLine(), nullptr);
    EXPECT_EQ(c.s.LinePrice(*c.s.ActiveLine(), 8), 104);
    // The line runs through the cells: one row per column.
    const PFTrendLine &first = c.s.Lines[0];
    EXPECT_EQ(first.FromRow, c.bottom[1] + 1);
    EXPECT_EQ(first.RowAt(7), first.FromRow - 6);
}

TEST(PFTrendLines, ANewLineAlreadyBrokenBeforeTheBreakIsDrawnAgainFromItsOwnBreak)
{
    // The support from the low 101 (100 at column 1) breaks at column 9 (105 against 108).
    // The resistance from the high 110 of column 4 (111 at column 4) is touched by 109 in
    // column 6 but broken by 109 in column 8 (line 107); the support from the later low 106
    // (column 7, line 105) is broken by column 9 in turn, and the resistance from column 8's
    // 109 holds at the end.
    const Chart c(Swing({100, 105, 101, 107, 103, 110, 106, 109, 106, 109, 105}));
    ASSERT_EQ(c.Ends(), (Prices{105, 101, 107, 103, 110, 106, 109, 106, 109, 105}));
    EXPECT_EQ(c.TrendLines(), (Lines{"bullish support 1..9 broken: 100..108",
                                     "bearish resistance 4..8 broken: 111..107",
                                     "bullish support 7..9 broken: 105..107",
                                     "bearish resistance 8..9: 110..109"}));
}

TEST(PFCounts, ObjectivesAtOrBelowZeroTooFewColumnsAndTheReversalInBoxes)
{
    // The first sell (column 3) counts column 1, eight boxes down from the high 12:
    // 12 − 8 × 3 < 0, not reported. The same chart 30 higher: 42 − 24 = 18.
    EXPECT_EQ(Chart(Swing({10, 12, 5, 9, 3})).Objectives(), Lines{});
    EXPECT_EQ(Chart(Swing({40, 42, 35, 39, 33})).Objectives(), (Lines{"vertical sell 3: 1-1 8 42 -> 18"}));

    // One or two columns: nothing. A buy in the last column: its length is not fixed yet.
    for (const Prices &ends : {Prices{100}, Prices{100, 105}, Prices{100, 105, 101}}) {
        const Chart c(Swing(ends));
        EXPECT_TRUE(c.s.Signals.empty() && c.s.Lines.empty() && c.s.Objectives.empty());
    }
    const Chart last(Swing({100, 105, 101, 107}));
    EXPECT_EQ(last.Signals(), (Lines{"2 buy Double top 106 d3"}));
    EXPECT_TRUE(last.s.Objectives.empty());
    EXPECT_EQ(last.TrendLines(), (Lines{"bullish support 1..2: 100..101"}));

    // r = max(1, Round(reversal / box)), halves to the even neighbour.
    EXPECT_EQ(std::vector<int>({ReversalBoxes(1, 2.5), ReversalBoxes(1, 3.5), ReversalBoxes(2, 7),
                                ReversalBoxes(1, 0.4), ReversalBoxes(0.5, 1.5)}),
              std::vector<int>({2, 4, 4, 1, 3}));
    // The triple top again with a reversal of 2,5: the same columns, counted with r = 2.
    const Chart two(Swing({100, 105, 101, 105, 102, 107, 104}), 1, 2.5);
    EXPECT_EQ(two.Objectives(),
              (Lines{"vertical buy 4: 2-2 5 101 -> 111", "horizontal buy 4: 0-4 5 100 -> 110"}));
}

TEST(PFSignals, TheDocumentsBuildAndItsTexts)
{
    PFDocument doc;
    EXPECT_EQ(FindPFSignals(doc).ColumnCount, 0); // nothing built
    const Chart c(kDoubleTopThenBottom);
    EXPECT_EQ(SignalsReport(c.s), (Lines{
        "=== P&F signals ===",
        "Box 1,000, reversal 3,000 (3 boxes), columns: 6",
        "d3             Buy  Double top               106,000",
        "d6             Sell Double bottom            102,000",
        "Current signal: Sell, Double bottom, 102,000, d6",
        // The support from column 1 broke at column 5 (100 below its 104); the resistance
        // from above column 2's 107 is touched by column 4's 106.
        "Trend line: Bearish resistance from column 2 at 108,000, 105,000 at column 5",
        "Objectives:",
        "Vertical count, buy at column 2: 122,000 (column 2, 7 boxes from 101,000)",
        "Vertical count, sell at column 5: 92,000 (column 3, 5 boxes from 107,000)",
    }));
    EXPECT_EQ(SignalLines(c.s.Signals[0]), (Lines{"Buy: Double top", "Price: 106,000", "Date: d3"}));
    // In the cursor window after a cell's text (no break at its end) or a column's (each
    // line ended by a break).
    EXPECT_EQ(WithSignalText("Close: 1", c.s.Signals[1]),
              "Close: 1\r\nSell: Double bottom\r\nPrice: 102,000\r\nDate: d6");
    EXPECT_EQ(WithSignalText("C: 1\r\n", c.s.Signals[1]),
              "C: 1\r\nSell: Double bottom\r\nPrice: 102,000\r\nDate: d6\r\n");
    EXPECT_EQ(TrendLineText(c.s), "bearish resistance 105,000");
    EXPECT_EQ(ObjectiveText(c.s.Objectives.back()), "vertical count 92,000");
    EXPECT_EQ(SignalsReport(Chart(Swing({100, 105})).s),
              (Lines{"=== P&F signals ===", "Box 1,000, reversal 3,000 (3 boxes), columns: 1",
                     "Current signal: none", "Trend line: none", "Objectives: none"}));
}

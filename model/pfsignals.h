#pragma once

// What a Point & Figure chartist reads from a finished chart: the buy and sell signals
// with their pattern names, the 45-degree trend lines, and the vertical and horizontal
// count objectives. Everything is computed from the result of a build (the grid, its
// top and bottom rows, the box and the reversal it was made with, and the quotes it was
// made from); nothing here changes that result.
//
// Rows are the grid's rows (0 at the top). An X cell on row r stands for the price
// q0.Close + (row of q0 − r) × box; an O cell stands for the price of the row above it,
// so tops are compared with tops of X columns and bottoms with bottoms of O columns.

#include <string>
#include <vector>

namespace korvala {

class PFDocument;
class PFGrid;
class TFList;

enum class PFSignalKind { Buy, Sell };

// Pattern names, most specific first (the buy name, then the sell name of each pair).
enum class PFPattern {
    QuadrupleTop,
    QuadrupleBottom,
    TripleTop,
    TripleBottom,
    AscendingTripleTop,
    DescendingTripleBottom,
    SpreadTripleTop,
    SpreadTripleBottom,
    BullishCatapult,
    BearishCatapult,
    BearishSignalReversed, // a buy that ends a run of lower tops and bottoms
    BullishSignalReversed, // a sell that ends a run of higher tops and bottoms
    BullTrap,
    BearTrap,
    DoubleTop,
    DoubleBottom,
};

// "buy" / "sell"; "Buy" / "Sell"; "Double top", "Bull trap", ...
const char *SignalKindName(PFSignalKind kind);
const char *SignalKindTitle(PFSignalKind kind);
const char *PatternName(PFPattern pattern);

struct PFSignal
{
    int Column = 0;
    PFSignalKind Kind = PFSignalKind::Buy;
    PFPattern Pattern = PFPattern::DoubleTop;
    int Row = 0;         // the breakout box: the first box past the column two back
    double Price = 0;    // the price that box stands for
    int Quote = -1;      // the quote that first filled the box, -1 when unknown
    std::string DateText; // that quote's date text, empty when unknown
};

enum class PFTrendKind { Support, Resistance };
// "bullish support" / "bearish resistance"
const char *TrendKindName(PFTrendKind kind);

// A 45-degree line through the cells: from its first cell (one box beyond the extreme it
// starts from) one row per column, up for a support line, down for a resistance line.
struct PFTrendLine
{
    PFTrendKind Kind = PFTrendKind::Support;
    int FromColumn = 0; // the column of the extreme
    int FromRow = 0;    // the line's row at that column
    int ToColumn = 0;   // the column that broke it, or the last column while it holds
    bool Broken = false;

    long long RowAt(int column) const;
};

enum class PFCountMethod { Vertical, Horizontal };
// "vertical" / "horizontal"
const char *CountMethodName(PFCountMethod method);

struct PFObjective
{
    PFCountMethod Method = PFCountMethod::Vertical;
    PFSignalKind Kind = PFSignalKind::Buy;
    int Column = 0;      // the signal's column
    int FromColumn = 0;  // vertical: the column counted; horizontal: the first wall
    int ToColumn = 0;    // vertical: the column counted; horizontal: the breakout column
    int Count = 0;       // vertical: the boxes of the column; horizontal: the columns W
    double Base = 0;     // the price counted from: the column's (the base's) low or top
    double Price = 0;    // the objective
};

// Prices of the grid's rows for one build.
struct PFPriceScale
{
    double q0Close = 0;
    int q0Row = 0;
    double box = 0;

    // The price an X cell on this row stands for; an O cell stands for XPrice(row − 1).
    double XPrice(long long row) const;
    // The (fractional) row whose X cells stand for this price.
    double RowOfPrice(double price) const;
};

struct PFSignals
{
    // The reversal as built (price units) and in boxes: max(1, Round(reverse / box)),
    // halves to even.
    double Reverse = 0;
    int ReversalBoxes = 1;
    PFPriceScale Scale;
    int ColumnCount = 0;
    // By column; at most one signal per column.
    std::vector<PFSignal> Signals;
    // In the order they were drawn: every line but the last is broken; the last one is
    // the active line unless it is broken too (then there is none).
    std::vector<PFTrendLine> Lines;
    // By signal column, the vertical count before the horizontal one; only objectives
    // above 0.
    std::vector<PFObjective> Objectives;

    const PFSignal *Current() const;
    const PFTrendLine *ActiveLine() const;
    // The price of a line at a column: a support line holds O columns back, so its cell
    // stands for an O price; a resistance line holds X columns, an X price.
    double LinePrice(const PFTrendLine &line, int column) const;
    // The signal whose breakout box is cell (column, row), or nullptr.
    const PFSignal *SignalAt(int column, int row) const;
};

int ReversalBoxes(double box, double reverse);

// The signals of a build. topRow and bottomRow are the build's FColTopRow and
// FColBottomRow; box and reverse the values it was built with. An empty result when the
// build holds no column or does not match its quotes.
PFSignals FindPFSignals(const PFGrid &grid, const std::vector<int> &topRow,
                        const std::vector<int> &bottomRow, double box, double reverse,
                        const TFList &quotes);
// The same for the document's last Refresh; empty when it did not build. Its FBox and
// FReverse must still be those the build used (an edit's check can change them later:
// a window keeps its own copy, see PFSignalOverlay).
PFSignals FindPFSignals(const PFDocument &doc);

// --- Texts (numbers "%.3n"). ---

// The report: the parameters, one line per signal (date, kind, pattern, price), the
// current signal, the active trend line and the objectives.
std::vector<std::string> SignalsReport(const PFSignals &s);
// "Buy: Double top", "Price: 12,000", "Date: 01.12.05 10:00" for the cursor window.
std::vector<std::string> SignalLines(const PFSignal &signal);
// "Bullish support 12,000" (at the last column), or "no trend line".
std::string TrendLineText(const PFSignals &s);
// "Vertical count 15,000" and the like.
std::string ObjectiveText(const PFObjective &objective);

} // namespace korvala

#include "pfsignals.h"

#include "codec.h"
#include "document.h"
#include "numtext.h"
#include "pfbuild.h"
#include "quotes.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace korvala {

const char *SignalKindName(PFSignalKind kind) { return kind == PFSignalKind::Buy ? "buy" : "sell"; }

const char *SignalKindTitle(PFSignalKind kind) { return kind == PFSignalKind::Buy ? "Buy" : "Sell"; }

const char *PatternName(PFPattern pattern)
{
    switch (pattern) {
    case PFPattern::QuadrupleTop: return "Quadruple top";
    case PFPattern::QuadrupleBottom: return "Quadruple bottom";
    case PFPattern::TripleTop: return "Triple top";
    case PFPattern::TripleBottom: return "Triple bottom";
    case PFPattern::AscendingTripleTop: return "Ascending triple top";
    case PFPattern::DescendingTripleBottom: return "Descending triple bottom";
    case PFPattern::SpreadTripleTop: return "Spread triple top";
    case PFPattern::SpreadTripleBottom: return "Spread triple bottom";
    case PFPattern::BullishCatapult: return "Bullish catapult";
    case PFPattern::BearishCatapult: return "Bearish catapult";
    case PFPattern::BearishSignalReversed: return "Bearish signal reversed";
    case PFPattern::BullishSignalReversed: return "Bullish signal reversed";
    case PFPattern::BullTrap: return "Bull trap";
    case PFPattern::BearTrap: return "Bear trap";
    case PFPattern::DoubleTop: return "Double top";
    case PFPattern::DoubleBottom: return "Double bottom";
    }
    return "";
}

const char *TrendKindName(PFTrendKind kind)
{
    return kind == PFTrendKind::Support ? "bullish support" : "bearish resistance";
}

const char *CountMethodName(PFCountMethod method)
{
    return method == PFCountMethod::Vertical ? "vertical" : "horizontal";
}

long long PFTrendLine::RowAt(int column) const
{
    const long long steps = static_cast<long long>(column) - FromColumn;
    return Kind == PFTrendKind::Support ? FromRow - steps : FromRow + steps;
}

double PFPriceScale::XPrice(long long row) const
{
    return q0Close + static_cast<double>(q0Row - row) * box;
}

double PFPriceScale::RowOfPrice(double price) const { return q0Row - (price - q0Close) / box; }

const PFSignal *PFSignals::Current() const { return Signals.empty() ? nullptr : &Signals.back(); }

const PFTrendLine *PFSignals::ActiveLine() const
{
    return Lines.empty() || Lines.back().Broken ? nullptr : &Lines.back();
}

double PFSignals::LinePrice(const PFTrendLine &line, int column) const
{
    const long long row = line.RowAt(column);
    return Scale.XPrice(line.Kind == PFTrendKind::Support ? row - 1 : row);
}

const PFSignal *PFSignals::SignalAt(int column, int row) const
{
    const auto it = std::lower_bound(Signals.begin(), Signals.end(), column,
                                     [](const PFSignal &s, int c) { return s.Column < c; });
    return it != Signals.end() && it->Column == column && it->Row == row ? &*it : nullptr;
}

int ReversalBoxes(double box, double reverse)
{
    const double r = std::nearbyint(reverse / box);
    return r >= 1 && r < INT_MAX ? static_cast<int>(r) : 1;
}

namespace {

bool IsX(int k) { return k % 2 == 0; }

// The quote that first filled a box. A fill writes from the column's extreme (which it
// takes over) to its new extreme, and a small counter-move only clears the extreme's
// quote, so along a column in the order it grew every cell keeps its first filler except
// the cell where a later fill started: that one took the quote of the next fill, while
// the cell before it still holds the first filler. The first column's first cell was
// filled by the first quote.
int FirstFiller(const PFGrid &grid, int col, int row)
{
    const bool x = grid.ColumnMark(col) == PFGrid::kMarkX;
    const int start = x ? grid.LastRow(col) : grid.FirstRow(col);
    if (row == start)
        return col == 0 ? 0 : grid.CellQuote(col, row);
    const int quote = grid.CellQuote(col, row);
    const int before = grid.CellQuote(col, x ? row + 1 : row - 1);
    return quote == before ? quote : before;
}

// The columns as price levels in whole boxes from the first quote (level 0): the level
// of a box is what its price stands for, so an O cell counts one row higher.
class Levels final
{
public:
    Levels(const std::vector<int> &top, const std::vector<int> &bottom, int q0Row)
        : m_top(top), m_bottom(bottom), m_q0Row(q0Row)
    {
    }
    long long High(int k) const { return Level(k, m_top[static_cast<std::size_t>(k)]); }
    long long Low(int k) const { return Level(k, m_bottom[static_cast<std::size_t>(k)]); }
    // The column's far end: the top of an X column, the bottom of an O column.
    long long End(int k) const { return IsX(k) ? High(k) : Low(k); }
    // How far the column reached in its own direction: higher is further for X columns,
    // lower for O columns.
    long long Reach(int k) const { return IsX(k) ? High(k) : -Low(k); }
    int Boxes(int k) const
    {
        return m_bottom[static_cast<std::size_t>(k)] - m_top[static_cast<std::size_t>(k)] + 1;
    }

private:
    long long Level(int k, int row) const
    {
        return static_cast<long long>(m_q0Row) - row + (IsX(k) ? 0 : 1);
    }
    const std::vector<int> &m_top;
    const std::vector<int> &m_bottom;
    int m_q0Row;
};

// Earlier columns of one kind that the newest one has passed, kept as a stack: popping
// the columns that a new column reaches beyond leaves, at the end, the furthest of them
// (all of equal reach). Those are the tops (bottoms) of the base the new column broke out
// of; every column of the kind between them lies lower (higher).
struct BaseTops
{
    int first = -1;    // the earliest of the furthest columns
    int count = 0;     // how many of them
    bool spread = false; // two of them with a column of the kind between them
};

class Base final
{
public:
    BaseTops Pass(const Levels &levels, int k)
    {
        BaseTops tops;
        const long long reach = levels.Reach(k);
        long long best = LLONG_MIN;
        int later = -1;
        while (!m_stack.empty() && levels.Reach(m_stack.back()) < reach) {
            const int c = m_stack.back();
            m_stack.pop_back();
            const long long r = levels.Reach(c);
            if (r > best) {
                best = r;
                tops = {c, 1, false};
            } else {
                ++tops.count;
                tops.spread = tops.spread || later - c >= 4;
                tops.first = c;
            }
            later = c;
        }
        m_stack.push_back(k);
        return tops;
    }

private:
    std::vector<int> m_stack;
};

bool TripleFamily(PFPattern p)
{
    switch (p) {
    case PFPattern::TripleTop:
    case PFPattern::TripleBottom:
    case PFPattern::QuadrupleTop:
    case PFPattern::QuadrupleBottom:
    case PFPattern::SpreadTripleTop:
    case PFPattern::SpreadTripleBottom: return true;
    default: return false;
    }
}

PFPattern Named(PFSignalKind kind, PFPattern buy, PFPattern sell)
{
    return kind == PFSignalKind::Buy ? buy : sell;
}

class Finder final
{
public:
    Finder(const PFGrid &grid, const std::vector<int> &top, const std::vector<int> &bottom,
           const TFList &quotes, PFSignals &out)
        : m_grid(grid)
        , m_top(top)
        , m_bottom(bottom)
        , m_quotes(quotes)
        , m_out(out)
        , m_n(out.ColumnCount)
        , m_levels(top, bottom, out.Scale.q0Row)
    {
    }

    void Run()
    {
        for (int k = 0; k < m_n; ++k)
            Column(k);
        DrawLines();
        FillDates();
    }

private:
    void Column(int k)
    {
        const bool x = IsX(k);
        const BaseTops base = (x ? m_xBase : m_oBase).Pass(m_levels, k);
        const bool higher = k >= 2 && m_levels.End(k) > m_levels.End(k - 2);
        const bool lower = k >= 2 && m_levels.End(k) < m_levels.End(k - 2);
        if (x ? higher : lower)
            Signal(k, x ? PFSignalKind::Buy : PFSignalKind::Sell, base);
        m_higherRun = higher ? m_higherRun + 1 : 0;
        m_lowerRun = lower ? m_lowerRun + 1 : 0;
        // The extremes since the last signal of the other kind (the low a buy rose from,
        // the high a sell fell from): the latest of equal ones.
        const bool signalled = !m_out.Signals.empty() && m_out.Signals.back().Column == k;
        int &extreme = x ? m_highX : m_lowO;
        if (signalled || extreme < 0 || m_levels.Reach(k) >= m_levels.Reach(extreme))
            extreme = k;
    }

    PFPattern Classify(int k, PFSignalKind kind, const BaseTops &base) const
    {
        const auto reach = [this](int c) { return m_levels.Reach(c); };
        if (k >= 6 && reach(k - 2) == reach(k - 4) && reach(k - 4) == reach(k - 6))
            return Named(kind, PFPattern::QuadrupleTop, PFPattern::QuadrupleBottom);
        if (k >= 4 && reach(k - 2) == reach(k - 4))
            return Named(kind, PFPattern::TripleTop, PFPattern::TripleBottom);
        if (k >= 4 && reach(k - 2) > reach(k - 4))
            return Named(kind, PFPattern::AscendingTripleTop, PFPattern::DescendingTripleBottom);
        if (base.count >= 2 && base.spread && k - base.first + 1 >= 7)
            return Named(kind, PFPattern::SpreadTripleTop, PFPattern::SpreadTripleBottom);
        if (!m_out.Signals.empty()) {
            const PFSignal &last = m_out.Signals.back();
            if (last.Kind == kind && TripleFamily(last.Pattern) && last.Column <= k - 4
                && reach(k) > reach(last.Column))
                return Named(kind, PFPattern::BullishCatapult, PFPattern::BearishCatapult);
        }
        // The six columns before the breakout each made a lower (higher) end than the
        // column two before it, the first two of them being the anchors.
        if ((kind == PFSignalKind::Buy ? m_lowerRun : m_higherRun) >= 4)
            return Named(kind, PFPattern::BearishSignalReversed, PFPattern::BullishSignalReversed);
        if (reach(k) == reach(k - 2) + 1 && k + 1 < m_n)
            return Named(kind, PFPattern::BullTrap, PFPattern::BearTrap);
        return Named(kind, PFPattern::DoubleTop, PFPattern::DoubleBottom);
    }

    void Signal(int k, PFSignalKind kind, const BaseTops &base)
    {
        const bool buy = kind == PFSignalKind::Buy;
        const PFPattern pattern = Classify(k, kind, base);
        const bool newSwing = m_out.Signals.empty() || m_out.Signals.back().Kind != kind;

        PFSignal s;
        s.Column = k;
        s.Kind = kind;
        s.Pattern = pattern;
        const std::size_t back = static_cast<std::size_t>(k - 2);
        s.Row = buy ? m_top[back] - 1 : m_bottom[back] + 1;
        s.Price = m_out.Scale.XPrice(buy ? s.Row : s.Row - 1);
        s.Quote = FirstFiller(m_grid, k, s.Row);
        m_out.Signals.push_back(std::move(s));

        if (newSwing)
            VerticalCount(k, kind);
        if (pattern == PFPattern::TripleTop || pattern == PFPattern::TripleBottom)
            HorizontalCount(k, kind, k - 4);
        else if (pattern == PFPattern::QuadrupleTop || pattern == PFPattern::QuadrupleBottom)
            HorizontalCount(k, kind, k - 6);
        else if (pattern == PFPattern::SpreadTripleTop || pattern == PFPattern::SpreadTripleBottom)
            HorizontalCount(k, kind, base.first);
    }

    // The signals' quotes lie anywhere in the list: their date texts are fetched a few
    // signals ahead, so that the reads overlap instead of waiting on memory one by one.
    void FillDates()
    {
        constexpr std::size_t kAhead = 8;
        std::vector<PFSignal> &signals = m_out.Signals;
        for (std::size_t i = 0; i < signals.size(); ++i) {
            if (i + kAhead < signals.size())
                if (const TFPoint *ahead = m_quotes.Items(signals[i + kAhead].Quote)) {
                    __builtin_prefetch(&ahead->DateText);
                    __builtin_prefetch(reinterpret_cast<const char *>(&ahead->DateText) + 31);
                }
            PFSignal &s = signals[i];
            if (const TFPoint *q = m_quotes.Items(s.Quote))
                s.DateText = q->DateText;
            else
                s.Quote = -1;
        }
    }

    double LevelPrice(long long level) const
    {
        return m_out.Scale.q0Close + static_cast<double>(level) * m_out.Scale.box;
    }

    double Step(int count) const
    {
        return count * m_out.Scale.box * m_out.ReversalBoxes;
    }

    // The objective of the signal in column k, counted from the price level base; none at
    // or below 0.
    void AddObjective(PFCountMethod method, PFSignalKind kind, int k, int from, int to, int count,
                      long long base)
    {
        PFObjective o;
        o.Method = method;
        o.Kind = kind;
        o.Column = k;
        o.FromColumn = from;
        o.ToColumn = to;
        o.Count = count;
        o.Base = LevelPrice(base);
        o.Price = kind == PFSignalKind::Buy ? o.Base + Step(count) : o.Base - Step(count);
        if (o.Price > 0)
            m_out.Objectives.push_back(o);
    }

    // The first column off the extreme that the swing started from, once the column
    // after it has fixed its length.
    void VerticalCount(int k, PFSignalKind kind)
    {
        const bool buy = kind == PFSignalKind::Buy;
        const int from = buy ? m_lowO : m_highX;
        const int c = from + 1;
        if (from < 0 || c > k || c + 1 >= m_n)
            return;
        AddObjective(PFCountMethod::Vertical, kind, k, c, c, m_levels.Boxes(c),
                     buy ? m_levels.Low(c) : m_levels.High(c));
    }

    // Across the base from its first wall to the breakout column, from the base's low
    // (for a buy) or top (for a sell).
    void HorizontalCount(int k, PFSignalKind kind, int wall)
    {
        const bool buy = kind == PFSignalKind::Buy;
        long long level = buy ? LLONG_MAX : LLONG_MIN;
        for (int c = wall; c <= k; ++c)
            level = buy ? std::min(level, m_levels.Low(c)) : std::max(level, m_levels.High(c));
        AddObjective(PFCountMethod::Horizontal, kind, k, wall, k, k - wall + 1, level);
    }

    // The furthest column of one kind in [from, to), the latest of equal ones.
    int Extreme(int from, int to, bool x) const
    {
        int best = -1;
        for (int c = from; c < to; ++c)
            if (IsX(c) == x && (best < 0 || m_levels.Reach(c) >= m_levels.Reach(best)))
                best = c;
        return best;
    }

    PFTrendLine LineFrom(int c) const
    {
        PFTrendLine line;
        line.FromColumn = c;
        if (IsX(c)) {
            line.Kind = PFTrendKind::Resistance;
            line.FromRow = m_top[static_cast<std::size_t>(c)] - 1;
        } else {
            line.Kind = PFTrendKind::Support;
            line.FromRow = m_bottom[static_cast<std::size_t>(c)] + 1;
        }
        return line;
    }

    // Column m closes at least one box through the line: an O column below a support
    // line, an X column above a resistance line. Reaching the line's box only touches it.
    bool Breaks(const PFTrendLine &line, int m) const
    {
        const long long row = line.RowAt(m);
        const std::size_t k = static_cast<std::size_t>(m);
        if (line.Kind == PFTrendKind::Support)
            return !IsX(m) && m_bottom[k] >= row + 1;
        return IsX(m) && m_top[k] <= row - 1;
    }

    // The first line starts from the extreme before the first signal: the low before a
    // buy, the high before a sell. A broken line gives way to the opposite one from the
    // extreme between its start and the break; the columns after that extreme are read
    // again against the new line.
    void DrawLines()
    {
        if (m_out.Signals.empty())
            return;
        const PFSignal &first = m_out.Signals.front();
        PFTrendLine line = LineFrom(Extreme(0, first.Column, first.Kind == PFSignalKind::Sell));
        for (int m = line.FromColumn + 1; m < m_n; ++m) {
            if (!Breaks(line, m))
                continue;
            line.ToColumn = m;
            line.Broken = true;
            m_out.Lines.push_back(line);
            const int from = line.FromColumn + 1;
            line = LineFrom(Extreme(from, m, line.Kind == PFTrendKind::Support));
            m = line.FromColumn;
        }
        line.ToColumn = m_n - 1;
        m_out.Lines.push_back(line);
    }

    const PFGrid &m_grid;
    const std::vector<int> &m_top;
    const std::vector<int> &m_bottom;
    const TFList &m_quotes;
    PFSignals &m_out;
    int m_n;
    Levels m_levels;
    Base m_xBase;
    Base m_oBase;
    int m_higherRun = 0;
    int m_lowerRun = 0;
    int m_lowO = -1;
    int m_highX = -1;
};

} // namespace

PFSignals FindPFSignals(const PFGrid &grid, const std::vector<int> &topRow,
                        const std::vector<int> &bottomRow, double box, double reverse,
                        const TFList &quotes)
{
    PFSignals out;
    if (!(box > 0))
        return out;
    out.Reverse = reverse;
    out.ReversalBoxes = ReversalBoxes(box, reverse);
    out.Scale.box = box;
    const int n = static_cast<int>(topRow.size());
    if (quotes.Count() == 0 || n == 0 || bottomRow.size() != topRow.size() || grid.ColCount != n
        || grid.ColumnMark(0) != PFGrid::kMarkX)
        return out;
    out.Scale = {quotes.Items(0)->Close, bottomRow.front(), box};
    out.ColumnCount = n;
    Finder(grid, topRow, bottomRow, quotes, out).Run();
    return out;
}

PFSignals FindPFSignals(const PFDocument &doc)
{
    if (!doc.Built)
        return {};
    return FindPFSignals(doc.sg, doc.FColTopRow, doc.FColBottomRow, doc.FBox, doc.FReverse,
                         doc.QuoteList);
}

// --- Texts. ---

namespace {

std::string Price(double v) { return FormatN(v, 3); }

std::string DateOrDash(const std::string &text) { return text.empty() ? "-" : text; }

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string ObjectiveLine(const PFObjective &o)
{
    std::string line = std::string(o.Method == PFCountMethod::Vertical ? "Vertical" : "Horizontal")
                       + " count, " + SignalKindName(o.Kind) + " at column " + FormatInt(o.Column)
                       + ": " + Price(o.Price) + " (";
    if (o.Method == PFCountMethod::Vertical)
        line += "column " + FormatInt(o.FromColumn) + ", " + FormatInt(o.Count) + " boxes";
    else
        line += "columns " + FormatInt(o.FromColumn) + "-" + FormatInt(o.ToColumn) + ", "
                + FormatInt(o.Count) + " columns";
    return line + " from " + Price(o.Base) + ")";
}

} // namespace

std::vector<std::string> SignalsReport(const PFSignals &s)
{
    std::vector<std::string> lines;
    lines.push_back("=== P&F signals ===");
    lines.push_back("Box " + Price(s.Scale.box) + ", reversal " + Price(s.Reverse) + " ("
                    + FormatInt(s.ReversalBoxes) + " boxes), columns: "
                    + FormatInt(s.ColumnCount));
    for (const PFSignal &sig : s.Signals)
        lines.push_back(Padded(DateOrDash(sig.DateText), 15) + Padded(SignalKindTitle(sig.Kind), 5)
                        + Padded(PatternName(sig.Pattern), 25) + Price(sig.Price));
    if (const PFSignal *c = s.Current())
        lines.push_back(std::string("Current signal: ") + SignalKindTitle(c->Kind) + ", "
                        + PatternName(c->Pattern) + ", " + Price(c->Price) + ", "
                        + DateOrDash(c->DateText));
    else
        lines.push_back("Current signal: none");
    if (const PFTrendLine *line = s.ActiveLine()) {
        std::string kind = TrendKindName(line->Kind);
        kind[0] = static_cast<char>(kind[0] - 'a' + 'A');
        lines.push_back("Trend line: " + kind + " from column " + FormatInt(line->FromColumn)
                        + " at " + Price(s.LinePrice(*line, line->FromColumn)) + ", "
                        + Price(s.LinePrice(*line, line->ToColumn)) + " at column "
                        + FormatInt(line->ToColumn));
    } else {
        lines.push_back("Trend line: none");
    }
    if (s.Objectives.empty()) {
        lines.push_back("Objectives: none");
    } else {
        lines.push_back("Objectives:");
        for (const PFObjective &o : s.Objectives)
            lines.push_back(ObjectiveLine(o));
    }
    return lines;
}

std::vector<std::string> SignalLines(const PFSignal &signal)
{
    return {std::string(SignalKindTitle(signal.Kind)) + ": " + PatternName(signal.Pattern),
            "Price: " + Price(signal.Price), "Date: " + ShortText(DateOrDash(signal.DateText))};
}

std::string TrendLineText(const PFSignals &s)
{
    const PFTrendLine *line = s.ActiveLine();
    if (!line)
        return "no trend line";
    return std::string(TrendKindName(line->Kind)) + " " + Price(s.LinePrice(*line, line->ToColumn));
}

std::string ObjectiveText(const PFObjective &o)
{
    return std::string(CountMethodName(o.Method)) + " count " + Price(o.Price);
}

} // namespace korvala

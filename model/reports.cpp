#include "reports.h"

#include "lines.h"

#include "numtext.h"

#include <algorithm>

namespace korvala {

namespace {

// "%2d": the number right-aligned in two characters.
std::string Number2(long long k)
{
    std::string text = FormatInt(k);
    if (text.size() < 2)
        text.insert(0, 2 - text.size(), ' ');
    return text;
}

} // namespace

std::vector<std::string> TargetsReport(const TFList &quotes)
{
    std::vector<std::string> lines;
    for (int i = quotes.Count() - 1; i >= 0; --i) {
        const TFPoint &q = *quotes.Items(i);
        if (!(q.Pivot > 0 && q.PivotEnabled && q.OP > 0))
            continue;
        lines.push_back("=== " + q.DateText + " ==================");
        lines.push_back("Цель 1: " + FormatN(q.OP, 2));
        lines.push_back("Цель 2: " + FormatN(q.COP, 2));
        lines.push_back("Цель 3: " + FormatN(q.XOP, 2));
        lines.push_back("Res/Sup 1: " + FormatN(q.Retrace382, 2));
        lines.push_back("Res/Sup 2: " + FormatN(q.Retrace681, 2));
        lines.emplace_back();
    }
    return lines;
}

std::vector<std::string> FNodesReport(const std::vector<std::string> &mmLines)
{
    double f = 0;
    std::vector<double> nodes;
    if (mmLines.size() > 1) {
        // The check list's "+" copies prices with their thousands grouping: read it.
        f = GroupedStrToFloatDef0(mmLines[0]);
        nodes.reserve(mmLines.size() - 1);
        for (std::size_t j = 1; j < mmLines.size(); ++j)
            nodes.push_back(GroupedStrToFloatDef0(mmLines[j]));
    }

    std::vector<std::string> lines;
    lines.reserve(2 + 3 * nodes.size());
    lines.push_back("F: " + FormatN(f, 2));
    for (std::size_t k = 0; k < nodes.size(); ++k)
        lines.push_back(Number2(static_cast<long long>(k)) + ": " + FormatN(nodes[k], 2));
    lines.emplace_back("=== F nodes ===");
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const std::string number = Number2(static_cast<long long>(k));
        lines.push_back(number + " F3: " + FormatN(f - (f - nodes[k]) * 0.382, 2));
        lines.push_back(number + " F5: " + FormatN(f - (f - nodes[k]) * 0.618, 2));
    }
    return lines;
}

RetraceLevels CalcRetrace(double a, double b)
{
    return {b - (b - a) * 0.382, b - (b - a) * 0.618};
}

ProjectionLevels CalcProjection(double a, double b, double c)
{
    return {(b - a) + c, (b - a) * 0.618 + c, (b - a) * 1.618 + c};
}

std::array<std::string, 2> RetraceLabels(std::string_view edit1, std::string_view edit2)
{
    const double a = StrToFloatDef0(edit1);
    const double b = StrToFloatDef0(edit2);
    if (a == 0)
        return {"Error", "Error"};
    const RetraceLevels levels = CalcRetrace(a, b);
    return {"F3= " + FormatN(levels.F3, 3), "F6= " + FormatN(levels.F6, 3)};
}

std::array<std::string, 3> ProjectionLabels(std::string_view edit3, std::string_view edit4,
                                            std::string_view edit5)
{
    const double a = StrToFloatDef0(edit3);
    const double b = StrToFloatDef0(edit4);
    const double c = StrToFloatDef0(edit5);
    if (a == 0)
        return {"Error", "Error", "Error"};
    const ProjectionLevels levels = CalcProjection(a, b, c);
    return {"op= " + FormatN(levels.op, 3), "COP= " + FormatN(levels.COP, 3),
            "XOP= " + FormatN(levels.XOP, 3)};
}

std::vector<SwingItem> SwingListItems(TFList *quotes)
{
    std::vector<SwingItem> items;
    if (!quotes)
        return items;
    for (int i = quotes->Count() - 1; i >= 0; --i) {
        TFPoint *q = quotes->Items(i);
        if (q->Pivot > 0)
            items.push_back({q, i, q->PivotEnabled});
    }
    return items;
}

std::string SwingItemText(const TFPoint &quote) { return FormatN(quote.Pivot, 2); }

void ApplySwingChecks(TFList &quotes, const std::vector<SwingItem> &items)
{
    // Item k belongs to the (k + 1)-th quote with a positive pivot counted from the
    // newest, the same quotes SwingListItems listed. A negative pivot (negative prices)
    // has no item and is passed over like a quote without a pivot.
    int i = quotes.Count() - 1;
    for (std::size_t k = 0; k < items.size(); ++k) {
        while (i >= 0 && !(quotes.Items(i)->Pivot > 0))
            --i;
        if (i < 0)
            break;
        quotes.Items(i)->PivotEnabled = items[k].Checked;
        --i;
        if (i < 0)
            break;
    }
    quotes.CalcLevels();
}

std::vector<std::string> MemoLines(std::string_view text)
{
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string MemoText(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text.append(line).append("\n");
    return text;
}

} // namespace korvala

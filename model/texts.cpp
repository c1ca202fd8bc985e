#include "texts.h"

#include "numtext.h"
#include "quotes.h"

#include <filesystem>

namespace korvala {

ParamTexts AutoParamTexts(double avgChange)
{
    if (avgChange < 0.01)
        return {"0,01", "0,03"};
    return {FormatF(avgChange, 3), FormatF(3 * avgChange, 3)};
}

bool ParamsUsable(double box, double reverse) { return box >= kMinParam && reverse >= kMinParam; }

// The edit pattern (^\d+$|^\d+\,\d*$): digits, optionally a comma and more digits.
// Matched by hand: the library's regular expressions recurse per character and a long
// pasted text would exhaust the stack.
bool MatchesParamPattern(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    if (i == 0)
        return false;
    if (i < s.size() && s[i] == ',')
        ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i == s.size();
}

EditCheck CheckParamEdit(std::string_view text)
{
    EditCheck result;
    const std::string s(text);
    double value = 0;
    if (!MatchesParamPattern(s) || !TryStrToFloat(s, value)) {
        result.message = "Неверный формат <" + s + ">";
        return result;
    }
    if (value < kMinParam) {
        result.message = "Слишком малое значение <" + s + ">";
        return result;
    }
    result.ok = true;
    result.value = value;
    return result;
}

std::vector<std::string> StatisticsLines(const TFList &q, double box, double reverse)
{
    return {
        "Count point = " + FormatInt(q.Count()),
        "OPEN  max = " + FormatN(q.MaxOpen, 3),
        "OPEN  min = " + FormatN(q.MinOpen, 3),
        "HIGH  max = " + FormatN(q.MaxHigh, 3),
        "HIGH  min = " + FormatN(q.MinHigh, 3),
        "LOW   max = " + FormatN(q.MaxLow, 3),
        "LOW   min = " + FormatN(q.MinLow, 3),
        "CLOSE max = " + FormatN(q.MaxClose, 3),
        "CLOSE min = " + FormatN(q.MinClose, 3),
        "Avg (High-Low) = " + FormatN(q.AvgChange, 3),
        "Auto box = " + FormatN(box, 3),
        "Auto reversal = " + FormatN(reverse, 3),
    };
}

std::vector<std::string> CommonInfoLines(const TFList *q)
{
    if (!q)
        return {"Котировки не загружены"};
    return {
        "Количество котировок = " + FormatInt(q->Count()),
        "Максимальная цена закрытия = " + FormatN(q->MaxClose, 3),
        "Минимальная цена закрытия = " + FormatN(q->MinClose, 3),
    };
}

std::string PeriodCountText(const TFList *q)
{
    return "Количество периодов = " + FormatInt(q ? q->Count() : 0);
}

std::string FileNameOf(std::string_view path)
{
    return std::filesystem::path(path).filename().string();
}

std::string CaptionForFile(std::string_view path) { return "P & F file: " + FileNameOf(path); }

} // namespace korvala

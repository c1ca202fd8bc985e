#include "celltext.h"

#include "codec.h"
#include "numtext.h"
#include "pfsignals.h"
#include "quotes.h"

namespace korvala {

std::string CellText(const TFPoint *q)
{
    if (!q)
        return {};
    return "Cell: " + ShortText(q->DateText) + "\r\n"
           + "Open: " + FormatN(q->Open, 3) + "\r\n"
           + "High: " + FormatN(q->High, 3) + "\r\n"
           + "Low: " + FormatN(q->Low, 3) + "\r\n"
           + "Close: " + FormatN(q->Close, 3);
}

std::string ColumnText(const TFPoint &r)
{
    return "Trend: " + ShortText(r.PeriodStart()) + "-" + ShortText(r.PeriodEnd()) + "\r\n"
           + "O: " + FormatN(r.Open, 3) + "\r\n"
           + "H: " + FormatN(r.High, 3) + "\r\n"
           + "L: " + FormatN(r.Low, 3) + "\r\n"
           + "C: " + FormatN(r.Close, 3) + "\r\n"
           + "Volume: " + FormatN(r.Volume, 3) + "\r\n";
}

std::string CloseText(const TFPoint &q) { return "C: " + FormatN(q.Close, 3); }

std::string WithSignalText(const std::string &text, const PFSignal &signal)
{
    constexpr std::string_view kBreak = "\r\n";
    const bool endsWithBreak = text.size() >= kBreak.size()
                               && text.compare(text.size() - kBreak.size(), kBreak.size(), kBreak) == 0;
    std::string out = text;
    for (const std::string &line : SignalLines(signal)) {
        if (!out.empty() && !endsWithBreak)
            out += kBreak;
        out += line;
        if (endsWithBreak)
            out += kBreak;
    }
    return out;
}

} // namespace korvala

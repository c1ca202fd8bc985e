#include "pfscan.h"

#include "document.h"
#include "numtext.h"
#include "texts.h"

#include <exception>
#include <new>

namespace korvala {

namespace {

// The box and reversal texts for a box of boxPercent of the last close.
ParamTexts PercentParamTexts(const TFList &quotes, double boxPercent)
{
    const double close = quotes.Items(quotes.Count() - 1)->Close;
    const std::string box = FormatF(close * boxPercent / 100, 3);
    return {box, FormatF(3 * StrToFloat(box), 3)};
}

void Scan(PFScanResult &r, double boxPercent)
{
    PFDocument doc;
    doc.OpenFile(r.Path);
    if (doc.QuoteList.Count() == 0) {
        r.Error = "no quotes";
        return;
    }
    if (boxPercent > 0) {
        const ParamTexts texts = PercentParamTexts(doc.QuoteList, boxPercent);
        doc.eBox = texts.box;
        doc.eReverse = texts.reverse;
    }
    if (!doc.Refresh()) {
        r.Error = "the box " + doc.eBox + " and the reversal " + doc.eReverse
                  + " must be at least 0,01";
        return;
    }
    const PFSignals s = FindPFSignals(doc);
    r.Box = doc.FBox;
    r.Reverse = doc.FReverse;
    r.Columns = s.ColumnCount;
    if (const PFSignal *current = s.Current())
        r.Current = *current;
    if (const PFTrendLine *line = s.ActiveLine()) {
        r.Line = *line;
        r.LinePrice = s.LinePrice(*line, line->ToColumn);
    }
    if (!s.Objectives.empty())
        r.Objective = s.Objectives.back();
}

} // namespace

PFScanResult ScanQuoteFile(const std::string &path, double boxPercent)
{
    PFScanResult r;
    r.Path = path;
    try {
        Scan(r, boxPercent);
    } catch (const std::bad_alloc &) {
        r.Error = "out of memory";
    } catch (const std::exception &e) {
        r.Error = e.what();
    }
    if (!r.Error.empty()) {
        r.Current.reset();
        r.Line.reset();
        r.Objective.reset();
    }
    return r;
}

std::string ScanLine(const PFScanResult &r)
{
    if (!r.Scanned())
        return r.Path + ": error: " + r.Error;
    std::string line = r.Path + ": ";
    if (r.Current)
        line += std::string(SignalKindTitle(r.Current->Kind)) + ", " + PatternName(r.Current->Pattern)
                + ", " + (r.Current->DateText.empty() ? "-" : r.Current->DateText);
    else
        line += "no signal";
    line += "; ";
    line += r.Line ? std::string(TrendKindName(r.Line->Kind)) + " " + FormatN(r.LinePrice, 3)
                   : std::string("no trend line");
    line += "; ";
    line += r.Objective ? ObjectiveText(*r.Objective) : std::string("no objective");
    return line;
}

PFScanSummary SummarizeScan(const std::vector<PFScanResult> &results)
{
    PFScanSummary s;
    for (const PFScanResult &r : results) {
        if (!r.Scanned()) {
            ++s.Failed;
            continue;
        }
        ++s.Files;
        if (r.Current && r.Current->Kind == PFSignalKind::Buy)
            ++s.Buy;
        else if (r.Current)
            ++s.Sell;
    }
    s.BullishPercent = s.Files > 0 ? 100.0 * s.Buy / s.Files : 0;
    return s;
}

std::string ScanSummaryLine(const PFScanSummary &s)
{
    return "Bullish percent: " + FormatN(s.BullishPercent, 2) + " % (" + FormatInt(s.Buy) + " of "
           + FormatInt(s.Files) + " files on a buy signal, " + FormatInt(s.Sell)
           + " on a sell signal, " + FormatInt(s.Failed) + " failed)";
}

} // namespace korvala

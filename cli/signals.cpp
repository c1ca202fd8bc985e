#include "signals.h"

#include "jsonwriter.h"
#include "pfscan.h"
#include "pfsignals.h"

#include <tbb/parallel_for.h>

#include <ostream>

namespace korvala::cli {

namespace {

void WriteLine(JsonWriter &json, const PFSignals &s, const PFTrendLine &line)
{
    json.BeginObject();
    json.Key("Kind").Value(TrendKindName(line.Kind));
    json.Key("FromColumn").Value(line.FromColumn);
    json.Key("FromRow").Value(line.FromRow);
    json.Key("FromPrice").Value(s.LinePrice(line, line.FromColumn));
    json.Key("ToColumn").Value(line.ToColumn);
    json.Key("Price").Value(s.LinePrice(line, line.ToColumn));
    json.EndObject();
}

void WriteObjective(JsonWriter &json, const PFObjective &o)
{
    json.BeginObject();
    json.Key("Method").Value(CountMethodName(o.Method));
    json.Key("Kind").Value(SignalKindName(o.Kind));
    json.Key("Column").Value(o.Column);
    json.Key("FromColumn").Value(o.FromColumn);
    json.Key("ToColumn").Value(o.ToColumn);
    json.Key("Count").Value(o.Count);
    json.Key("Base").Value(o.Base);
    json.Key("Price").Value(o.Price);
    json.EndObject();
}

} // namespace

void WriteSignals(JsonWriter &json, const PFSignals &s)
{
    json.BeginObject();
    json.Key("ReversalBoxes").Value(s.ReversalBoxes);
    json.Key("Signals").BeginArray();
    for (const PFSignal &g : s.Signals) {
        json.NewLine().BeginObject();
        json.Key("Column").Value(g.Column);
        json.Key("Kind").Value(SignalKindName(g.Kind));
        json.Key("Pattern").Value(PatternName(g.Pattern));
        json.Key("Price").Value(g.Price);
        json.Key("DateText").Value(g.DateText);
        json.EndObject();
    }
    json.EndArray();
    json.NewLine().Key("Current");
    if (const PFSignal *current = s.Current())
        json.Value(SignalKindName(current->Kind));
    else
        json.Null();
    json.NewLine().Key("TrendLine");
    if (const PFTrendLine *line = s.ActiveLine())
        WriteLine(json, s, *line);
    else
        json.Null();
    json.NewLine().Key("BrokenLines").BeginArray();
    for (const PFTrendLine &line : s.Lines)
        if (line.Broken) {
            json.NewLine();
            WriteLine(json, s, line);
        }
    json.EndArray();
    json.NewLine().Key("Objectives").BeginArray();
    for (const PFObjective &o : s.Objectives) {
        json.NewLine();
        WriteObjective(json, o);
    }
    json.EndArray();
    json.EndObject();
}

std::vector<PFScanResult> ScanFiles(const std::vector<std::string> &files, double boxPercent)
{
    std::vector<PFScanResult> results(files.size());
    tbb::parallel_for(std::size_t{0}, files.size(), [&](std::size_t i) {
        results[i] = ScanQuoteFile(files[i], boxPercent);
    });
    return results;
}

namespace {

void WriteScanJson(JsonWriter &json, const PFScanResult &r)
{
    json.BeginObject();
    json.Key("File").Value(r.Path);
    if (!r.Scanned()) {
        json.Key("Error").Value(r.Error);
        json.EndObject();
        return;
    }
    json.Key("Box").Value(r.Box);
    json.Key("Reverse").Value(r.Reverse);
    json.Key("Columns").Value(r.Columns);
    json.Key("Current");
    if (r.Current) {
        json.Value(SignalKindName(r.Current->Kind));
        json.Key("Pattern").Value(PatternName(r.Current->Pattern));
        json.Key("Column").Value(r.Current->Column);
        json.Key("Price").Value(r.Current->Price);
        json.Key("DateText").Value(r.Current->DateText);
    } else {
        json.Null();
    }
    json.Key("TrendLine");
    if (r.Line) {
        json.BeginObject();
        json.Key("Kind").Value(TrendKindName(r.Line->Kind));
        json.Key("FromColumn").Value(r.Line->FromColumn);
        json.Key("Price").Value(r.LinePrice);
        json.EndObject();
    } else {
        json.Null();
    }
    json.Key("Objective");
    if (r.Objective)
        WriteObjective(json, *r.Objective);
    else
        json.Null();
    json.EndObject();
}

} // namespace

void WriteScan(const std::vector<PFScanResult> &results, bool json, std::ostream &out)
{
    const PFScanSummary summary = SummarizeScan(results);
    if (!json) {
        for (const PFScanResult &r : results)
            out << ScanLine(r) << '\n';
        out << ScanSummaryLine(summary) << '\n';
        return;
    }
    JsonWriter writer(out);
    for (const PFScanResult &r : results) {
        WriteScanJson(writer, r);
        out << '\n';
    }
    writer.BeginObject();
    writer.Key("Files").Value(summary.Files);
    writer.Key("Failed").Value(summary.Failed);
    writer.Key("Buy").Value(summary.Buy);
    writer.Key("Sell").Value(summary.Sell);
    writer.Key("BullishPercent").Value(summary.BullishPercent);
    writer.EndObject();
    out << '\n';
}

} // namespace korvala::cli

#include "dump.h"

#include "document.h"
#include "jsonwriter.h"
#include "pfsignals.h"
#include "reports.h"
#include "session.h"
#include "signals.h"

#include <ostream>

namespace korvala::cli {

namespace {

void WriteFields(JsonWriter &json, const TFList &list)
{
    json.Key("Count").Value(list.Count());
    json.Key("MaxOpen").Value(list.MaxOpen);
    json.Key("MinOpen").Value(list.MinOpen);
    json.Key("MaxHigh").Value(list.MaxHigh);
    json.Key("MinHigh").Value(list.MinHigh);
    json.Key("MaxLow").Value(list.MaxLow);
    json.Key("MinLow").Value(list.MinLow);
    json.Key("MaxClose").Value(list.MaxClose);
    json.Key("MinClose").Value(list.MinClose);
    json.Key("MaxVolume").Value(list.MaxVolume);
    json.Key("AvgChange").Value(list.AvgChange);
    json.Key("LevelDepth").Value(list.LevelDepth);
}

void WritePrices(JsonWriter &json, const TFPoint &p)
{
    json.Key("Open").Value(p.Open);
    json.Key("High").Value(p.High);
    json.Key("Low").Value(p.Low);
    json.Key("Close").Value(p.Close);
    json.Key("Volume").Value(p.Volume);
}

} // namespace

void WriteQuoteList(JsonWriter &json, const PFDocument &doc)
{
    const TFList &list = doc.QuoteList;
    json.BeginObject();
    WriteFields(json, list);
    json.Key("Items").BeginArray();
    list.ForEach([&](const TFPoint &p, int) {
        json.NewLine().BeginObject();
        json.Key("DateText").Value(p.DateText);
        json.Key("DateTime").Value(p.DateTime);
        WritePrices(json, p);
        json.Key("MA3").Value(p.MA3);
        json.Key("Pivot").Value(p.Pivot);
        json.Key("PivotEnabled").Value(p.PivotEnabled);
        json.Key("Retrace382").Value(p.Retrace382);
        json.Key("Retrace681").Value(p.Retrace681);
        json.Key("OP").Value(p.OP);
        json.Key("COP").Value(p.COP);
        json.Key("XOP").Value(p.XOP);
        json.EndObject();
    });
    json.EndArray();
    json.EndObject();
}

void WritePF(JsonWriter &json, const PFDocument &doc)
{
    if (!doc.Built) {
        json.Null();
        return;
    }
    const PFGrid &grid = doc.sg;
    json.BeginObject();
    json.Key("RowCount").Value(grid.RowCount);
    json.Key("ColCount").Value(grid.ColCount);
    json.Key("FColTopRow").BeginArray();
    for (int row : doc.FColTopRow)
        json.Value(row);
    json.EndArray();
    json.Key("FColBottomRow").BeginArray();
    for (int row : doc.FColBottomRow)
        json.Value(row);
    json.EndArray();

    json.Key("FColumns").BeginObject();
    json.Key("MaxVolume").Value(doc.FColumns.MaxVolume);
    json.Key("Items").BeginArray();
    doc.FColumns.ForEach([&](const TFPoint &p, int) {
        json.NewLine().BeginObject();
        json.Key("PeriodStart").Value(p.PeriodStart());
        json.Key("PeriodEnd").Value(p.PeriodEnd());
        json.Key("Direction").Value(p.Direction);
        WritePrices(json, p);
        json.EndObject();
    });
    json.EndArray();
    json.EndObject();

    json.Key("Cells").BeginArray();
    const int columns = doc.QuoteList.Count() > 0 ? grid.ColCount : 0;
    for (int c = 0; c < columns; ++c) {
        const char mark = grid.ColumnMark(c);
        const std::string markText(1, mark);
        for (int r = grid.FirstRow(c); r <= grid.LastRow(c); ++r) {
            json.NewLine().BeginArray().Value(c).Value(r).Value(markText);
            const int quote = grid.CellQuote(c, r);
            if (quote == PFGrid::kNoQuote)
                json.Null();
            else
                json.Value(quote);
            json.EndArray();
        }
    }
    json.EndArray();
    json.EndObject();
}

namespace {

void WriteLineBreak(JsonWriter &json, const Session &s)
{
    if (!s.doc.Built) {
        json.Null();
        return;
    }
    json.BeginArray();
    for (const LineBrick &b : s.LineBreak)
        json.NewLine().BeginArray().Value(b.Open).Value(b.High).Value(b.Low).Value(b.Close).EndArray();
    json.EndArray();
}

void WriteCandles(JsonWriter &json, const Session &s)
{
    if (!s.doc.Built) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("DateTimePicker1").Value(s.DateTimePicker1);
    json.Key("DateTimePicker2").Value(s.DateTimePicker2);
    json.Key("Items").BeginArray();
    for (int i : s.Candles) {
        const TFPoint &q = *s.doc.QuoteList.Items(i);
        json.NewLine().BeginArray().Value(q.DateTime).Value(q.Open).Value(q.High).Value(q.Low)
            .Value(q.Close).EndArray();
    }
    json.EndArray();
    json.EndObject();
}

void WriteValues(JsonWriter &json, const std::vector<double> &values)
{
    json.BeginArray();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 10 == 0)
            json.NewLine();
        json.Value(values[i]);
    }
    json.EndArray();
}

void WriteIndicator(JsonWriter &json, const Session &s, const DumpOptions &o, std::ostream &err)
{
    IndicatorSeries series;
    try {
        series = CalcIndicatorSeries(s.doc.QuoteList, o.period, o.offset);
    } catch (IndicatorError &error) {
        series = std::move(error.Partial);
        err << "Indicator: " << error.what() << " (the series hold the points made before)\n";
    }
    json.BeginObject();
    json.Key("Series1");
    WriteValues(json, series.Series1);
    json.Key("Series2");
    WriteValues(json, series.Series2);
    json.EndObject();
}

} // namespace

void WriteDump(const Session &session, const DumpOptions &options, std::ostream &out,
               std::ostream &err)
{
    const PFDocument &doc = session.doc;
    JsonWriter json(out);
    json.BeginObject();
    json.NewLine().Key("caption").Value(doc.Caption);
    json.NewLine().Key("eBox").Value(doc.eBox);
    json.Key("eReverse").Value(doc.eReverse);
    json.NewLine().Key("FBox").Value(doc.FBox);
    json.Key("FReverse").Value(doc.FReverse);
    json.NewLine().Key("built").Value(doc.Built);
    json.NewLine().Key("Memo1").Strings(doc.Memo1);
    json.NewLine().Key("mm_Common").Strings(doc.mm_Common);
    json.NewLine().Key("stb").Value(doc.stb);
    json.NewLine().Key("QuoteList");
    WriteQuoteList(json, doc);
    json.NewLine().Key("PF");
    WritePF(json, doc);
    json.NewLine().Key("LineBreak");
    WriteLineBreak(json, session);
    json.NewLine().Key("Candles");
    WriteCandles(json, session);
    json.NewLine().Key("Indicator");
    WriteIndicator(json, session, options, err);
    json.NewLine().Key("TargetsReport").Strings(TargetsReport(doc.QuoteList));
    json.NewLine().Key("FNodesReport").Strings(FNodesReport(options.mm));
    json.NewLine().Key("Signals");
    if (doc.Built)
        WriteSignals(json, FindPFSignals(doc));
    else
        json.Null();
    json.EndObject();
    out << '\n';
}

} // namespace korvala::cli

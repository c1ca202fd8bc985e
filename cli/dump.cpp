#include "dump.h"

#include "document.h"
#include "jsonwriter.h"

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
        json.Key("PeriodStart").Value(p.PeriodStart);
        json.Key("PeriodEnd").Value(p.PeriodEnd);
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

void WriteDump(const PFDocument &doc, std::ostream &out)
{
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
    json.EndObject();
    out << '\n';
}

} // namespace korvala::cli

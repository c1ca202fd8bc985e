#include "session.h"

#include "candles.h"

namespace korvala::cli {

void Session::Open(const std::string &path)
{
    doc.OpenFile(path);
    AfterOpen();
}

ImportResult Session::Import(const std::string &path, const ImportOptions &options)
{
    TFList loaded;
    ImportResult result;
    {
        const std::string bytes = ReadWholeFile(path);
        result = ImportQuotes(bytes, loaded, options);
    } // the file's bytes go before the rest of the open
    doc.OpenLoaded(path, loaded);
    AfterOpen();
    return result;
}

void Session::AfterOpen()
{
    if (doc.QuoteList.Count() > 0) {
        DateTimePicker2 = doc.QuoteList.Items(doc.LastQuoteIndex())->DateTime;
        DateTimePicker1 = CandleRangeStart(DateTimePicker2, m_days);
        Candles = SelectCandles(doc.QuoteList, DateTimePicker1, DateTimePicker2);
    }
    doc.ShowCommonInfo();
    Refresh();
}

bool Session::Refresh()
{
    if (!doc.Refresh())
        return false;
    LineBreak = BuildLineBreakBricks(doc.QuoteList);
    Candles = SelectCandles(doc.QuoteList, DateTimePicker1, DateTimePicker2);
    return true;
}

} // namespace korvala::cli

#include "session.h"

#include "candles.h"

namespace korvala::cli {

void Session::Open(const std::string &path)
{
    doc.OpenFile(path);
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

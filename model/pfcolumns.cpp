#include "pfcolumns.h"

#include "document.h"

namespace korvala {

std::optional<PFPriceScale> RowPrices(const PFDocument &doc)
{
    // The first column is an X column that starts on the first quote's row and grows
    // upwards, so its lowest box is that row.
    if (doc.QuoteList.Count() == 0 || doc.FColBottomRow.empty())
        return std::nullopt;
    return PFPriceScale{doc.QuoteList.Items(0)->Close, doc.FColBottomRow.front(), doc.sg.Box};
}

std::string_view PeriodEndDate(std::string_view periodEnd)
{
    for (std::string_view tail : {std::string_view(" - UP"), std::string_view(" - DOWN")}) {
        if (periodEnd.size() >= tail.size()
            && periodEnd.substr(periodEnd.size() - tail.size()) == tail)
            return periodEnd.substr(0, periodEnd.size() - tail.size());
    }
    return periodEnd;
}

std::vector<PFColumnSummary> ColumnSummaries(const PFDocument &doc)
{
    std::vector<PFColumnSummary> rows;
    const std::optional<PFPriceScale> prices = RowPrices(doc);
    if (!prices)
        return rows;
    const int count = doc.FColumns.Count();
    rows.reserve(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (index >= doc.FColTopRow.size() || index >= doc.FColBottomRow.size())
            break;
        const TFPoint &rec = *doc.FColumns.Items(c);
        PFColumnSummary s;
        s.Column = c;
        s.Direction = rec.Direction;
        s.Start = rec.PeriodStart();
        s.End = PeriodEndDate(rec.PeriodEnd());
        s.Open = rec.Open;
        s.High = rec.High;
        s.Low = rec.Low;
        s.Close = rec.Close;
        s.Volume = rec.Volume;
        const bool x = rec.Direction == 1;
        const int top = doc.FColTopRow[index];
        const int bottom = doc.FColBottomRow[index];
        // An O cell stands for the price of the row above it.
        s.TopPrice = prices->XPrice(x ? top : top - 1);
        s.BottomPrice = prices->XPrice(x ? bottom : bottom - 1);
        rows.push_back(s);
    }
    return rows;
}

} // namespace korvala

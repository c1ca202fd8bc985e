#pragma once

// The last P&F build read as a table: the price each row stands for and one record per
// column with its period, prices, volume and the prices of its top and bottom boxes.

#include "pfsignals.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvala {

class PFDocument;

// The prices of the rows of the build on show; none when it has no column. An O
// column's cells lie one row below the prices they stand for.
std::optional<PFPriceScale> RowPrices(const PFDocument &doc);

struct PFColumnSummary
{
    int Column = 0;
    int Direction = 0;          // 1: X column, −1: O column
    std::string_view Start;     // date text of the quote that opened the column
    std::string_view End;       // date text of the latest quote taken into it
    double Open = 0;
    double High = 0;
    double Low = 0;
    double Close = 0;
    double Volume = 0;
    double TopPrice = 0;        // the price the column's highest box stands for
    double BottomPrice = 0;     // … and its lowest box
};

// One summary per column of the build on show, left to right. The texts refer to the
// document's column records.
std::vector<PFColumnSummary> ColumnSummaries(const PFDocument &doc);

// A column record's end text without its " - UP" or " - DOWN".
std::string_view PeriodEndDate(std::string_view periodEnd);

} // namespace korvala

#pragma once

#include "candles.h"
#include "document.h"
#include "linebreak.h"
#include "quoteimport.h"

#include <string>
#include <vector>

namespace korvala::cli {

// The main window without its widgets, as korvala-cli drives it: the document plus
// what the chart tabs would show, updated in the window's open and Refresh order.
class Session final
{
public:
    explicit Session(int days) : m_days(days) {}

    PFDocument doc;
    // The candle tab's pickers (start, end) and the quotes of its range.
    double DateTimePicker1 = kCandlePickerInitial;
    double DateTimePicker2 = kCandlePickerInitial;
    std::vector<int> Candles;
    std::vector<LineBrick> LineBreak;

    // File / Open...: the document's open steps, the candle tab's end date set to the
    // last quote (which moves the start date and fills the candles), the common
    // figures, then Refresh.
    void Open(const std::string &path);
    // The same for a file from elsewhere, read through the import; what it recognised.
    ImportResult Import(const std::string &path, const ImportOptions &options);
    // Refresh: the document's build, then the line-break bricks and the candle range.
    bool Refresh();

private:
    // The open sequence after the document's part.
    void AfterOpen();

    int m_days;
};

} // namespace korvala::cli

#pragma once

#include "candles.h"
#include "indicator.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace korvala {
class PFDocument;
}

namespace korvala::cli {

class JsonWriter;
class Session;

struct DumpOptions
{
    int days = kCandleDaysInitial;
    int period = kIndicatorPeriodInitial;
    int offset = kIndicatorOffsetInitial;
    // The analysis window's period, applied as the list's level depth before the
    // reports; none: the list keeps the depth of the load.
    std::optional<int> depth;
    // The lines of the analysis window's memo for the F-nodes report.
    std::vector<std::string> mm = {"mm"};
};

// Writes the whole state after the open sequence as one JSON object; a note about a
// series cut short (the indicator at period 0) goes to err.
void WriteDump(const Session &session, const DumpOptions &options, std::ostream &out,
               std::ostream &err);

void WriteQuoteList(JsonWriter &json, const PFDocument &doc);
void WritePF(JsonWriter &json, const PFDocument &doc);

} // namespace korvala::cli

#include "columnscsv.h"

#include "document.h"
#include "numtext.h"
#include "pfcolumns.h"

namespace korvala::cli {

namespace {

constexpr char kSeparator = ';';

} // namespace

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(";\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::vector<std::string> ColumnsCsv(const PFDocument &doc)
{
    std::vector<std::string> lines{
        "column;direction;start;end;open;high;low;close;volume;top;bottom"};
    for (const PFColumnSummary &c : ColumnSummaries(doc)) {
        std::string line = FormatInt(c.Column);
        const auto add = [&line](const std::string &field) {
            line += kSeparator;
            line += field;
        };
        add(c.Direction == 1 ? "UP" : (c.Direction == -1 ? "DOWN" : ""));
        add(CsvField(c.Start));
        add(CsvField(c.End));
        for (const double v : {c.Open, c.High, c.Low, c.Close, c.Volume, c.TopPrice, c.BottomPrice})
            add(FormatRoundTrip(v));
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace korvala::cli

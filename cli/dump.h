#pragma once

#include <iosfwd>

namespace korvala {
class PFDocument;
}

namespace korvala::cli {

class JsonWriter;


// Writes the whole state after the open sequence as one JSON object.
void WriteDump(const PFDocument &doc, std::ostream &out);

void WriteQuoteList(JsonWriter &json, const PFDocument &doc);
void WritePF(JsonWriter &json, const PFDocument &doc);

} // namespace korvala::cli

#pragma once

// korvala-cli's P&F signals: their JSON object, and the scan of many files at once.

#include <iosfwd>
#include <string>
#include <vector>

namespace korvala {
struct PFScanResult;
struct PFSignals;
} // namespace korvala

namespace korvala::cli {

class JsonWriter;

// The signals of a build as one JSON object: ReversalBoxes, Signals, Current, TrendLine,
// BrokenLines, Objectives (`signals --json` and dump's "Signals").
void WriteSignals(JsonWriter &json, const PFSignals &s);

// Scans the files at once on all cores; the results in the order of the files.
std::vector<PFScanResult> ScanFiles(const std::vector<std::string> &files, double boxPercent);

// One line per file (a text line, or a JSON object), then the bullish percent.
void WriteScan(const std::vector<PFScanResult> &results, bool json, std::ostream &out);

} // namespace korvala::cli

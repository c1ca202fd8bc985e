#pragma once

// One line per instrument: a quote file opened and built like File / Open... does, read
// for its current P&F signal, its active 45-degree line and its latest objective; and
// the bullish percent over many of them. Every file is scanned on its own, so many can
// be scanned at once.

#include "pfsignals.h"

#include <optional>
#include <string>
#include <vector>

namespace korvala {

struct PFScanResult
{
    std::string Path;
    // Why the file could not be scanned; empty when it was.
    std::string Error;
    double Box = 0;
    double Reverse = 0;
    int Columns = 0;
    std::optional<PFSignal> Current;
    std::optional<PFTrendLine> Line;
    double LinePrice = 0; // the active line's price at the last column
    std::optional<PFObjective> Objective;

    bool Scanned() const { return Error.empty(); }
};

// boxPercent > 0: the box is that share of the last close (three decimals, as typed into
// the box edit) and the reversal three boxes; otherwise the automatic parameters of the
// open. Never throws: a failure is written into Error.
PFScanResult ScanQuoteFile(const std::string &path, double boxPercent = 0);

// "daily.txt: Buy, Double top, 01.12.05 10:00; bullish support 1 234,500; vertical count
// 1 300,000", or "daily.txt: error: <reason>". The file is named as given.
std::string ScanLine(const PFScanResult &r);

struct PFScanSummary
{
    int Files = 0;   // scanned
    int Failed = 0;
    int Buy = 0;
    int Sell = 0;
    // The share of the scanned files on a buy signal, in percent (0 without files).
    double BullishPercent = 0;
};
PFScanSummary SummarizeScan(const std::vector<PFScanResult> &results);
// "Bullish percent: 62,50 % (5 of 8 files on a buy signal, 3 on a sell signal, 1 failed)"
std::string ScanSummaryLine(const PFScanSummary &s);

} // namespace korvala

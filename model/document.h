#pragma once

// The main window's state without the window (PFDocument): the open sequence and the
// Refresh pipeline as the main window and korvala-cli run them.

#include "blockmemory.h"
#include "texts.h"
#include "pfbuild.h"
#include "quotes.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvala {

// A quote file that cannot be read; the text names the file and the system's reason.
class FileError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads a whole file into memory (block memory: a large file costs few page faults).
BlockBuffer ReadFileBytes(const std::string &path);
// The same as a string.
std::string ReadWholeFile(const std::string &path);

// What the main window holds, without the window: the quotes, the parameter edit texts
// and values, the last P&F build and the statistics texts. The main window's handlers
// and korvala-cli run the open sequence and the Refresh pipeline through this object.
class PFDocument final
{
public:
    TFList QuoteList;
    std::string eBox = "1";
    std::string eReverse = "3";
    double FBox = 0;
    double FReverse = 0;

    // The last P&F build; the two row lists are read off the grid after each build.
    PFGrid sg;
    TFList FColumns;
    std::vector<int> FColBottomRow;
    std::vector<int> FColTopRow;

    std::vector<std::string> Memo1;
    std::vector<std::string> mm_Common;
    std::string stb;
    std::string Caption = kInitialCaption;

    // True when the last Refresh went past ReadParams and built the charts.
    bool Built = false;

    // The open sequence up to the caption: reads the file and loads it into a list of
    // its own; only a whole load replaces the quotes (and drops every cell quote that
    // referred to the old ones), then the automatic parameter texts are written and read
    // and the statistics and the caption rewritten. Throws FileError or QuoteLineError
    // (or ConvertError for a file no box can be proposed for); nothing changes then.
    void OpenFile(const std::string &path);
    // The same from a file already in memory.
    void OpenBytes(std::string_view path, std::string_view bytes);
    // The same for quotes another reader has loaded (statistics run): they are taken
    // over from loaded, which receives the previous quotes.
    void OpenLoaded(std::string_view path, TFList &loaded);

    void ShowCommonInfo();
    // FBox, FReverse := the edit texts as numbers (ConvertError when one does not
    // convert); true when both are usable.
    bool ReadParams();
    void ShowStatistics();
    void ShowPeriodCount();
    void BuildPF();

    // The document's part of Refresh: ReadParams, then BuildPF when it passed.
    bool Refresh();

    int LastQuoteIndex() const { return QuoteList.Count() - 1; }

private:
    void TakeRowLists();
    void TakeOver(std::string_view path, TFList &loaded);
};

} // namespace korvala

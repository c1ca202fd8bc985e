#pragma once

// The main window's texts without the window: automatic box and reversal, the edit
// check, the statistics and common-figure lines, the period count and the caption.

#include "version.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvala {

class TFList;

// The smallest box and reversal a build accepts.
inline constexpr double kMinParam = 0.01;

struct ParamTexts
{
    std::string box;
    std::string reverse;
};

// The texts written into the box and reversal edits after an open: the average change
// with three decimals and three times it, rounded after multiplying; "0,01" and "0,03"
// when the average change is below 0.01.
ParamTexts AutoParamTexts(double avgChange);

// Both values usable for a build (at least 0.01 each).
bool ParamsUsable(double box, double reverse);

// The check made when a parameter edit loses the focus. ok: value holds the number;
// otherwise message holds the text for the message box.
struct EditCheck
{
    bool ok = false;
    double value = 0;
    std::string message;
};
bool MatchesParamPattern(std::string_view text);
EditCheck CheckParamEdit(std::string_view text);

// The lines of the statistics memo on the P&F page.
std::vector<std::string> StatisticsLines(const TFList &quotes, double box, double reverse);
// The lines of the common-figures memo; no list: "Котировки не загружены".
std::vector<std::string> CommonInfoLines(const TFList *quotes);
// The status bar text after a build.
std::string PeriodCountText(const TFList *quotes);
// The main window's caption for an opened file (its name without the folders).
std::string CaptionForFile(std::string_view path);
std::string FileNameOf(std::string_view path);

inline constexpr const char *kAppTitle = "P & F";
inline constexpr const char *kInitialCaption = "Корвала, ver " KORVALA_VERSION " alfa";
inline constexpr const char *kBusyText = "Ждите...";

} // namespace korvala

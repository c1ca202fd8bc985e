#pragma once

// Quotes written in the native quote file layout (korvala-cli convert).

#include "quotes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvala {

// Quotes written in the native layout: the header line, then
// DD.MM.YY;HH:MM;OPEN;HIGH;LOW;CLOSE;VOL with a decimal comma and the fewest decimals that
// read back to the very same double (FormatRoundTrip), every line ended by CR LF (cp1251: every character
// written is ASCII). The date and the time come from DateTime.

inline constexpr std::string_view kNativeHeader = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>";

// One line without its line end. Throws ConvertError for a price that is no number.
std::string NativeQuoteLine(const TFPoint &quote);

// The whole file, handed to write in pieces of some tens of kilobytes.
void WriteNativeQuotes(const TFList &quotes, const std::function<void(std::string_view)> &write);

// The same into a file, written safely (model/safewrite.h): a failure leaves the file that
// was there. Throws WriteError (or ConvertError, before anything is written).
void SaveNativeQuoteFile(const std::string &path, const TFList &quotes);

// What the native layout cannot keep: seconds (its times are HH:MM) and years outside
// 1950–2049 (its years have two digits). One warning text per kind, naming how many
// quotes and the first of them; none when nothing is lost.
std::vector<std::string> NativeLayoutLosses(const TFList &quotes);

} // namespace korvala

#pragma once

// Text codec: cp1251 bytes of quote and report files to and from the UTF-8 texts the
// program holds, and shortening of texts for places on screen.

#include <string>
#include <string_view>
#include <vector>

namespace korvala {

// Quote and report files are 8-bit cp1251 text; inside the program texts are UTF-8.

std::string Cp1251ToUtf8(std::string_view bytes);
// One character (a code point up to U+10FFFF) appended as UTF-8.
void AppendUtf8(std::string &out, char32_t cp);
// True when the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);
// Characters that cp1251 cannot hold become '?'; malformed UTF-8 bytes likewise.
std::string Utf8ToCp1251(std::string_view text);
// The characters of a UTF-8 text that Utf8ToCp1251 turns into '?', each once, in the
// order they first occur; a malformed sequence counts as U+FFFD.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;
std::vector<char32_t> Cp1251Missing(std::string_view text);

// A text for a place on screen: at most maxChars characters, cut at a character
// boundary and ended with "…" when it was longer. A quote file can hold a date field of
// megabytes; measuring and drawing that on every mouse move would freeze the window.
std::string ShortText(std::string_view utf8, std::size_t maxChars = 80);

} // namespace korvala

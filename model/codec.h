#pragma once

#include <string>
#include <string_view>

namespace korvala {

// Quote and report files are 8-bit cp1251 text; inside the program texts are UTF-8.

std::string Cp1251ToUtf8(std::string_view bytes);
// Characters that cp1251 cannot hold become '?'; malformed UTF-8 bytes likewise.
std::string Utf8ToCp1251(std::string_view text);

} // namespace korvala

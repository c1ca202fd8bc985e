#pragma once

// Lines of a text in memory whose lines end with CR LF, CR or LF (CR LF is one line
// end). A line "starts" at position 0 and right after every line end; a text that ends
// with a line end has no empty last line after it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvala {

// The first CR or LF at or after pos, or text.size() when there is none.
std::size_t FindLineEnd(std::string_view text, std::size_t pos);

// The start of the line after the one whose line end is at lineEnd (text.size() stays).
std::size_t SkipLineEnd(std::string_view text, std::size_t lineEnd);

// The first line start at or after pos (text.size() when none is left).
std::size_t LineStartAtOrAfter(std::string_view text, std::size_t pos);

// How many lines start in [begin, end); begin and end must be line starts or
// text.size(). Counts a run of bytes at a time.
std::int64_t CountLines(std::string_view text, std::size_t begin, std::size_t end);

} // namespace korvala

#pragma once

// The one line rule of the program's texts and files: a line ends at CR LF, at LF or at
// CR; a break at the very end of the text starts no further line. A line "starts" at
// position 0 and right after every line end.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>
#include <type_traits>

namespace korvala {

// The first CR or LF at or after pos, or text.size() when there is none.
template <class Char>
std::size_t FindLineEnd(std::basic_string_view<Char> text, std::size_t pos)
{
    using Unit = std::make_unsigned_t<Char>;
    const Char *const data = text.data();
    const std::size_t size = text.size();
    // Both line-end characters are below 14: one comparison rules out nearly all others.
    while (pos < size
           && (static_cast<Unit>(data[pos]) > Unit('\r') || (data[pos] != Char('\n') && data[pos] != Char('\r'))))
        ++pos;
    return pos;
}

// The start of the line after the one whose line end is at lineEnd (text.size() stays).
template <class Char>
std::size_t SkipLineEnd(std::basic_string_view<Char> text, std::size_t lineEnd)
{
    const std::size_t size = text.size();
    if (lineEnd >= size)
        return size;
    return text[lineEnd] == Char('\r') && lineEnd + 1 < size && text[lineEnd + 1] == Char('\n') ? lineEnd + 2
                                                                                              : lineEnd + 1;
}

// Calls visit(line) for every line of text, in order, without its line break.
template <class Char, class Visit>
void ForEachLine(std::basic_string_view<Char> text, Visit &&visit)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = FindLineEnd(text, pos);
        visit(text.substr(pos, end - pos));
        pos = SkipLineEnd(text, end);
    }
}

// The first line start at or after pos (text.size() when none is left).
std::size_t LineStartAtOrAfter(std::string_view text, std::size_t pos);

// The text from begin on cut into pieces of about step bytes (at least one), each ending
// with a line: the start of every piece, then text.size().
std::vector<std::size_t> SplitAtLines(std::string_view text, std::size_t begin, std::size_t step);

// How many lines start in [begin, end); begin and end must be line starts or
// text.size(). Counts sixteen bytes at a time.
std::int64_t CountLines(std::string_view text, std::size_t begin, std::size_t end);

} // namespace korvala

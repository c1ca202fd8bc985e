#pragma once

// The one line rule of the program's texts and files: a line ends at CR LF, at LF or at
// CR; a break at the very end of the text starts no further line.

#include <cstddef>
#include <string_view>

namespace korvala {

// Calls visit(line) for every line of text, in order, without its line break.
template <class Char, class Visit>
void ForEachLine(std::basic_string_view<Char> text, Visit &&visit)
{
    const Char *const data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && data[end] != Char('\n') && data[end] != Char('\r'))
            ++end;
        visit(std::basic_string_view<Char>(data + pos, end - pos));
        pos = end;
        if (pos < size)
            pos += data[pos] == Char('\r') && pos + 1 < size && data[pos + 1] == Char('\n') ? 2 : 1;
    }
}

} // namespace korvala

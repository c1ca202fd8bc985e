#pragma once

// The bytes a fuzz target receives, taken apart: small numbers from the front (each
// from as many bytes as it needs, zero once the bytes run out), texts cut off by a
// length, and the rest. Standard C++ only, so that the replay driver builds with any
// compiler.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace korvala::fuzz {

class FuzzInput final
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : m_rest(reinterpret_cast<const char *>(data), size)
    {
    }

    template <class T>
    T Take()
    {
        T value{};
        const std::size_t n = sizeof(T) < m_rest.size() ? sizeof(T) : m_rest.size();
        std::memcpy(&value, m_rest.data(), n);
        m_rest.remove_prefix(n);
        return value;
    }

    // A text of at most maxSize bytes, its length taken from the next two bytes.
    std::string_view TakeText(std::size_t maxSize)
    {
        std::size_t n = Take<std::uint16_t>() % (maxSize + 1);
        if (n > m_rest.size())
            n = m_rest.size();
        const std::string_view text = m_rest.substr(0, n);
        m_rest.remove_prefix(n);
        return text;
    }

    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

} // namespace korvala::fuzz

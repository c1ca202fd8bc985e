#include "codec.h"

#include <array>
#include <cstdint>
#include <unordered_set>

namespace korvala {

namespace {

// Unicode code points of the cp1251 bytes 0x80..0xFF. 0x98 has no character in cp1251;
// it maps to U+0098 so that a file's bytes survive a round trip.
constexpr std::array<std::uint16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

} // namespace

void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

namespace {

char ToCp1251(std::uint32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::string Cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else
            AppendUtf8(out, kHigh[b - 0x80]);
    }
    return out;
}

namespace {

// The character that starts at text[i] (not ASCII): its code point and how many bytes
// follow the first. False for a malformed sequence (a stray byte, one cut short, an
// overlong form, a surrogate, a value past U+10FFFF); taken then counts the bytes that
// belong to it.
bool DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t &cp, int &taken)
{
    const auto b = static_cast<unsigned char>(text[i]);
    int extra = 0;
    cp = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        cp = b & 0x07;
    }
    taken = 0;
    while (taken < extra && i + 1 + taken < text.size()
           && (static_cast<unsigned char>(text[i + 1 + taken]) & 0xC0) == 0x80) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + 1 + taken]) & 0x3F);
        ++taken;
    }
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    return extra > 0 && taken == extra && cp >= kMinimum[extra] && cp <= 0x10FFFF
           && (cp < 0xD800 || cp > 0xDFFF);
}

} // namespace

std::string Utf8ToCp1251(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        // A malformed sequence becomes one '?', and the text after it is kept.
        std::uint32_t cp = 0;
        int taken = 0;
        const bool wellFormed = DecodeUtf8(text, i, cp, taken);
        out.push_back(wellFormed ? ToCp1251(cp) : '?');
        i += 1 + static_cast<std::size_t>(taken);
    }
    return out;
}

bool IsUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        int taken = 0;
        if (!DecodeUtf8(bytes, i, cp, taken))
            return false;
        i += 1 + static_cast<std::size_t>(taken);
    }
    return true;
}

std::vector<char32_t> Cp1251Missing(std::string_view text)
{
    std::vector<char32_t> missing;
    std::unordered_set<char32_t> seen;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        int taken = 0;
        const bool wellFormed = DecodeUtf8(text, i, cp, taken);
        i += 1 + static_cast<std::size_t>(taken);
        if (wellFormed && ToCp1251(cp) != '?')
            continue;
        const char32_t c = wellFormed ? static_cast<char32_t>(cp) : kReplacementCharacter;
        if (seen.insert(c).second)
            missing.push_back(c);
    }
    return missing;
}

std::string ShortText(std::string_view utf8, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue; // a continuation byte belongs to the character before it
        if (chars == maxChars)
            return std::string(utf8.substr(0, i)) + "\u2026";
        ++chars;
    }
    return std::string(utf8);
}

} // namespace korvala

#include "codec.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvala;

namespace {

bool OnlyQuestionMarks(const std::string &s)
{
    return !s.empty() && s.find_first_not_of('?') == std::string::npos;
}

} // namespace

TEST(Cp1251, EveryByteAgreesWithTheSystemConverterAndRoundTrips)
{
    EXPECT_EQ(Cp1251ToUtf8("\xCA\xEE\xF2\xE8\xF0\xEE\xE2\xEA\xE8 \xA8\xB8 \xB9 \x88 \x96\xBB"),
              "Котировки Ёё № € –»");
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        all += byte;
        // ASCII passes unchanged; 0x98 is no character in the code page.
        const std::string expected =
            b < 0x80 ? byte : b == 0x98 ? Cp1251ToUtf8(byte) : test::Iconv("UTF-8", "CP1251", byte);
        EXPECT_EQ(Cp1251ToUtf8(byte), expected) << std::hex << b;
    }
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
    EXPECT_NE(test::Iconv("UTF-16LE", "UTF-8", utf8), "<iconv failed>"); // well-formed UTF-8
}

TEST(Cp1251, WhatTheCodePageCannotHoldBecomesQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1251("a日b😀é"), "a?b??");
    // Malformed UTF-8: lone continuation bytes, sequences cut off, at the end or before plain
    // text, which must not be eaten.
    for (const auto &[in, out] : std::vector<std::pair<std::string, std::string>>{
             {"\x80", "?"}, {"\xFF", "?"}, {"\xD0", "?"}, {"\xE2\x82", "?"}, {"\xD0" "A", "?A"},
             {"x\xF0" "ab", "x?ab"}, {"\xF0\x9F" "A", "?A"}, {"\xE2" "a", "?a"}})
        EXPECT_EQ(Utf8ToCp1251(in), out) << in;
    // Overlong forms ("\xC0\xAF" is no '/'), surrogates and code points past U+10FFFF.
    for (const char *bad : {"\xC0\xAF", "\xC1\x81", "\xE0\x90\x90", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251(bad))) << Utf8ToCp1251(bad);
}

// The characters saving would lose are exactly those that become '?'.
TEST(Cp1251, MissingCharactersAreThoseTheCodePageCannotHold)
{
    EXPECT_EQ(Cp1251Missing("a日b日😀?Ёé\xFF—"), (std::vector<char32_t>{0x65E5, 0x1F600, 0xE9, 0xFFFD}));
    EXPECT_TRUE(Cp1251Missing("Цель 1: 1 234,50 № € ?").empty());
    // Every character of the first planes: missing where the system converter cannot
    // write it either (0x98 is the program's own round-trip byte).
    for (char32_t cp = 0x20; cp < 0x3000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::string utf8;
        AppendUtf8(utf8, cp);
        const bool systemFails = test::Iconv("CP1251", "UTF-8", utf8) == "<iconv failed>";
        EXPECT_EQ(!Cp1251Missing(utf8).empty(), systemFails && cp != 0x98) << std::hex << static_cast<unsigned>(cp);
        EXPECT_EQ(Utf8ToCp1251(utf8) == "?", cp == U'?' || !Cp1251Missing(utf8).empty()) << std::hex << static_cast<unsigned>(cp);
    }
    // A surrogate's bytes are no character.
    EXPECT_EQ(Cp1251Missing("a\xED\xA0\x80" "b"), std::vector<char32_t>{0xFFFD});
}

TEST(ShortText, CutsLongTextsAtACharacterBoundary)
{
    EXPECT_EQ(ShortText("01.12.05 10:00", 14), "01.12.05 10:00");
    EXPECT_EQ(ShortText("Цена за день", 4), "Цена…"); // four letters of two bytes each
    const std::string huge(1 << 20, '7');
    EXPECT_EQ(ShortText(huge, 80), std::string(80, '7') + "…");
}

TEST(Utf8, WellFormedTextAndEncodedCharacters)
{
    for (const char *good : {"", "plain", "Дата;Время", "\xF0\x9F\x98\x80 €"})
        EXPECT_TRUE(IsUtf8(good)) << good;
    // cp1251 bytes, cut sequences, overlong forms, surrogates, past U+10FFFF.
    for (const char *bad : {"\xc4\xe0\xf2\xe0", "x\xD0", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(IsUtf8(bad)) << bad;
    std::string out;
    for (char32_t cp : {U'A', U'\u00e9', U'\u0414', U'\u20ac', U'\U0001F600'})
        AppendUtf8(out, cp);
    EXPECT_EQ(out, "A\xC3\xA9\xD0\x94\xE2\x82\xAC\xF0\x9F\x98\x80");
}

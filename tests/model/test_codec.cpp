#include "codec.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

using namespace korvala;

namespace {

// glibc's own converter, as an independent table of the code page.
std::string ByIconv(const char *to, const char *from, const std::string &in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no iconv>";
    std::string input = in;
    char *src = input.data();
    std::size_t srcLeft = input.size();
    std::string out(in.size() * 4 + 8, '\0');
    char *dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1))
        return "<iconv failed>";
    out.resize(out.size() - dstLeft);
    return out;
}

bool OnlyQuestionMarks(const std::string &s)
{
    return !s.empty() && s.find_first_not_of('?') == std::string::npos;
}

} // namespace

TEST(Cp1251, AsciiPassesUnchanged)
{
    std::string ascii;
    for (int c = 0; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    EXPECT_EQ(Cp1251ToUtf8(ascii), ascii);
    EXPECT_EQ(Utf8ToCp1251(ascii), ascii);
    EXPECT_EQ(Cp1251ToUtf8(""), "");
}

TEST(Cp1251, RussianLettersAndSignsBecomeUtf8)
{
    EXPECT_EQ(Cp1251ToUtf8("\xCA\xEE\xF2\xE8\xF0\xEE\xE2\xEA\xE8"), "Котировки");
    EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8"), "Ёё");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
    EXPECT_EQ(Cp1251ToUtf8("\xB9"), "№");
    EXPECT_EQ(Cp1251ToUtf8("\x88"), "€");
    EXPECT_EQ(Cp1251ToUtf8("\x96\x97"), "–—");
    EXPECT_EQ(Cp1251ToUtf8("\xAB\xBB"), "«»");
    EXPECT_EQ(Cp1251ToUtf8("\xA0"), "\u00A0");
}

TEST(Cp1251, EveryByteAgreesWithTheSystemConverter)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98)
            continue; // no character in the code page
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Cp1251ToUtf8(byte), ByIconv("UTF-8", "CP1251", byte)) << std::hex << b;
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << std::hex << b;
    }
}

TEST(Cp1251, AnyFileSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
    // The decoded text is well-formed UTF-8.
    EXPECT_NE(ByIconv("UTF-16LE", "UTF-8", utf8), "<iconv failed>");
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("😀"), "?");
    EXPECT_EQ(Utf8ToCp1251("é"), "?");
    EXPECT_EQ(Utf8ToCp1251("Цена: 5€"), "\xD6\xE5\xED\xE0: 5\x88");
}

TEST(Cp1251, MalformedUtf8BecomesQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1251("\x80"), "?");               // a lone continuation byte
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");               // cut off at the end
    EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "?");
    EXPECT_EQ(Utf8ToCp1251("\xD0" "A"), "?A");          // cut off before a plain letter
    const std::string cut = Utf8ToCp1251("x\xE2\x82" "yz");
    ASSERT_GE(cut.size(), 4u) << cut;
    EXPECT_EQ(cut.substr(0, 1), "x");
    EXPECT_EQ(cut.substr(cut.size() - 2), "yz");
    EXPECT_TRUE(OnlyQuestionMarks(cut.substr(1, cut.size() - 3))) << cut;
}

TEST(Cp1251, ATruncatedSequenceKeepsTheTextAfterIt)
{
    // A lead byte promising more bytes than are left must not eat the plain text after it.
    EXPECT_EQ(Utf8ToCp1251("x\xF0" "ab"), "x?ab");
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F" "A"), "?A");
    EXPECT_EQ(Utf8ToCp1251("\xE2" "a"), "?a");
}

TEST(Cp1251, OverlongFormsAndNonCharactersAreMalformed)
{
    // Overlong forms are malformed: "\xC0\xAF" must not turn into '/', nor
    // "\xC1\x81" into 'A', nor a three-byte overlong into a Russian letter.
    EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251("\xC0\xAF"))) << Utf8ToCp1251("\xC0\xAF");
    EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251("\xC1\x81"))) << Utf8ToCp1251("\xC1\x81");
    EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251("\xE0\x90\x90"))) << Utf8ToCp1251("\xE0\x90\x90");
    // Surrogates and code points past U+10FFFF are no characters.
    EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251("\xED\xA0\x80")));
    EXPECT_TRUE(OnlyQuestionMarks(Utf8ToCp1251("\xF4\x90\x80\x80")));
}

#include "numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using namespace korvala;

TEST(Formats, GroupThousandsWithSpaceAndDecimalComma)
{
    EXPECT_EQ(FormatN(1234.5, 3), "1 234,500");
    EXPECT_EQ(FormatN(-1234.5, 2), "-1 234,50");
    EXPECT_EQ(FormatF(1234.5, 3), "1234,500");
    EXPECT_EQ(FormatN(12345.678, 3), "12 345,678");
    EXPECT_EQ(FormatN(1000000000, 3), "1 000 000 000,000");
    EXPECT_EQ(FormatN(999.9996, 3), "1 000,000");
}

TEST(Formats, RoundLikePrintfOnTheBinaryValue)
{
    EXPECT_EQ(FormatN(1.0625, 3), "1,062");
    EXPECT_EQ(FormatF(-0.001, 2), "-0,00");
    EXPECT_EQ(FormatF(1.0005, 3), "1,000"); // 1.0005 is 1.000499999… in binary
    EXPECT_EQ(FormatN(2.675, 2), "2,67");
}

TEST(Conversion, ReadsCommaDecimals)
{
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(",5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("1,"), 1.0);
    EXPECT_DOUBLE_EQ(StrToFloat("  -2,25e1 "), -22.5);
    EXPECT_DOUBLE_EQ(StrToFloat("+1E-2"), 0.01);
    EXPECT_EQ(StrToFloat("0,01"), 0.01);
    EXPECT_EQ(StrToFloat("1238,5"), 1238.5);
}

TEST(Conversion, RejectsWhatIsNotANumber)
{
    for (const char *bad : {"", " ", ",", "1.5", "1 000", "inf", "nan", "1e", "1e+", "--1", "1,2,3",
                            "1e999", "abc", "1\t"}) {
        double v = 0;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    }
    try {
        StrToFloat("12.5");
        FAIL();
    } catch (const ConvertError &e) {
        EXPECT_STREQ(e.what(), "'12.5' is not a valid floating point value");
    }
}

// ---------------------------------------------------------------------------------------
// Conversion: the grammar, item by item
// ---------------------------------------------------------------------------------------

TEST(Conversion, BlanksAroundAreFineButOnlyPlainSpaces)
{
    EXPECT_EQ(StrToFloat("   7"), 7.0);
    EXPECT_EQ(StrToFloat("7   "), 7.0);
    EXPECT_EQ(StrToFloat(" +7,25 "), 7.25);
    double v = 0;
    for (const char *bad : {"\t7", "7\n", "7\r", "\xA0" "7", "- 7", "7 ,5", "7, 5", "7 e2", "7e 2"})
        EXPECT_FALSE(TryStrToFloat(bad, v)) << '[' << bad << ']';
}

TEST(Conversion, DecimalCommaOnEitherSideOfTheDigits)
{
    EXPECT_EQ(StrToFloat(",5"), 0.5);
    EXPECT_EQ(StrToFloat("-,5"), -0.5);
    EXPECT_EQ(StrToFloat("1,"), 1.0);
    EXPECT_EQ(StrToFloat("0,"), 0.0);
    EXPECT_EQ(StrToFloat("007,50"), 7.5);
    EXPECT_EQ(StrToFloat("1,e2"), 100.0);
    EXPECT_EQ(StrToFloat(",5e1"), 5.0);
    EXPECT_EQ(StrToFloat("2,5E-3"), 0.0025);
    EXPECT_EQ(StrToFloat("1e+05"), 100000.0);
    EXPECT_EQ(StrToFloat("-0"), 0.0);
    EXPECT_TRUE(std::signbit(StrToFloat("-0")));
}

TEST(Conversion, PointsSeparatorsWordsAndStrayCharactersAreErrors)
{
    double v = 123;
    for (const char *bad :
         {"+", "-", ",", "+,", "e5", ",e5", "E", "1e5,", "1e5.5", "1e2e3", "1,5,", ",,5", "1'000",
          "1 000,5", "1.000,5", "0x10", "1_000", "Infinity", "-inf", "INF", "NaN", "nan(1)",
          "1,5 x", "x1", "1-", "+-1", "1e--2", "١"}) {
        EXPECT_FALSE(TryStrToFloat(bad, v)) << '[' << bad << ']';
        EXPECT_EQ(v, 123) << "a failed conversion leaves the value alone: " << bad;
        EXPECT_EQ(StrToFloatDef0(bad), 0.0) << bad;
    }
}

TEST(Conversion, ErrorTextQuotesTheTextExactly)
{
    for (const std::string &bad : {std::string(""), std::string(" 1.5 "), std::string("1 000"),
                                  std::string("abc"), std::string("сто")}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "no error for [" << bad << ']';
        } catch (const ConvertError &e) {
            EXPECT_EQ(std::string(e.what()), "'" + bad + "' is not a valid floating point value");
        }
    }
}

TEST(Conversion, BeyondTheRangeOfADoubleIsAnError)
{
    double v = 0;
    EXPECT_FALSE(TryStrToFloat("1e309", v));
    EXPECT_FALSE(TryStrToFloat("-1e309", v));
    EXPECT_FALSE(TryStrToFloat("1,8e308", v));
    EXPECT_FALSE(TryStrToFloat("1" + std::string(400, '0'), v));
    EXPECT_FALSE(TryStrToFloat("1" + std::string(400, '0') + ",5", v));
    EXPECT_FALSE(TryStrToFloat("1e99999999999999999999", v));
    // The largest double itself still converts.
    EXPECT_EQ(StrToFloat("1,7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(StrToFloat("-1,7976931348623157e308"), -std::numeric_limits<double>::max());
}

TEST(Conversion, TinyValuesReadAsZeroWhateverTheSpelling)
{
    // Far below the smallest double: the value is zero, not out of range, and two
    // spellings of the same tiny value must agree.
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    EXPECT_EQ(StrToFloat("0," + std::string(399, '0') + "1"), 0.0);
    EXPECT_EQ(StrToFloat("1e-99999999999999999999"), 0.0);
    double v = -1;
    EXPECT_TRUE(TryStrToFloat("0," + std::string(500, '0') + "1e100", v))
        << "1e-401 written with a positive exponent must read as 0 like 1e-401";
    EXPECT_EQ(v, 0.0);
}

// The nearest double to a decimal text, by the C library (point separator, "C" locale).
double Reference(const std::string &commaText)
{
    std::string s = commaText;
    for (char &c : s)
        if (c == ',')
            c = '.';
    return std::strtod(s.c_str(), nullptr);
}

TEST(Conversion, GivesTheNearestDoubleLikeTheCLibrary)
{
    std::mt19937 rng(20240601);
    auto digits = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s.push_back(static_cast<char>('0' + rng() % 10));
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        if (rng() % 4 == 0)
            text += '-';
        const int intDigits = static_cast<int>(rng() % 25);
        const int fracDigits = static_cast<int>(rng() % 25);
        text += digits(intDigits);
        if (fracDigits > 0 || rng() % 2)
            text += ',' + digits(fracDigits);
        if (intDigits == 0 && fracDigits == 0)
            text += '7';
        if (rng() % 5 == 0)
            text += "e" + std::to_string(static_cast<int>(rng() % 601) - 300);
        double v = 0;
        const double expected = Reference(text);
        if (std::isinf(expected)) {
            EXPECT_FALSE(TryStrToFloat(text, v)) << text;
            continue;
        }
        ASSERT_TRUE(TryStrToFloat(text, v)) << text;
        EXPECT_EQ(v, expected) << text;
    }
    // Texts that are hard to round: halfway cases and long mantissas.
    for (const char *hard : {"9007199254740993", "9007199254740993,0000000001",
                             "0,1000000000000000055511151231257827021181583404541015625",
                             "2,2250738585072011e-308", "4,9406564584124654e-324",
                             "1234,5678", "0,3", "99999999999999999999999", "123456789012345678901234,5"}) {
        EXPECT_EQ(StrToFloat(hard), Reference(hard)) << hard;
    }
}

TEST(Conversion, WholeNumbersWithFallback)
{
    EXPECT_EQ(StrToIntDef("12", -9), 12);
    EXPECT_EQ(StrToIntDef("-7", -9), -7);
    EXPECT_EQ(StrToIntDef("+7", -9), 7);
    EXPECT_EQ(StrToIntDef("007", -9), 7);
    EXPECT_EQ(StrToIntDef("2147483647", -9), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", -9), std::numeric_limits<int>::min());
    for (const char *bad : {"", "+", "-", "2147483648", "-2147483649", "99999999999999999999", "1a",
                            "1,0", "1.0", "1e2", "0x1"})
        EXPECT_EQ(StrToIntDef(bad, -9), -9) << '[' << bad << ']';
}

// ---------------------------------------------------------------------------------------
// Formats
// ---------------------------------------------------------------------------------------

TEST(Formats, IntegersArePlain)
{
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(6), "6");
    EXPECT_EQ(FormatInt(-12345), "-12345");
    EXPECT_EQ(FormatInt(1234567), "1234567");
}

TEST(Formats, NegativeZeroAfterRoundingKeepsItsSign)
{
    EXPECT_EQ(FormatN(-0.004, 2), "-0,00");
    EXPECT_EQ(FormatN(-0.0004, 3), "-0,000");
    EXPECT_EQ(FormatF(-0.0004, 3), "-0,000");
    EXPECT_EQ(FormatN(0.004, 2), "0,00");
    EXPECT_EQ(FormatN(-0.005001, 2), "-0,01");
}

TEST(Formats, GroupsOnlyTheIntegerPart)
{
    EXPECT_EQ(FormatN(0, 3), "0,000");
    EXPECT_EQ(FormatN(100, 3), "100,000");
    EXPECT_EQ(FormatN(999.9995, 3), "1 000,000"); // 999.99950000000001… rounds up
    EXPECT_EQ(FormatN(1000, 2), "1 000,00");
    EXPECT_EQ(FormatN(-1234567.891, 3), "-1 234 567,891");
    EXPECT_EQ(FormatN(-999, 3), "-999,000");
    EXPECT_EQ(FormatN(123456, 3), "123 456,000");
    EXPECT_EQ(FormatF(-1234567.891, 3), "-1234567,891");
    EXPECT_EQ(FormatF(1000000000, 3), "1000000000,000");
}

// printf in the "C" locale, then the program's separators put in by hand.
std::string ReferenceFormat(double v, int decimals, bool grouped)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    const std::size_t point = s.find('.');
    std::string integer = s.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : "," + s.substr(point + 1);
    std::string sign;
    if (!integer.empty() && integer[0] == '-') {
        sign = "-";
        integer.erase(0, 1);
    }
    if (grouped)
        for (int i = static_cast<int>(integer.size()) - 3; i > 0; i -= 3)
            integer.insert(static_cast<std::size_t>(i), " ");
    return sign + integer + fraction;
}

TEST(Formats, AgreeWithPrintfOnRandomValues)
{
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    for (int i = 0; i < 20000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, static_cast<int>(rng() % 30) - 8);
        for (int decimals : {0, 2, 3}) {
            ASSERT_EQ(FormatN(v, decimals), ReferenceFormat(v, decimals, true)) << v;
            ASSERT_EQ(FormatF(v, decimals), ReferenceFormat(v, decimals, false)) << v;
        }
    }
    // Values that lie exactly halfway in binary go to the even neighbour, as printf does.
    for (double v : {0.5, 1.5, 2.5, 0.125, 0.375, 1.0625, 2.0625, 1234.5625, -1.0625})
        for (int decimals : {0, 2, 3})
            EXPECT_EQ(FormatN(v, decimals), ReferenceFormat(v, decimals, true)) << v;
}

TEST(Formats, ConversionReadsBackWhatFormatFWrites)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    for (int i = 0; i < 2000; ++i) {
        const double v = value(rng);
        const std::string text = FormatF(v, 3);
        EXPECT_EQ(StrToFloat(text), Reference(text)) << text;
        EXPECT_NEAR(StrToFloat(text), v, 0.0005 + 1e-9) << text;
    }
}

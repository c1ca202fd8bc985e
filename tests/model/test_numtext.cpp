#include "numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using namespace korvala;

namespace {

// The nearest double to a decimal text, by the C library (point separator, "C" locale).
double Reference(std::string text)
{
    for (char &c : text)
        c = c == ',' ? '.' : c;
    return std::strtod(text.c_str(), nullptr);
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
    const std::string sign = integer[0] == '-' ? "-" : "";
    integer.erase(0, sign.size());
    for (int i = static_cast<int>(integer.size()) - 3; grouped && i > 0; i -= 3)
        integer.insert(static_cast<std::size_t>(i), " ");
    return sign + integer + fraction;
}

} // namespace

TEST(Conversion, ReadsCommaDecimalsAndRejectsWhatIsNotANumberNamingIt)
{
    const std::pair<const char *, double> cases[] = {
        {"1,5", 1.5},     {",5", 0.5},     {"-,5", -0.5},   {"1,", 1},         {"0,", 0},
        {"007,50", 7.5},  {"1,e2", 100},   {",5e1", 5},     {"2,5E-3", 0.0025}, {"1e+05", 1e5},
        {"+1E-2", 0.01},  {"0,01", 0.01},  {"   7", 7},     {"7   ", 7},       {" +7,25 ", 7.25},
        {"  -2,25e1 ", -22.5}, {"1,7976931348623157e308", std::numeric_limits<double>::max()}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(StrToFloat(text), value) << text;
    EXPECT_TRUE(std::signbit(StrToFloat("-0")));
    // Far below the smallest double: zero, not out of range, whatever the spelling.
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    EXPECT_EQ(StrToFloat("0," + std::string(399, '0') + "1"), 0.0);
    EXPECT_EQ(StrToFloat("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(StrToFloat("0," + std::string(500, '0') + "1e100"), 0.0);

    for (const std::string &bad : std::vector<std::string>{
             "", " ", ",", "+", "-", "+,", "e5", ",e5", "1e", "1e+", "1.5", " 1.5 ", "1 000", "1 000,5",
             "1.000,5", "1'000", "1_000", "0x10", "inf", "-inf", "INF", "Infinity", "nan", "NaN", "nan(1)",
          "--1", "+-1", "1-", "1e--2", "1,2,3", "1,5,", ",,5", "1e5,", "1e5.5", "1e2e3", "abc", "x1",
          "1,5 x", "сто", "١", "\t7", "7\n", "7\r", "\xA0" "7", "- 7", "7 ,5", "7, 5", "7 e2", "7e 2",
          "1e309", "-1e309", "1,8e308", "1e99999999999999999999", "1" + std::string(400, '0') + ",5"}) {
        double v = 123;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << '[' << bad << ']';
        EXPECT_EQ(v, 123) << "a failed conversion leaves the value alone: " << bad;
        EXPECT_EQ(StrToFloatDef0(bad), 0.0) << bad;
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "no error for [" << bad << ']';
        } catch (const ConvertError &e) {
            EXPECT_EQ(std::string(e.what()), "'" + bad + "' is not a valid floating point value");
        }
    }
}

TEST(Conversion, ErrorTextsStayShowable)
{
    // A NUL byte would end the C string of the message; a field of megabytes would take
    // the message box seconds to lay out.
    try {
        StrToFloat(std::string("1\0", 2));
        FAIL();
    } catch (const ConvertError &e) {
        EXPECT_STREQ(e.what(), "'1\u2400' is not a valid floating point value");
    }
    try {
        StrToFloat(std::string(1 << 20, 'x'));
        FAIL();
    } catch (const ConvertError &e) {
        EXPECT_LT(std::string(e.what()).size(), 1100u);
    }
}

TEST(Conversion, GivesTheNearestDoubleLikeTheCLibrary)
{
    std::mt19937 rng(20240601);
    const auto digits = [&](unsigned n) {
        std::string s;
        while (n-- > 0)
            s.push_back(static_cast<char>('0' + rng() % 10));
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = rng() % 4 ? "" : "-";
        const unsigned intDigits = rng() % 25, fracDigits = rng() % 25;
        text += digits(intDigits);
        if (fracDigits > 0 || rng() % 2)
            text += ',' + digits(fracDigits);
        text += intDigits + fracDigits == 0 ? "7" : "";
        if (rng() % 5 == 0)
            text += "e" + std::to_string(static_cast<int>(rng() % 601) - 300);
        double v = 0;
        const double expected = Reference(text);
        ASSERT_EQ(TryStrToFloat(text, v), !std::isinf(expected)) << text;
        if (!std::isinf(expected)) {
            EXPECT_EQ(v, expected) << text;
        }
    }
    // Texts that are hard to round: halfway cases and long mantissas.
    for (const char *hard : {"9007199254740993", "9007199254740993,0000000001",
                             "0,1000000000000000055511151231257827021181583404541015625",
                             "2,2250738585072011e-308", "4,9406564584124654e-324", "99999999999999999999999"})
        EXPECT_EQ(StrToFloat(hard), Reference(hard)) << hard;
}

TEST(Conversion, WholeNumbersWithFallback)
{
    for (const auto &[text, value] : std::vector<std::pair<const char *, int>>{
             {"12", 12}, {"-7", -7}, {"+7", 7}, {"007", 7}, {"2147483647", 2147483647},
             {"-2147483648", std::numeric_limits<int>::min()}})
        EXPECT_EQ(StrToIntDef(text, -9), value) << text;
    for (const char *bad : {"", "+", "-", "2147483648", "-2147483649", "99999999999999999999", "1a",
                            "1,0", "1.0", "1e2", "0x1", "+-5", " 5"})
        EXPECT_EQ(StrToIntDef(bad, -9), -9) << '[' << bad << ']';
}

// The text a spin edit shows once the user leaves it.
TEST(Conversion, SpinTextSettlesIntoTheRangeOrNowhere)
{
    for (const auto &[text, value] : std::vector<std::pair<const char *, int>>{
             {"7", 7}, {"+7", 7}, {"1", 1}, {"12", 12}, {"0", 1}, {"13", 12}, {"-5", 1}, {"-0", 1},
             {"99999999999", 12}, {"-99999999999999999999999", 1}, {"0000000000000000000000009", 9}})
        EXPECT_EQ(SpinEditSettledValue(text, 1, 12), value) << text;
    for (const char *bad : {"", "-", "+", "1-2", "--1", " 5", "5 ", "1,0", "x"})
        EXPECT_EQ(SpinEditSettledValue(bad, 1, 12), std::nullopt) << '[' << bad << ']';
    // A range reaching past 32 bits' worth of digits keeps its bounds.
    EXPECT_EQ(SpinEditSettledValue("2147483648", -5, std::numeric_limits<int>::max()),
              std::numeric_limits<int>::max());
    EXPECT_EQ(SpinEditSettledValue("-2147483649", std::numeric_limits<int>::min(), 0),
              std::numeric_limits<int>::min());
}

// What FormatN writes ("1 285,00") reads back; a blank that is no thousands grouping
// leaves the text what it was, not a number.
TEST(Conversion, GroupedNumbersReadBack)
{
    for (const auto &[text, value] : std::vector<std::pair<const char *, double>>{
             {"1 285,00", 1285}, {"-1 234 567,891", -1234567.891}, {"12 345", 12345},
             {" 1 000,5 ", 1000.5}, {"+999 999", 999999}, {"1\u00A0285,5", 1285.5},
             {"1\u202F285", 1285}, {"1 000e3", 1e6}, {"250", 250}, {"2,5", 2.5}, {",5", 0.5}})
        EXPECT_EQ(GroupedStrToFloatDef0(text), value) << text;
    for (const char *notGrouped : {"1 28,00", "1285 000", "1 2850", "1  285", "1 285 12", "12 ,5",
                                   "1 285.00", "1\u2009285", "1 285,000 000", "x 285"})
        EXPECT_EQ(GroupedStrToFloatDef0(notGrouped), 0.0) << notGrouped;
    std::mt19937_64 rng(5);
    for (int i = 0; i < 2000; ++i) {
        const double v = std::ldexp(static_cast<double>(rng() % (1ULL << 40)), -7) * (i % 2 ? 1 : -1);
        // The same digits without the grouping read as they always did.
        ASSERT_EQ(GroupedStrToFloatDef0(FormatN(v, 2)), StrToFloat(FormatF(v, 2))) << FormatN(v, 2);
    }
}

TEST(Formats, GroupThousandsWithSpaceAndRoundLikePrintf)
{
    const struct
    {
        double value;
        int decimals;
        const char *n, *f;
    } cases[] = {
        {1234.5, 3, "1 234,500", "1234,500"},       {-1234.5, 2, "-1 234,50", "-1234,50"},
        {12345.678, 3, "12 345,678", "12345,678"},  {1e9, 3, "1 000 000 000,000", "1000000000,000"},
        {999.9996, 3, "1 000,000", "1000,000"},     {-1234567.891, 3, "-1 234 567,891", "-1234567,891"},
        {-999, 3, "-999,000", "-999,000"},          {123456, 0, "123 456", "123456"},
        {1.0625, 3, "1,062", "1,062"},              {1.0005, 3, "1,000", "1,000"}, // 1.000499999…
        {2.675, 2, "2,67", "2,67"},                 {-0.004, 2, "-0,00", "-0,00"},
        {-0.0004, 3, "-0,000", "-0,000"},           {0.004, 2, "0,00", "0,00"},
        {-0.005001, 2, "-0,01", "-0,01"},           {0, 3, "0,000", "0,000"}};
    for (const auto &c : cases) {
        EXPECT_EQ(FormatN(c.value, c.decimals), c.n) << c.value;
        EXPECT_EQ(FormatF(c.value, c.decimals), c.f) << c.value;
    }
    EXPECT_EQ(FormatInt(-12345) + " " + FormatInt(1234567), "-12345 1234567");
}

TEST(Formats, AgreeWithPrintfAndReadBack)
{
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    for (int i = 0; i < 20000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, static_cast<int>(rng() % 30) - 8);
        for (int decimals : {0, 2, 3}) {
            ASSERT_EQ(FormatN(v, decimals), ReferenceFormat(v, decimals, true)) << v;
            ASSERT_EQ(FormatF(v, decimals), ReferenceFormat(v, decimals, false)) << v;
        }
        if (std::fabs(v) < 1e6) {
            ASSERT_NEAR(StrToFloat(FormatF(v, 3)), v, 0.0005 + 1e-9) << v;
        }
    }
    // Values that lie exactly halfway in binary go to the even neighbour, as printf does.
    for (double v : {0.5, 1.5, 2.5, 0.125, 0.375, 2.0625, 1234.5625, -1.0625})
        for (int decimals : {0, 2, 3})
            EXPECT_EQ(FormatN(v, decimals), ReferenceFormat(v, decimals, true)) << v;
}

TEST(Formats, RoundTripTextsAreShortExactAndReadBack)
{
    const struct
    {
        double value;
        const char *text;
    } cases[] = {{12.5, "12,5"},   {3, "3"},         {-0.25, "-0,25"},   {1e-7, "0,0000001"},
                 {1e15, "1000000000000000"},          {0.1 + 0.2, "0,30000000000000004"},
                 {9.4, "9,4"},     {-1234.5, "-1234,5"}, {0, "0"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatRoundTrip(c.value), c.text) << c.value;
    // Every text reads back to the very same double, however many digits that takes.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    for (int i = 0; i < 5000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, static_cast<int>(rng() % 24) - 12);
        const std::string text = FormatRoundTrip(v);
        ASSERT_EQ(text.find_first_of(".eE "), std::string::npos) << text;
        ASSERT_EQ(StrToFloat(text), v) << text;
    }
    EXPECT_EQ(FormatRoundTrip(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatRoundTrip(std::numeric_limits<double>::max()).size(), 309u);
}

TEST(NumberMarks, PointOrCommaGiveTheSameDouble)
{
    const struct
    {
        const char *point, *comma;
    } same[] = {{"54.0300000", "54,0300000"}, {"-0.1", "-0,1"}, {" 1.5e3 ", " 1,5e3 "}, {".5", ",5"},
                {"123456789.123456789", "123456789,123456789"}, {"1e-400", "1e-400"}};
    for (const auto &c : same) {
        double a = -1, b = -2;
        ASSERT_TRUE(TryReadNumber(c.point, '.', a)) << c.point;
        ASSERT_TRUE(TryReadNumber(c.comma, ',', b)) << c.comma;
        EXPECT_EQ(a, b) << c.point;
        EXPECT_EQ(a, StrToFloat(c.comma)) << c.point;
    }
    double v = 0;
    for (const char *bad : {"1,5", "1.5.5", "", "null", "1e999"})
        EXPECT_FALSE(TryReadNumber(bad, '.', v)) << bad;
    EXPECT_FALSE(TryReadNumber("1.5", ',', v));
}

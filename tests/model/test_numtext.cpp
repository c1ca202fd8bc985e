#include "numtext.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The ConvertError's text for a text StrToFloat refuses ("" when it reads it).
std::string Refusal(std::string_view text)
{
    return test::ErrorOf<ConvertError>([&] { StrToFloat(text); });
}

} // namespace

TEST(Conversion, ReadsCommaDecimalsAndRejectsWhatIsNotANumberNamingIt)
{
    const std::pair<const char *, double> cases[] = {
        {"1,5", 1.5},       {"-,5", -0.5},   {"1,", 1},         {"1,e2", 100},
        {"2,5E-3", 0.0025}, {"+1E-2", 0.01}, {" +7,25 ", 7.25}, {"1,7976931348623157e308", 1.7976931348623157e308}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(StrToFloat(text), value) << text;
    EXPECT_TRUE(std::signbit(StrToFloat("-0")));
    // Far below the smallest double: zero, not out of range, whatever the spelling.
    EXPECT_EQ(StrToFloat("0," + std::string(399, '0') + "1"), 0.0);
    EXPECT_EQ(StrToFloat("1e-99999999999999999999"), 0.0);

    for (const std::string &bad : std::vector<std::string>{
             "", " ", "+,", ",e5", "1e+", "1.5", "1 000", "0x10", "inf", "nan", "--1", "1-", "1,2,3", "1e5,",
             "1,5 x", "сто", "\t7", "7\n", "7\r", "- 7", "7 ,5", "7e 2", "1,8e308", "1e99999999999999999999"}) {
        double v = 123;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << '[' << bad << ']';
        EXPECT_EQ(v, 123) << "a failed conversion leaves the value alone: " << bad;
        EXPECT_EQ(StrToFloatDef0(bad), 0.0) << bad;
        EXPECT_EQ(Refusal(bad), "'" + bad + "' is not a valid floating point value");
    }
    double v = 0;
    for (const char *bad : {"1,5", "1.5.5", "null", "1e999"})
        EXPECT_FALSE(TryReadNumber(bad, '.', v)) << bad;
    EXPECT_TRUE(TryReadNumber(" 1.5e3 ", '.', v) && v == 1500);
    // The text stays showable: a NUL byte would end the C string of the message; a field
    // of megabytes would take the message box seconds to lay out.
    EXPECT_EQ(Refusal(std::string("1\0", 2)), "'1\u2400' is not a valid floating point value");
    const std::string huge = Refusal(std::string(1 << 20, 'x'));
    EXPECT_TRUE(!huge.empty() && huge.size() < 1100u) << huge.size();
}

// The reading of the edits, and that of files written elsewhere with either mark.
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
        double v = 0, comma = 0, point = 0;
        const double expected = Reference(text);
        ASSERT_EQ(TryStrToFloat(text, v), !std::isinf(expected)) << text;
        ASSERT_EQ(TryReadNumber(text, ',', comma), !std::isinf(expected)) << text;
        std::string pointText = text;
        std::replace(pointText.begin(), pointText.end(), ',', '.');
        ASSERT_EQ(TryReadNumber(pointText, '.', point), !std::isinf(expected)) << pointText;
        if (!std::isinf(expected)) {
            ASSERT_EQ(v, expected) << text;
            ASSERT_EQ(comma, expected) << text;
            ASSERT_EQ(point, expected) << pointText;
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
             {"-7", -7}, {"+007", 7}, {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<int>::min()}})
        EXPECT_EQ(StrToIntDef(text, -9), value) << text;
    for (const char *bad : {"", "-", "2147483648", "-2147483649", "1a", "1,0", "+-5", " 5"})
        EXPECT_EQ(StrToIntDef(bad, -9), -9) << '[' << bad << ']';
}

// The text a spin edit shows once the user leaves it.
TEST(Conversion, SpinTextSettlesIntoTheRangeOrNowhere)
{
    for (const auto &[text, value] : std::vector<std::pair<const char *, int>>{
             {"+7", 7}, {"12", 12}, {"0", 1}, {"13", 12}, {"-0", 1}, {"99999999999", 12},
             {"-99999999999999999999999", 1}, {"0000000000000000000000009", 9}})
        EXPECT_EQ(SpinEditSettledValue(text, 1, 12), value) << text;
    for (const char *bad : {"", "-", "1-2", " 5", "1,0"})
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
             {"-1 234 567,891", -1234567.891}, {" 1 000,5 ", 1000.5}, {"+999 999", 999999},
             {"1\u00A0285,5", 1285.5}, {"1\u202F285", 1285}, {"1 000e3", 1e6}, {",5", 0.5}})
        EXPECT_EQ(GroupedStrToFloatDef0(text), value) << text;
    for (const char *notGrouped : {"1 28,00", "1285 000", "1 2850", "1  285", "12 ,5", "1\u2009285",
                                   "1 285,000 000"})
        EXPECT_EQ(GroupedStrToFloatDef0(notGrouped), 0.0) << notGrouped;
    std::mt19937_64 rng(5);
    for (int i = 0; i < 2000; ++i) {
        const double v = std::ldexp(static_cast<double>(rng() % (1ULL << 40)), -7) * (i % 2 ? 1 : -1);
        // The same digits without the grouping read as they always did.
        ASSERT_EQ(GroupedStrToFloatDef0(FormatN(v, 2)), StrToFloat(FormatF(v, 2))) << FormatN(v, 2);
    }
}

// Against printf in the "C" locale with the separators put in by hand (a few values worked
// by hand first), over random values and values exactly halfway in binary.
TEST(Formats, AgreeWithPrintfAndReadBack)
{
    EXPECT_EQ(FormatN(-1234567.891, 3) + " " + FormatF(-1234567.891, 3), "-1 234 567,891 -1234567,891");
    EXPECT_EQ(FormatN(999.9996, 3) + " " + FormatN(-0.004, 2) + " " + FormatN(123456, 0), "1 000,000 -0,00 123 456");
    EXPECT_EQ(FormatInt(-12345) + " " + FormatInt(1234567), "-12345 1234567");
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
    } cases[] = {{3, "3"}, {-0.25, "-0,25"}, {1e-7, "0,0000001"}, {1e15, "1000000000000000"},
                 {0.1 + 0.2, "0,30000000000000004"}};
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

#include "numtext.h"

#include <gtest/gtest.h>

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

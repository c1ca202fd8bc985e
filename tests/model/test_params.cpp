#include "numtext.h"
#include "params.h"
#include "uChartFin.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

using namespace korvala;

// ---------------------------------------------------------------------------------------
// Automatic box and reversal texts
// ---------------------------------------------------------------------------------------

TEST(AutoParams, BelowOneHundredthTheFloorTexts)
{
    for (double a : {0.005, 0.0, 0.0099999, -1.0}) {
        const ParamTexts t = AutoParamTexts(a);
        EXPECT_EQ(t.box, "0,01") << a;
        EXPECT_EQ(t.reverse, "0,03") << a;
    }
}

TEST(AutoParams, ExactlyOneHundredthTakesTheFormattedBranch)
{
    const ParamTexts t = AutoParamTexts(0.01);
    EXPECT_EQ(t.box, "0,010");
    EXPECT_EQ(t.reverse, "0,030");
}

TEST(AutoParams, ReversalIsRoundedAfterMultiplying)
{
    const ParamTexts t = AutoParamTexts(1.23456);
    EXPECT_EQ(t.box, "1,235");
    EXPECT_EQ(t.reverse, "3,704"); // not 3 × 1,235 = 3,705
}

TEST(AutoParams, NoThousandsSeparatorInTheEdits)
{
    const ParamTexts t = AutoParamTexts(1234.5678);
    EXPECT_EQ(t.box, "1234,568");
    EXPECT_EQ(t.reverse, "3703,703");
    // The texts convert back.
    EXPECT_EQ(StrToFloat(t.box), 1234.568);
}

TEST(ReadParamsRule, BothMustBeAtLeastOneHundredth)
{
    EXPECT_TRUE(ParamsUsable(StrToFloat("0,01"), StrToFloat("0,01")));
    EXPECT_TRUE(ParamsUsable(1, 3));
    EXPECT_TRUE(ParamsUsable(5, 0.01)); // a reversal smaller than the box is allowed
    EXPECT_FALSE(ParamsUsable(0.0099, 3));
    EXPECT_FALSE(ParamsUsable(1, 0.0099));
    EXPECT_FALSE(ParamsUsable(0, 0));
    EXPECT_FALSE(ParamsUsable(-1, 3));
}

// ---------------------------------------------------------------------------------------
// The edit check
// ---------------------------------------------------------------------------------------

TEST(EditCheck, TheListedCases)
{
    EditCheck c = CheckParamEdit("2,");
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.value, 2.0);

    c = CheckParamEdit("2.5");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Неверный формат <2.5>");

    c = CheckParamEdit("");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Неверный формат <>");

    c = CheckParamEdit("-1");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Неверный формат <-1>");

    c = CheckParamEdit("0,005");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Слишком малое значение <0,005>");

    c = CheckParamEdit("0,01");
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.value, 0.01);
    EXPECT_TRUE(c.message.empty());
}

TEST(EditCheck, MoreTexts)
{
    struct Case
    {
        const char *text;
        bool ok;
        double value;
        const char *message;
    };
    const Case cases[] = {
        {"1", true, 1, ""},
        {"00,01", true, 0.01, ""},
        {"1234,5678", true, 1234.5678, ""},
        {"3,", true, 3, ""},
        {"0", false, 0, "Слишком малое значение <0>"},
        {"0,", false, 0, "Слишком малое значение <0,>"},
        {"0,0099", false, 0, "Слишком малое значение <0,0099>"},
        {",5", false, 0, "Неверный формат <,5>"},
        {" 1", false, 0, "Неверный формат < 1>"},
        {"1 ", false, 0, "Неверный формат <1 >"},
        {"1 000", false, 0, "Неверный формат <1 000>"},
        {"+1", false, 0, "Неверный формат <+1>"},
        {"1e5", false, 0, "Неверный формат <1e5>"},
        {"1,2,3", false, 0, "Неверный формат <1,2,3>"},
        {"1,,", false, 0, "Неверный формат <1,,>"},
        {"abc", false, 0, "Неверный формат <abc>"},
        {"один", false, 0, "Неверный формат <один>"},
        {"1\n", false, 0, "Неверный формат <1\n>"},
    };
    for (const Case &c : cases) {
        const EditCheck r = CheckParamEdit(c.text);
        EXPECT_EQ(r.ok, c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(r.value, c.value) << c.text;
        else
            EXPECT_EQ(r.message, c.message) << c.text;
    }
}

TEST(EditCheck, AHugePastedTextIsHandled)
{
    const std::string digits(200000, '7');
    const EditCheck r = CheckParamEdit(digits);
    EXPECT_FALSE(r.ok); // beyond the range of a double
    EXPECT_FALSE(r.message.empty());
    const EditCheck s = CheckParamEdit("1," + std::string(200000, '0'));
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.value, 1.0);
}

TEST(EditCheck, PatternAgreesWithTheRegularExpression)
{
    const std::regex pattern("(^\\d+$|^\\d+\\,\\d*$)");
    const char alphabet[] = {'0', '1', '9', ',', '.', ' ', '-', '+', 'e', 'a', '\n', '\t'};
    std::mt19937 rng(99);
    for (int i = 0; i < 50000; ++i) {
        std::string s;
        const int n = static_cast<int>(rng() % 7);
        for (int j = 0; j < n; ++j)
            s.push_back(alphabet[rng() % sizeof alphabet]);
        ASSERT_EQ(MatchesParamPattern(s), std::regex_match(s, pattern) || std::regex_search(s, pattern))
            << '[' << s << ']';
    }
}

// ---------------------------------------------------------------------------------------
// Statistics texts, period count, caption
// ---------------------------------------------------------------------------------------

namespace {

void Load(TFList &list, const std::string &body)
{
    ASSERT_TRUE(list.LoadFromStream("<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n" + body));
}

} // namespace

TEST(StatisticsTexts, LinesInOrderWithTheirBlanks)
{
    TFList list;
    Load(list, "01.12.05;10:00;1234,5;2000;-3,25;1500;10\r\n"
               "02.12.05;10:00;1000;1999,9996;1;1000000;20\r\n");
    const std::vector<std::string> expected = {
        "Count point = 2",
        "OPEN  max = 1 234,500",
        "OPEN  min = 1 000,000",
        "HIGH  max = 2 000,000",
        "HIGH  min = 2 000,000", // 1999,9996 shown with three decimals
        "LOW   max = 1,000",
        "LOW   min = -3,250",
        "CLOSE max = 1 000 000,000",
        "CLOSE min = 1 500,000",
        "Avg (High-Low) = 499 250,000",
        "Auto box = 1,235",
        "Auto reversal = 3,704",
    };
    EXPECT_EQ(StatisticsLines(list, 1.235, 3.704), expected);
}

TEST(StatisticsTexts, AnEmptyListShowsTheStartValues)
{
    TFList fresh; // never loaded: AvgChange still -1
    const auto lines = StatisticsLines(fresh, 0, 0);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Count point = 0");
    EXPECT_EQ(lines[1], "OPEN  max = 0,000");
    EXPECT_EQ(lines[2], "OPEN  min = 1 000 000 000,000");
    EXPECT_EQ(lines[9], "Avg (High-Low) = -1,000");
    EXPECT_EQ(lines[10], "Auto box = 0,000");

    TFList empty;
    Load(empty, "");
    EXPECT_EQ(StatisticsLines(empty, 0.01, 0.03)[9], "Avg (High-Low) = 0,000");
    EXPECT_EQ(StatisticsLines(empty, 0.01, 0.03)[10], "Auto box = 0,010");
    EXPECT_EQ(StatisticsLines(empty, 0.01, 0.03)[11], "Auto reversal = 0,030");
}

TEST(CommonTexts, WithAndWithoutAList)
{
    EXPECT_EQ(CommonInfoLines(nullptr), std::vector<std::string>{"Котировки не загружены"});
    TFList empty;
    Load(empty, "");
    EXPECT_EQ(CommonInfoLines(&empty), (std::vector<std::string>{
                                           "Количество котировок = 0",
                                           "Максимальная цена закрытия = 0,000",
                                           "Минимальная цена закрытия = 1 000 000 000,000"}));
    TFList list;
    Load(list, "01.12.05;10:00;1;2;1;1234,5;1\r\n02.12.05;10:00;1;2;1;-0,0004;1\r\n");
    EXPECT_EQ(CommonInfoLines(&list), (std::vector<std::string>{
                                          "Количество котировок = 2",
                                          "Максимальная цена закрытия = 1 234,500",
                                          "Минимальная цена закрытия = -0,000"}));
}

TEST(PeriodCount, Texts)
{
    EXPECT_EQ(PeriodCountText(nullptr), "Количество периодов = 0");
    TFList list;
    Load(list, "01.12.05;10:00;1;2;1;1;1\r\n02.12.05;10:00;1;2;1;1;1\r\n03.12.05;10:00;1;2;1;1;1");
    EXPECT_EQ(PeriodCountText(&list), "Количество периодов = 3");
}

TEST(Caption, FileNameWithoutItsFolders)
{
    EXPECT_EQ(CaptionForFile("/home/user/data/quotes.txt"), "P & F file: quotes.txt");
    EXPECT_EQ(CaptionForFile("quotes.txt"), "P & F file: quotes.txt");
    EXPECT_EQ(CaptionForFile("./quotes.txt"), "P & F file: quotes.txt");
    EXPECT_EQ(CaptionForFile("/котировки/сбер 2005.txt"), "P & F file: сбер 2005.txt");
    // On this platform only "/" separates folders: a backslash or a colon is part of a name.
    EXPECT_EQ(CaptionForFile("C:\\data\\q.txt"), "P & F file: C:\\data\\q.txt");
    EXPECT_EQ(CaptionForFile("/tmp/a:b.txt"), "P & F file: a:b.txt");
    EXPECT_EQ(FileNameOf("/a/b/c"), "c");
}

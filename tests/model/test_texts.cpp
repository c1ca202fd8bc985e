#include "numtext.h"
#include "texts.h"
#include "quotes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

using namespace korvala;

using Lines = std::vector<std::string>;

namespace {

void Load(TFList &list, const Lines &lines) { ASSERT_TRUE(list.LoadFromStream(test::QuoteText(lines))); }

} // namespace

TEST(Params, AutomaticTextsAndTheReadParamsRule)
{
    const std::pair<double, const char *> cases[] = {
        {0.005, "0,01 0,03"}, {0.0099999, "0,01 0,03"}, {0, "0,01 0,03"},
        {0.01, "0,010 0,030"},          // the test is strict: 0,01 takes the formatted branch
        {1.23456, "1,235 3,704"},       // rounded after multiplying, not 3 × 1,235
        {1234.5678, "1234,568 3703,703"}}; // no thousands separator in the edits
    for (const auto &[avgChange, texts] : cases) {
        const ParamTexts t = AutoParamTexts(avgChange);
        EXPECT_EQ(t.box + " " + t.reverse, texts) << avgChange;
    }
    // Box and reversal must both be at least 0,01; a reversal below the box is allowed.
    EXPECT_TRUE(ParamsUsable(StrToFloat("0,01"), StrToFloat("0,01")));
    EXPECT_TRUE(ParamsUsable(5, 0.01));
    EXPECT_FALSE(ParamsUsable(0.0099, 3) || ParamsUsable(1, 0.0099) || ParamsUsable(-1, 3));
}

TEST(Params, TheEditCheckAcceptsOrNamesTheText)
{
    // Which texts the pattern takes is the comparison with the regular expression below.
    const std::pair<std::string, const char *> cases[] = {
        {"2,", ""}, {"0,01", ""}, {"00,01", ""}, {"1," + std::string(200000, '0'), ""},
        {"2.5", "Неверный формат <2.5>"}, {"", "Неверный формат <>"}, {"1\n", "Неверный формат <1\n>"},
        {"0", "Слишком малое значение <0>"}, {"0,0099", "Слишком малое значение <0,0099>"}};
    for (const auto &[text, message] : cases) {
        const EditCheck r = CheckParamEdit(text);
        EXPECT_EQ(r.message, message) << text;
        EXPECT_EQ(r.ok, !*message) << text;
        if (r.ok) {
            EXPECT_EQ(r.value, StrToFloat(text)) << text; // the value of "2," is 2
        }
    }
    EXPECT_FALSE(CheckParamEdit(std::string(200000, '7')).ok); // beyond a double, still an answer
    // The pattern is the regular expression (^\d+$|^\d+\,\d*$).
    const std::regex pattern("(^\\d+$|^\\d+\\,\\d*$)");
    const char alphabet[] = {'0', '1', '9', ',', '.', ' ', '-', '+', 'e', 'a', '\n', '\t'};
    std::mt19937 rng(99);
    for (int i = 0; i < 50000; ++i) {
        std::string s;
        for (unsigned n = rng() % 7; n > 0; --n)
            s.push_back(alphabet[rng() % sizeof alphabet]);
        ASSERT_EQ(MatchesParamPattern(s), std::regex_search(s, pattern)) << '[' << s << ']';
    }
}

TEST(Params, StatisticsCommonFiguresPeriodCountAndCaption)
{
    TFList list;
    Load(list, {"01.12.05;10:00;1234,5;2000;-3,25;1500;10", "02.12.05;10:00;1000;1999,9996;1;1000000;20"});
    EXPECT_EQ(StatisticsLines(list, 1.235, 3.704),
              (Lines{"Count point = 2", "OPEN  max = 1 234,500", "OPEN  min = 1 000,000",
                     "HIGH  max = 2 000,000", "HIGH  min = 2 000,000", "LOW   max = 1,000",
                     "LOW   min = -3,250",
                     "CLOSE max = 1 000 000,000", "CLOSE min = 1 500,000", "Avg (High-Low) = 499 250,000",
                     "Auto box = 1,235", "Auto reversal = 3,704"}));
    const TFList fresh; // never loaded: the start values, AvgChange still -1
    EXPECT_EQ(StatisticsLines(fresh, 0, 0)[2], "OPEN  min = 1 000 000 000,000");
    EXPECT_EQ(StatisticsLines(fresh, 0, 0)[9], "Avg (High-Low) = -1,000");

    EXPECT_EQ(CommonInfoLines(nullptr), Lines{"Котировки не загружены"});
    Load(list, {"01.12.05;10:00;1;2;1;1234,5;1", "02.12.05;10:00;1;2;1;-0,0004;1"});
    EXPECT_EQ(CommonInfoLines(&list), (Lines{"Количество котировок = 2",
                                             "Максимальная цена закрытия = 1 234,500",
                                             "Минимальная цена закрытия = -0,000"}));
    EXPECT_EQ(PeriodCountText(nullptr), "Количество периодов = 0");
    EXPECT_EQ(PeriodCountText(&list), "Количество периодов = 2");
    // The file name without its folders; only "/" separates folders on this platform.
    for (const auto &[path, caption] : std::vector<std::pair<const char *, const char *>>{
             {"/home/user/data/quotes.txt", "P & F file: quotes.txt"},
             {"/котировки/сбер 2005.txt", "P & F file: сбер 2005.txt"},
             {"C:\\data\\q.txt", "P & F file: C:\\data\\q.txt"}, {"/tmp/a:b.txt", "P & F file: a:b.txt"}})
        EXPECT_EQ(CaptionForFile(path), caption) << path;
}

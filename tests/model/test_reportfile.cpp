#include "reportfile.h"

#include "codec.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvala;

TEST(ReportFile, EveryLineEndsWithCrLfInCp1251WithoutBomFailuresAsTheReportsError)
{
    const test::TempDir dir;
    const std::string path = dir.File("rep0001.txt");
    const auto saved = [&](const std::vector<std::string> &lines) {
        SaveReportFile(path, lines);
        return test::ReadFile(path);
    };
    EXPECT_EQ(saved({"x", ""}), "x\r\n\r\n");
    EXPECT_EQ(saved({"Цель 1: 110,00", "Отчет"}), "\xD6\xE5\xEB\xFC 1: 110,00\r\n\xCE\xF2\xF7\xE5\xF2\r\n");
    // An empty report gives an empty file, replacing the earlier one silently.
    EXPECT_EQ(saved({}), "");
    // The reasons are the safe writer's; here they come as the report's error.
    EXPECT_THROW(SaveReportFile(dir.File("no such folder/rep0001.txt"), {"a"}), ReportFileError);
}

TEST(ReportFileLossWarning, NamesTheCharactersThatWouldBecomeQuestionMarks)
{
    EXPECT_EQ(ReportFileLossWarning({"Цель 1: 1 234,50 €", "", "a?b"}), "");
    EXPECT_EQ(ReportFileLossWarning({"Цена 5€ 日", "本 и 日"}),
              "В кодировке файла отчета (cp1251) нет символов: «日» (U+65E5), «本» (U+672C).\n"
              "При сохранении они будут заменены знаком «?».\n\nСохранить отчет?");
    // Twenty are listed, then how many there are.
    std::string many;
    for (char32_t cp = 0x4E00; cp < 0x4E00 + 25; ++cp)
        AppendUtf8(many, cp);
    const std::string warning = ReportFileLossWarning({many});
    EXPECT_NE(warning.find("(U+4E13), … (всего 25)."), std::string::npos) << warning;
    EXPECT_EQ(warning.find("U+4E14"), std::string::npos) << warning;
}

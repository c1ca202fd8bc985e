#include "reportfile.h"

#include "codec.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace korvala;

namespace {

class ReportFile : public ::testing::Test
{
protected:
    // Saves the lines and gives back the bytes of the file.
    std::string Save(const std::vector<std::string> &lines, const char *name = "rep0001.txt") const
    {
        SaveReportFile((dir / name).string(), lines);
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The ReportFileError's text, or "" when the file is written.
    static std::string ErrorOf(const std::string &path)
    {
        try {
            SaveReportFile(path, {"a"});
        } catch (const ReportFileError &e) {
            return e.what();
        }
        return "";
    }

    const test::TempDir temp;
    const std::filesystem::path dir = temp.path;
};

} // namespace

TEST_F(ReportFile, EveryLineEndsWithCrLfInCp1251WithoutBom)
{
    EXPECT_EQ(Save({"a", "b"}), "a\r\nb\r\n");
    EXPECT_EQ(Save({"x", ""}), "x\r\n\r\n");
    EXPECT_EQ(Save({"Цель 1: 110,00", "Отчет"}), "\xD6\xE5\xEB\xFC 1: 110,00\r\n\xCE\xF2\xF7\xE5\xF2\r\n");
    // An empty report gives an empty file, replacing the earlier one silently.
    EXPECT_EQ(Save({}), "");
    EXPECT_TRUE(std::filesystem::exists(dir / "rep0001.txt"));
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

// The reasons are the safe writer's; here they come as the report's error.
TEST_F(ReportFile, FailuresNameTheFileAndTheReason)
{
    const std::string missing = (dir / "no such folder/rep0001.txt").string();
    EXPECT_EQ(ErrorOf(missing), "Cannot create file \"" + missing + "\". No such file or directory");
}

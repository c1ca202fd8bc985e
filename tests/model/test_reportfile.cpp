#include "reportfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using namespace korvala;

namespace {

class ReportFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path()
              / ("korvala_reportfile_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const char *name) const { return (dir / name).string(); }

    static std::string Bytes(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path dir;
};

} // namespace

TEST_F(ReportFile, EmptyReportGivesAnEmptyFile)
{
    SaveReportFile(Path("rep0001.txt"), {});
    EXPECT_TRUE(std::filesystem::exists(Path("rep0001.txt")));
    EXPECT_EQ(std::filesystem::file_size(Path("rep0001.txt")), 0u);
}

TEST_F(ReportFile, EveryLineEndsWithCrLf)
{
    SaveReportFile(Path("ab.txt"), {"a", "b"});
    EXPECT_EQ(Bytes(Path("ab.txt")), std::string("a\r\nb\r\n"));
    SaveReportFile(Path("blank.txt"), {"x", ""});
    EXPECT_EQ(Bytes(Path("blank.txt")), std::string("x\r\n\r\n"));
}

TEST_F(ReportFile, RussianTextIsWrittenInCp1251WithoutBom)
{
    SaveReportFile(Path("ru.txt"), {"Цель 1: 110,00", "Отчет"});
    EXPECT_EQ(Bytes(Path("ru.txt")),
              std::string("\xD6\xE5\xEB\xFC 1: 110,00\r\n\xCE\xF2\xF7\xE5\xF2\r\n"));
}

TEST_F(ReportFile, SavingAgainReplacesTheFile)
{
    SaveReportFile(Path("r.txt"), {"a long first report", "with two lines"});
    SaveReportFile(Path("r.txt"), {"b"});
    EXPECT_EQ(Bytes(Path("r.txt")), std::string("b\r\n"));
}

TEST_F(ReportFile, FailureNamesTheFileAndTheReason)
{
    const std::string missing = Path("no such folder/rep0001.txt");
    try {
        SaveReportFile(missing, {"a"});
        FAIL() << "no error";
    } catch (const ReportFileError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + missing + "\". No such file or directory");
    }
    // A folder of that name.
    EXPECT_THROW(SaveReportFile(dir.string(), {"a"}), ReportFileError);
}

TEST_F(ReportFile, WriteErrorIsReported)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    try {
        SaveReportFile("/dev/full", {"a"});
        FAIL() << "no error";
    } catch (const ReportFileError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"/dev/full\". No space left on device");
    }
}

#include "safewrite.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace korvala;
namespace fs = std::filesystem;

namespace {

class SafeWrite : public ::testing::Test
{
protected:
    static std::string Read(const fs::path &path) { return test::ReadFile(path.string()); }
    static std::string ErrorOf(const fs::path &path, std::string_view bytes)
    {
        return test::ErrorOf<WriteError>([&] { WriteFileSafely(path.string(), bytes); });
    }
    // Nothing but the files named is left in the folder (no temporary file).
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    const test::TempDir temp;
    const fs::path dir = temp.path;
};

} // namespace

TEST_F(SafeWrite, ReplacesTheFileKeepsItsModeAndFollowsLinks)
{
    const fs::path file = dir / "out.txt";
    WriteFileSafely(file.string(), "first");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileSafely(file.string(), "second, longer");
    EXPECT_EQ(Read(file), "second, longer");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Through a link the file it names changes and the link stays a link.
    fs::create_symlink(file, dir / "link.txt");
    WriteFileSafely((dir / "link.txt").string(), "via link");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Read(file), "via link");
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "out.txt"}));
}

TEST_F(SafeWrite, AFailedWriteLeavesTheEarlierFileAndNoTemporaryFile)
{
    const fs::path file = dir / "report.txt";
    WriteFileSafely(file.string(), "earlier");

    // A disk that fills up half-way: the file-size limit makes the write fail.
    const std::string big(64 * 1024, 'x');
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = ErrorOf(file, big);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error.rfind("Cannot write file \"" + file.string() + "\". ", 0), 0u) << error;
    EXPECT_EQ(Read(file), "earlier");
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});

    // A folder that does not exist, a folder in the way, a full device.
    const fs::path missing = dir / "gone" / "x.txt";
    EXPECT_EQ(ErrorOf(missing, "a"), "Cannot create file \"" + missing.string() + "\". No such file or directory");
    EXPECT_NE(ErrorOf(dir, "a"), "");
    EXPECT_EQ(ErrorOf("/dev/full", "a"), "Cannot write file \"/dev/full\". No space left on device");

    // A folder the user may not write to (root may write anywhere).
    if (::geteuid() != 0) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_NE(ErrorOf(file, "new"), "");
        fs::permissions(dir, fs::perms::owner_all);
        EXPECT_EQ(Read(file), "earlier");
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

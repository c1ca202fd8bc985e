#include "reportfile.h"

#include "codec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace korvala {

namespace {

[[noreturn]] void Fail(const char *what, const std::string &path, int error)
{
    throw ReportFileError(std::string(what) + " \"" + path + "\". "
                          + std::strerror(error != 0 ? error : EIO));
}

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};

} // namespace

std::string ReportFileBytes(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes.append(Utf8ToCp1251(line)).append("\r\n");
    return bytes;
}

void SaveReportFile(const std::string &path, const std::vector<std::string> &lines)
{
    const std::string bytes = ReportFileBytes(lines);
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        Fail("Cannot create file", path, errno);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        Fail("Cannot write file", path, errno);
    if (std::fflush(file.get()) != 0)
        Fail("Cannot write file", path, errno);
    std::FILE *raw = file.release();
    if (std::fclose(raw) != 0)
        Fail("Cannot write file", path, errno);
}

} // namespace korvala

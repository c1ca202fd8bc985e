#include "safewrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace korvala {

namespace {

[[noreturn]] void Fail(const char *what, const std::string &path, int error)
{
    throw WriteError(std::string(what) + " \"" + path + "\". " + std::strerror(error != 0 ? error : EIO));
}

// The temporary file: removed again unless it was renamed over the target.
class TemporaryFile final
{
public:
    explicit TemporaryFile(const std::string &target)
    {
        const std::filesystem::path path(target);
        m_path = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd < 0)
            Fail("Cannot create file", target, errno);
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    int fd() const { return m_fd; }
    const std::string &path() const { return m_path; }
    // Closes the file; false with errno set when the last of the data could not be written.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    void Renamed() { m_renamed = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

void WriteAll(int fd, std::string_view bytes, const std::string &target)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Cannot write file", target, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// The mode a new file gets: 0666 less the process's umask.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A device or a pipe (/dev/stdout, say) has no folder to put a copy in: it is written
// as it is.
void WriteInPlace(const std::string &path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("Cannot create file", path, errno);
    try {
        WriteAll(fd, bytes, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        Fail("Cannot write file", path, errno);
}

} // namespace

void WriteFileSafely(const std::string &requested, std::string_view bytes)
{
    // A link is followed: the file it names is replaced, the link stays.
    std::string path = requested;
    std::error_code error;
    if (std::filesystem::is_symlink(requested, error)) {
        const auto target = std::filesystem::weakly_canonical(requested, error);
        if (!error)
            path = target.string();
    }
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        Fail("Cannot create file", requested, EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        WriteInPlace(path, bytes);
        return;
    }

    TemporaryFile file(path);
    WriteAll(file.fd(), bytes, path);
    // mkostemp makes the file private: give it the mode the target has or would get.
    ::fchmod(file.fd(), exists ? existing.st_mode & 07777 : NewFileMode());
    if (::fsync(file.fd()) != 0)
        Fail("Cannot write file", path, errno);
    if (!file.Close())
        Fail("Cannot write file", path, errno);
    if (::rename(file.path().c_str(), path.c_str()) != 0)
        Fail("Cannot write file", path, errno);
    file.Renamed();
    // The rename itself reaches the disk with the folder.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace korvala

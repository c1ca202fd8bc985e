#include "document.h"

#include "numtext.h"

#include <oneapi/tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvala {

namespace {

constexpr std::size_t kParallelReadFrom = std::size_t{8} << 20;
constexpr std::size_t kReadPiece = std::size_t{4} << 20;

[[noreturn]] void ThrowFileError(const std::string &path, int error)
{
    throw FileError("Cannot open file \"" + path + "\". " + std::strerror(error));
}

class FileHandle final
{
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

BlockBuffer ReadFileBytes(const std::string &path)
{
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        ThrowFileError(path, errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        ThrowFileError(path, errno);
    if (S_ISDIR(info.st_mode))
        ThrowFileError(path, EISDIR);

    // A regular file fits at once (one byte more, to see its end without growing);
    // whatever else comes (a file that grows meanwhile, a pipe) makes the room grow.
    const bool regular = S_ISREG(info.st_mode) && info.st_size > 0;
    BlockBuffer bytes(regular ? static_cast<std::size_t>(info.st_size) + 1 : std::size_t{1} << 16);
    // A large file is read in pieces on all cores: the pages of the buffer come into
    // being, and the bytes are copied into them, on every core at once.
    if (regular && static_cast<std::size_t>(info.st_size) >= kParallelReadFrom) {
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        std::atomic<bool> whole{true};
        tbb::parallel_for(std::size_t{0}, (size + kReadPiece - 1) / kReadPiece, [&](std::size_t k) {
            std::size_t at = k * kReadPiece;
            const std::size_t end = std::min(size, at + kReadPiece);
            while (at < end && whole.load(std::memory_order_relaxed)) {
                const ssize_t n = ::pread(file.get(), bytes.data() + at, end - at, static_cast<off_t>(at));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    whole = false; // an error, or a file that shrank: read it again in order
                    break;
                }
                at += static_cast<std::size_t>(n);
            }
        });
        if (whole && ::lseek(file.get(), static_cast<off_t>(size), SEEK_SET) == static_cast<off_t>(size))
            bytes.SetSize(size);
        else if (::lseek(file.get(), 0, SEEK_SET) != 0)
            ThrowFileError(path, errno);
    }
    for (;;) {
        if (bytes.size() == bytes.capacity())
            bytes.Reserve(2 * bytes.capacity());
        const ssize_t n = ::read(file.get(), bytes.data() + bytes.size(), bytes.capacity() - bytes.size());
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowFileError(path, errno);
        }
        bytes.SetSize(bytes.size() + static_cast<std::size_t>(n));
    }
    return bytes;
}

std::string ReadWholeFile(const std::string &path)
{
    const BlockBuffer bytes = ReadFileBytes(path);
    return std::string(bytes.data(), bytes.size());
}

void PFDocument::OpenFile(const std::string &path)
{
    const BlockBuffer bytes = ReadFileBytes(path);
    OpenBytes(path, std::string_view(bytes.data(), bytes.size()));
}

void PFDocument::OpenBytes(std::string_view path, std::string_view bytes)
{
    TFList loaded;
    loaded.SetLevelDepth(QuoteList.LevelDepth);
    try {
        loaded.LoadFromStream(bytes);
    } catch (QuoteLineError &error) {
        error.SetFile(std::string(path));
        throw;
    }
    TakeOver(path, loaded);
}

void PFDocument::OpenLoaded(std::string_view path, TFList &loaded)
{
    if (loaded.LevelDepth != QuoteList.LevelDepth || !loaded.HasStatistics()) {
        loaded.SetLevelDepth(QuoteList.LevelDepth);
        loaded.Statistics();
    }
    TakeOver(path, loaded);
}

void PFDocument::TakeOver(std::string_view path, TFList &loaded)
{
    // Three times the average change must stay a number, or the reversal text could not
    // be read back: such a file is refused before anything changes.
    if (!std::isfinite(3 * loaded.AvgChange))
        throw ConvertError("The closes change by more than a number can hold; "
                           "no box and reversal can be proposed for this file");
    QuoteList.Swap(loaded);
    FColumns.Clear();
    // The grid on screen must not refer to quotes that no longer exist.
    sg.ClearQuotes();
    const ParamTexts texts = AutoParamTexts(QuoteList.AvgChange);
    eBox = texts.box;
    eReverse = texts.reverse;
    ReadParams();
    ShowStatistics();
    Caption = CaptionForFile(path);
}

void PFDocument::ShowCommonInfo() { mm_Common = CommonInfoLines(&QuoteList); }

bool PFDocument::ReadParams()
{
    FBox = StrToFloat(eBox);
    FReverse = StrToFloat(eReverse);
    return ParamsUsable(FBox, FReverse);
}

void PFDocument::ShowStatistics()
{
    Memo1.clear();
    ReadParams();
    Memo1 = StatisticsLines(QuoteList, FBox, FReverse);
}

void PFDocument::ShowPeriodCount() { stb = PeriodCountText(&QuoteList); }

void PFDocument::BuildPF()
{
    FColBottomRow.clear();
    FColTopRow.clear();
    stb = kBusyText;
    try {
        ShowStatistics();
        sg.Reset();
        if (QuoteList.Count() > 0) {
            FColumns.Clear();
            BuildPFChart(QuoteList, FBox, FReverse, sg, FColumns);
        }
    } catch (...) {
        TakeRowLists();
        ShowPeriodCount();
        throw;
    }
    TakeRowLists();
    ShowPeriodCount();
}

void PFDocument::TakeRowLists()
{
    FColTopRow = sg.TopRows();
    FColBottomRow = sg.BottomRows();
}

bool PFDocument::Refresh()
{
    Built = false;
    if (!ReadParams())
        return false;
    BuildPF();
    Built = true;
    return true;
}

} // namespace korvala

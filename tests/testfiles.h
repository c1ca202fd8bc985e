#pragma once

// Files for tests, in plain C++: a temporary folder of their own, quote files written
// into it, the paths of the example and test-data files; the text of an error, the
// system's converter between encodings, quote lists of given closes.

#include <iconv.h>
#include <stdlib.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace korvala::test {

inline std::string ExamplePath(const std::string &name) { return std::string(KORVALA_EXAMPLES_DIR) + "/" + name; }
inline std::string DataPath(const std::string &name) { return std::string(KORVALA_TEST_DATA_DIR) + "/" + name; }

// The text of the E that f raises, "" when it raises none.
template <class E = std::exception, class F>
std::string ErrorOf(F &&f)
{
    try {
        f();
    } catch (const E &e) {
        return e.what();
    }
    return "";
}

// The bytes of a file ("" when it cannot be read).
inline std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The input converted by glibc's converter, an independent table of the encodings;
// "<iconv failed>" when it cannot convert all of it.
inline std::string Iconv(const char *to, const char *from, std::string input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no iconv>";
    char *src = input.data(), *dst = nullptr;
    std::size_t srcLeft = input.size(), dstLeft = input.size() * 4 + 8;
    std::string out(dstLeft, '\0');
    dst = out.data();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return r == static_cast<std::size_t>(-1) ? "<iconv failed>" : out;
}

// Fills a quote list (a TFList) anew: quote i dated "d<i>", its open, high, low and close
// the i-th close, volume 1; then runs the statistics.
template <class List>
void SetCloses(List &list, const std::vector<double> &closes)
{
    list.Clear();
    for (double c : closes) {
        auto &p = list.AddNew();
        p.DateText = "d" + std::to_string(list.Count() - 1);
        p.Open = p.High = p.Low = p.Close = c;
        p.Volume = 1;
    }
    list.Statistics();
}

// A quote file's text: the native header, then the lines, each ended by CR LF.
inline std::string QuoteText(const std::vector<std::string> &lines)
{
    std::string text = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

// Quote lines whose open, high, low and close are the given closes, volume 1; quote i is
// dated i minutes after 01.12.05 10:00 (from 10:00 to 23:59 each day).
inline std::vector<std::string> FlatQuoteLines(const std::vector<double> &closes)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < closes.size(); ++i) {
        char c[40], line[200];
        std::snprintf(c, sizeof c, "%.15g", closes[i]);
        for (char *p = c; *p; ++p)
            *p = *p == '.' ? ',' : *p;
        const int day = 1 + static_cast<int>(i / 840), minute = 600 + static_cast<int>(i % 840);
        std::snprintf(line, sizeof line, "%02d.12.05;%02d:%02d;%s;%s;%s;%s;1", day, minute / 60, minute % 60, c, c,
                      c, c);
        lines.emplace_back(line);
    }
    return lines;
}

// A folder of its own under the system's temporary folder (other builds may run the same
// tests at once), removed with everything in it.
class TempDir final
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvala-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string File(const std::string &name) const { return path + "/" + name; }
    // Writes the bytes into the folder's file name; gives its path.
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }

    std::string path;
};

// A quote file of the native layout in a temporary folder of its own.
struct QuoteFile final
{
    QuoteFile(const std::string &name, const std::vector<std::string> &lines) : path(dir.Write(name, QuoteText(lines))) {}

    TempDir dir;
    std::string path;
};

} // namespace korvala::test

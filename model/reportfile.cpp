#include "reportfile.h"

#include "codec.h"


namespace korvala {

std::string ReportFileBytes(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes.append(Utf8ToCp1251(line)).append("\r\n");
    return bytes;
}

void SaveReportFile(const std::string &path, const std::vector<std::string> &lines)
{
    WriteFileSafely(path, ReportFileBytes(lines));
}

} // namespace korvala

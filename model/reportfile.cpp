#include "reportfile.h"

#include "codec.h"

#include <cstdio>

namespace korvala {

std::string ReportFileBytes(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes.append(Utf8ToCp1251(line)).append("\r\n");
    return bytes;
}

std::string ReportFileLossWarning(const std::vector<std::string> &lines)
{
    constexpr std::size_t kListed = 20;
    std::string text;
    for (const std::string &line : lines)
        text.append(line).push_back('\n');
    const std::vector<char32_t> missing = Cp1251Missing(text);
    if (missing.empty())
        return {};
    std::string list;
    for (std::size_t k = 0; k < missing.size() && k < kListed; ++k) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(missing[k]));
        list += k ? ", «" : "«";
        AppendUtf8(list, missing[k]);
        list += std::string("» (") + code + ")";
    }
    if (missing.size() > kListed)
        list += ", … (всего " + std::to_string(missing.size()) + ")";
    return "В кодировке файла отчета (cp1251) нет символов: " + list
         + ".\nПри сохранении они будут заменены знаком «?».\n\nСохранить отчет?";
}

void SaveReportFile(const std::string &path, const std::vector<std::string> &lines)
{
    WriteFileSafely(path, ReportFileBytes(lines));
}

} // namespace korvala

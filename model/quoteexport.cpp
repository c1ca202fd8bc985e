#include "quoteexport.h"

#include "numtext.h"
#include "quotedate.h"
#include "safewrite.h"

#include <cmath>
#include <cstdio>

namespace korvala {

namespace {

constexpr std::size_t kChunk = 1 << 16;

void Two(std::string &out, long long v)
{
    v %= 100;
    out += static_cast<char>('0' + v / 10);
    out += static_cast<char>('0' + v % 10);
}

void AppendNumber(std::string &out, double v)
{
    if (!std::isfinite(v))
        throw ConvertError("'" + FormatRoundTrip(v) + "' cannot be written as a number");
    out += FormatRoundTrip(v);
}

void AppendLine(std::string &out, const TFPoint &p)
{
    const CivilDateTime t = DecodeDateTime(p.DateTime);
    Two(out, t.day);
    out += '.';
    Two(out, t.month);
    out += '.';
    Two(out, t.year);
    out += ';';
    Two(out, t.hour);
    out += ':';
    Two(out, t.minute);
    for (double v : {p.Open, p.High, p.Low, p.Close, p.Volume}) {
        out += ';';
        AppendNumber(out, v);
    }
}

std::string Moment(const CivilDateTime &t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04lld %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                  t.minute, t.second);
    return text;
}

} // namespace

std::string NativeQuoteLine(const TFPoint &quote)
{
    std::string line;
    AppendLine(line, quote);
    return line;
}

void WriteNativeQuotes(const TFList &quotes, const std::function<void(std::string_view)> &write)
{
    std::string chunk;
    chunk.reserve(kChunk + 256);
    chunk.append(kNativeHeader).append("\r\n");
    quotes.ForEach([&](const TFPoint &p, int) {
        AppendLine(chunk, p);
        chunk += "\r\n";
        if (chunk.size() >= kChunk) {
            write(chunk);
            chunk.clear();
        }
    });
    write(chunk);
}

void SaveNativeQuoteFile(const std::string &path, const TFList &quotes)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(quotes.Count()) * 48 + 64);
    WriteNativeQuotes(quotes, [&bytes](std::string_view piece) { bytes += piece; });
    WriteFileSafely(path, bytes);
}

std::vector<std::string> NativeLayoutLosses(const TFList &quotes)
{
    long long seconds = 0, years = 0;
    int firstSeconds = -1, firstYear = -1;
    CivilDateTime atSeconds, atYear;
    quotes.ForEach([&](const TFPoint &p, int i) {
        const CivilDateTime t = DecodeDateTime(p.DateTime);
        if (t.second != 0 || t.millisecond != 0) {
            if (seconds++ == 0)
                firstSeconds = i, atSeconds = t;
        }
        if (t.year < 1950 || t.year > 2049) {
            if (years++ == 0)
                firstYear = i, atYear = t;
        }
    });
    std::vector<std::string> losses;
    const auto count = [](long long n) {
        return FormatN(static_cast<double>(n), 0) + (n == 1 ? " quote has" : " quotes have");
    };
    if (seconds > 0)
        losses.push_back(count(seconds) + " seconds, which the native layout cannot keep: its times are "
                         "HH:MM (the first: quote " + std::to_string(firstSeconds + 1) + ", "
                         + Moment(atSeconds) + ")");
    if (years > 0)
        losses.push_back(count(years) + " a year outside 1950-2049, which the native layout's two-digit "
                         "years read otherwise (the first: quote " + std::to_string(firstYear + 1) + ", "
                         + Moment(atYear) + ")");
    return losses;
}

} // namespace korvala

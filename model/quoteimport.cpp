#include "quoteimport.h"

#include "codec.h"
#include "lines.h"
#include "quotedate.h"

#include <oneapi/tbb/parallel_for.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

namespace korvala {

namespace {

constexpr int kFirstSkippedShown = 5;
constexpr int kHeaderSearchLines = 10;
constexpr int kMaxDateOrders = 2;
constexpr int kMaxFields = 64; // columns beyond these are never read

// ---------------------------------------------------------------------------------------
// Eight bytes at a time

// The first byte in memory is the lowest of a word read from it.
static_assert(std::endian::native == std::endian::little);

constexpr std::uint64_t kBytes01 = 0x0101010101010101ULL;
constexpr std::uint64_t kBytes80 = 0x8080808080808080ULL;

inline std::uint64_t Load8(const char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bit 7 of each of the eight bytes v that equals c or d. Exact for the first such byte
// (the lowest: the first in memory on every machine this runs on); the bytes after it do
// not count.
inline std::uint64_t BytesEqual(std::uint64_t v, unsigned char c, unsigned char d)
{
    const std::uint64_t a = v ^ (kBytes01 * c), b = v ^ (kBytes01 * d);
    return (((a - kBytes01) & ~a) | ((b - kBytes01) & ~b)) & kBytes80;
}

inline int FirstByte(std::uint64_t bits) { return __builtin_ctzll(bits) >> 3; }

// ---------------------------------------------------------------------------------------
// Bytes into lines

enum class Encoding { Bytes, Utf8Bom, Utf16LE, Utf16BE };

Encoding SniffEncoding(std::string_view bytes, std::size_t &bomSize)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    bomSize = 0;
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        bomSize = 3;
        return Encoding::Utf8Bom;
    }
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        bomSize = 2;
        return Encoding::Utf16LE;
    }
    if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
        bomSize = 2;
        return Encoding::Utf16BE;
    }
    return Encoding::Bytes;
}

// The first CR or LF from the byte at, or size.
inline std::size_t LineEnd(const char *data, std::size_t at, std::size_t size)
{
    while (size - at >= 8) {
        if (const std::uint64_t hit = BytesEqual(Load8(data + at), '\n', '\r'))
            return at + static_cast<std::size_t>(FirstByte(hit));
        at += 8;
    }
    while (at < size && data[at] != '\n' && data[at] != '\r')
        ++at;
    return at;
}

// The lines of a file, cut as the quote file reader cuts them: at CR LF, LF or CR. 8-bit
// text is served in place; UTF-16 is converted to UTF-8 one line at a time, so the file
// is never held twice.
class LineReader final
{
public:
    // The first line of bytes is line number firstLine.
    LineReader(std::string_view bytes, Encoding encoding, long long firstLine = 1)
        : m_bytes(bytes), m_encoding(encoding), m_number(firstLine - 1)
    {
    }

    bool Next(std::string_view &line)
    {
        const bool wide = m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE;
        if (!(wide ? NextWide(line) : NextNarrow(line)))
            return false;
        ++m_number;
        return true;
    }
    long long Number() const { return m_number; }

    // 8-bit text may be read where it lies: the next line starts at Here() and whoever
    // reads it from there tells where it ended (a CR, an LF or End()).
    bool Narrow() const { return m_encoding == Encoding::Bytes || m_encoding == Encoding::Utf8Bom; }
    bool More() const { return m_pos < m_bytes.size(); }
    const char *Here() const { return m_bytes.data() + m_pos; }
    const char *End() const { return m_bytes.data() + m_bytes.size(); }
    void Passed(const char *lineEnd)
    {
        Past(static_cast<std::size_t>(lineEnd - m_bytes.data()));
        ++m_number;
    }

private:
    // Moves past the line end at end: CR LF counts as one.
    void Past(std::size_t end)
    {
        const std::size_t size = m_bytes.size();
        if (end >= size)
            m_pos = size;
        else if (m_bytes[end] == '\r' && end + 1 < size && m_bytes[end + 1] == '\n')
            m_pos = end + 2;
        else
            m_pos = end + 1;
    }

    bool NextNarrow(std::string_view &line)
    {
        if (m_pos >= m_bytes.size())
            return false;
        const std::size_t end = LineEnd(m_bytes.data(), m_pos, m_bytes.size());
        line = m_bytes.substr(m_pos, end - m_pos);
        Past(end);
        return true;
    }

    char32_t Unit(std::size_t at) const
    {
        const auto a = static_cast<unsigned char>(m_bytes[at]);
        const auto b = static_cast<unsigned char>(m_bytes[at + 1]);
        return m_encoding == Encoding::Utf16LE ? static_cast<char32_t>(a | b << 8)
                                               : static_cast<char32_t>(b | a << 8);
    }

    bool NextWide(std::string_view &line)
    {
        const std::size_t size = m_bytes.size();
        if (m_pos + 1 >= size)
            return false; // an odd last byte is no character
        m_buffer.clear();
        while (m_pos + 1 < size) {
            char32_t u = Unit(m_pos);
            m_pos += 2;
            if (u == '\n')
                break;
            if (u == '\r') {
                if (m_pos + 1 < size && Unit(m_pos) == '\n')
                    m_pos += 2;
                break;
            }
            if (u >= 0xD800 && u <= 0xDFFF) {
                const bool pair = u <= 0xDBFF && m_pos + 1 < size && Unit(m_pos) >= 0xDC00
                                  && Unit(m_pos) <= 0xDFFF;
                if (pair) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (Unit(m_pos) - 0xDC00);
                    m_pos += 2;
                } else {
                    u = 0xFFFD;
                }
            }
            AppendUtf8(m_buffer, u);
        }
        line = m_buffer;
        return true;
    }

    std::string_view m_bytes;
    Encoding m_encoding;
    long long m_number;
    std::size_t m_pos = 0;
    std::string m_buffer;
};

// The first lines of a file, for recognising its layout.
struct Sample
{
    Encoding encoding = Encoding::Bytes;
    std::size_t bomSize = 0;
    bool cp1251 = false; // 8-bit text whose high bytes are not UTF-8
    std::string encodingName;
    std::vector<std::pair<long long, std::string>> lines; // line number, text as in the file
};

Sample TakeSample(std::string_view bytes)
{
    Sample s;
    s.encoding = SniffEncoding(bytes, s.bomSize);
    const std::string_view body = bytes.substr(s.bomSize);
    const std::string_view head = body.substr(0, kImportSampleBytes);
    LineReader reader(head, s.encoding);
    std::string_view line;
    while (static_cast<int>(s.lines.size()) < kImportSampleLines && reader.Next(line))
        s.lines.emplace_back(reader.Number(), std::string(line));
    // The last line of a cut sample may be cut short itself.
    if (head.size() < body.size() && s.lines.size() > 1)
        s.lines.pop_back();

    switch (s.encoding) {
    case Encoding::Utf8Bom: s.encodingName = "UTF-8 with BOM"; break;
    case Encoding::Utf16LE: s.encodingName = "UTF-16 LE with BOM"; break;
    case Encoding::Utf16BE: s.encodingName = "UTF-16 BE with BOM"; break;
    case Encoding::Bytes: {
        bool high = false, utf8 = true;
        for (const auto &l : s.lines) {
            for (char c : l.second)
                high = high || (static_cast<unsigned char>(c) & 0x80) != 0;
            utf8 = utf8 && IsUtf8(l.second);
        }
        if (high) {
            s.cp1251 = !utf8;
            s.encodingName = utf8 ? "UTF-8" : "cp1251";
        }
        break;
    }
    }
    return s;
}

// A line as the program shows texts: UTF-8, shortened.
std::string ShownLine(std::string_view line, bool cp1251)
{
    std::string text = cp1251 ? Cp1251ToUtf8(line) : std::string(line);
    for (char &c : text)
        if (c == '\t' || c == '\0')
            c = ' ';
    return ShortText(text, 100);
}

// ---------------------------------------------------------------------------------------
// Lines into fields

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Splits a line at sep; a field that starts with a double quote runs to its closing
// quote and may hold the separator. Stores at most max fields (without their quotes)
// and returns how many the line has.
int SplitFields(std::string_view line, char sep, std::string_view *out, int max)
{
    const char *const data = line.data();
    const std::size_t size = line.size();
    int n = 0;
    std::size_t i = 0;
    for (;;) {
        std::string_view field;
        if (i < size && data[i] == '"') {
            std::size_t j = i + 1;
            while (j < size && !(data[j] == '"' && (j + 1 >= size || data[j + 1] != '"')))
                j += data[j] == '"' ? 2 : 1;
            field = line.substr(i + 1, std::min(j, size) - i - 1);
            i = j + 1;
            while (i < size && data[i] != sep)
                ++i;
        } else {
            std::size_t j = i;
            while (j < size && data[j] != sep)
                ++j;
            field = line.substr(std::min(i, size), j - std::min(i, size));
            i = j;
        }
        if (n < max)
            out[n] = field;
        ++n;
        if (i >= size)
            return n;
        ++i; // the separator
    }
}

// Separators outside double quotes.
int CountOutsideQuotes(std::string_view line, char sep)
{
    int n = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == sep && !quoted)
            ++n;
    }
    return n;
}

// A line of nothing but blanks, separators and quotes: an empty row of a spreadsheet.
bool IsEmptyRow(std::string_view line, char sep)
{
    return std::all_of(line.begin(), line.end(),
                       [sep](char c) { return IsBlank(c) || c == sep || c == '"'; });
}

// ---------------------------------------------------------------------------------------
// Dates and times

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int DigitsValue(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

// A date field cut into its date and, when it has one, its time: "2020-01-02 10:00:00",
// "2020-01-02T10:00:00Z", "01.01.2017 00:00:00.000".
void SplitDateTime(std::string_view field, std::string_view &date, std::string_view &time)
{
    field = Trim(field);
    std::size_t cut = 0;
    while (cut < field.size() && !IsBlank(field[cut]) && field[cut] != 'T')
        ++cut;
    date = field.substr(0, cut);
    time = cut < field.size() ? Trim(field.substr(cut + 1)) : std::string_view();
    if (!time.empty() && (time.back() == 'Z' || time.back() == 'z'))
        time.remove_suffix(1);
}

struct DateParts
{
    std::string_view p[3];
};

// The three parts of a date text: fixed widths for digits only, else split at the shape's
// separator. False when the text does not have the shape.
bool CutDate(std::string_view text, const DateShape &shape, DateOrder order, DateParts &parts)
{
    if (shape.compact) {
        if (text.size() != static_cast<std::size_t>(shape.digits) || !AllDigits(text))
            return false;
        const std::size_t y = shape.digits == 8 ? 4 : 2;
        if (order == DateOrder::YearMonthDay)
            parts = {{text.substr(0, y), text.substr(y, 2), text.substr(y + 2, 2)}};
        else
            parts = {{text.substr(0, 2), text.substr(2, 2), text.substr(4)}};
        return true;
    }
    const std::size_t a = text.find(shape.separator);
    if (a == std::string_view::npos)
        return false;
    const std::size_t b = text.find(shape.separator, a + 1);
    if (b == std::string_view::npos)
        return false;
    parts = {{text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)}};
    for (const auto &p : parts.p)
        if (!AllDigits(p) || p.size() > 4)
            return false;
    return true;
}

// A year part: two digits (below 50 is 20xx, else 19xx, as in quote files) or four.
long long YearOf(std::string_view text)
{
    const int v = DigitsValue(text);
    if (text.size() == 2)
        return v < 50 ? 2000 + v : 1900 + v;
    return text.size() == 4 ? v : -1;
}

// The day of a date text read in the given order; false when it is no valid day.
bool ReadDate(std::string_view text, const DateShape &shape, DateOrder order, long long &year,
              int &month, int &day)
{
    DateParts parts;
    if (!CutDate(text, shape, order, parts))
        return false;
    std::string_view y, m, d;
    switch (order) {
    case DateOrder::YearMonthDay: y = parts.p[0], m = parts.p[1], d = parts.p[2]; break;
    case DateOrder::MonthDayYear: m = parts.p[0], d = parts.p[1], y = parts.p[2]; break;
    default: d = parts.p[0], m = parts.p[1], y = parts.p[2]; break;
    }
    if (m.size() > 2 || d.size() > 2)
        return false;
    year = YearOf(y);
    month = DigitsValue(m);
    day = DigitsValue(d);
    return IsValidDate(year, month, day);
}

// The readings a shape allows, the preferred first. Eight digits: YYYYMMDD; six: the year
// first, else the day first. The year leading: nothing else. The year last: dots mean the day first
// (DD.MM.YYYY); a slash suggests the month first, a dash the day first, either may be.
std::vector<DateOrder> OrdersForShape(const DateShape &shape)
{
    using O = DateOrder;
    if (shape.compact)
        return shape.digits == 8 ? std::vector<O>{O::YearMonthDay}
                                 : std::vector<O>{O::YearMonthDay, O::DayMonthYear};
    if (shape.yearFirst)
        return {O::YearMonthDay};
    switch (shape.separator) {
    case '.': return {O::DayMonthYear};
    case '/': return {O::MonthDayYear, O::DayMonthYear};
    default: return {O::DayMonthYear, O::MonthDayYear};
    }
}

// The readings the user may choose for a shape.
std::vector<DateOrder> PossibleOrders(const DateShape &shape)
{
    using O = DateOrder;
    if (shape.yearFirst)
        return {O::YearMonthDay};
    if (shape.compact)
        return {O::YearMonthDay, O::DayMonthYear, O::MonthDayYear};
    return {O::DayMonthYear, O::MonthDayYear};
}

struct TimeValue
{
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool ValidTime(const TimeValue &t)
{
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0
           && t.second <= 59;
}

// H:MM, HH:MM, HH:MM:SS, HH:MM:SS.fff (a comma before the fraction does as well).
bool ReadColonTime(std::string_view text, TimeValue &t, bool *seconds = nullptr,
                   bool *fraction = nullptr)
{
    const std::size_t c1 = text.find(':');
    if (c1 == std::string_view::npos || c1 == 0 || c1 > 2 || !AllDigits(text.substr(0, c1)))
        return false;
    const std::string_view m = text.substr(c1 + 1, 2);
    if (m.size() != 2 || !AllDigits(m))
        return false;
    t = {DigitsValue(text.substr(0, c1)), DigitsValue(m), 0, 0};
    std::string_view rest = text.substr(c1 + 3);
    if (!rest.empty()) {
        if (rest.size() < 3 || rest[0] != ':' || !AllDigits(rest.substr(1, 2)))
            return false;
        t.second = DigitsValue(rest.substr(1, 2));
        if (seconds)
            *seconds = true;
        rest.remove_prefix(3);
        if (!rest.empty()) {
            if ((rest[0] != '.' && rest[0] != ',') || !AllDigits(rest.substr(1)))
                return false;
            const std::string_view ms = rest.substr(1, 3);
            t.millisecond = DigitsValue(ms) * (ms.size() == 1 ? 100 : ms.size() == 2 ? 10 : 1);
            if (fraction)
                *fraction = true;
        }
    }
    return ValidTime(t);
}

// HHMMSS or HHMM with the leading zeros that may be missing ("0", "93000").
bool ReadCompactTime(std::string_view text, bool hoursMinutes, TimeValue &t)
{
    if (text.size() == 6) {
        const auto d = [&text](int i) { return static_cast<unsigned>(text[static_cast<std::size_t>(i)] - '0'); };
        if (d(0) < 10 && d(1) < 10 && d(2) < 10 && d(3) < 10 && d(4) < 10 && d(5) < 10) {
            t = {static_cast<int>(d(0) * 10 + d(1)), static_cast<int>(d(2) * 10 + d(3)),
                 static_cast<int>(d(4) * 10 + d(5)), 0};
            return ValidTime(t);
        }
    }
    if (text.size() > 6 || !AllDigits(text))
        return false;
    const int v = DigitsValue(text);
    if (hoursMinutes && text.size() <= 4)
        t = {v / 100, v % 100, 0, 0};
    else
        t = {v / 10000, v / 100 % 100, v % 100, 0};
    return ValidTime(t);
}

// ---------------------------------------------------------------------------------------
// Column names

enum class Role { Unknown, Other, Date, Time, DateTime, Open, High, Low, Close, Last, Volume, TickVolume };

// Lower case for ASCII and Cyrillic (UTF-8), ё as е, '_' as a blank, without brackets,
// quotes, a final dot and outer blanks.
std::string NormalName(std::string_view utf8, bool &angle)
{
    std::string_view s = Trim(utf8);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        s = Trim(s.substr(1, s.size() - 2));
    angle = s.size() >= 2 && s.front() == '<' && s.back() == '>';
    if (angle)
        s = Trim(s.substr(1, s.size() - 2));
    if (!s.empty() && s.back() == '.')
        s.remove_suffix(1);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
        } else if (c == '_') {
            out += ' ';
        } else if (c == 0xD0 && i + 1 < s.size()) {
            const auto d = static_cast<unsigned char>(s[++i]);
            if (d >= 0x90 && d <= 0x9F) // А…П
                out += {'\xD0', static_cast<char>(d + 0x20)};
            else if (d >= 0xA0 && d <= 0xAF) // Р…Я
                out += {'\xD1', static_cast<char>(d - 0x20)};
            else if (d == 0x81) // Ё
                out += "\xD0\xB5";
            else
                out += {'\xD0', static_cast<char>(d)};
        } else if (c == 0xD1 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x91) {
            out += "\xD0\xB5"; // ё
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

Role RoleOf(const std::string &name)
{
    struct Entry
    {
        const char *name;
        Role role;
    };
    static const Entry kNames[] = {
        {"date", Role::Date}, {"дата", Role::Date}, {"day", Role::Date},
        {"time", Role::Time}, {"время", Role::Time},
        {"datetime", Role::DateTime}, {"date time", Role::DateTime}, {"date/time", Role::DateTime},
        {"timestamp", Role::DateTime}, {"gmt time", Role::DateTime}, {"local time", Role::DateTime},
        {"time (utc)", Role::DateTime}, {"time (eet)", Role::DateTime}, {"utc", Role::DateTime},
        {"дата и время", Role::DateTime}, {"дата/время", Role::DateTime},
        {"open", Role::Open}, {"открытие", Role::Open}, {"откр", Role::Open},
        {"цена открытия", Role::Open}, {"first", Role::Open},
        {"high", Role::High}, {"максимум", Role::High}, {"макс", Role::High}, {"max", Role::High},
        {"low", Role::Low}, {"минимум", Role::Low}, {"мин", Role::Low}, {"min", Role::Low},
        {"close", Role::Close}, {"закрытие", Role::Close}, {"закр", Role::Close},
        {"цена закрытия", Role::Close},
        {"last", Role::Last}, {"price", Role::Last}, {"последняя", Role::Last},
        {"последняя цена", Role::Last}, {"цена", Role::Last},
        {"vol", Role::Volume}, {"volume", Role::Volume}, {"объем", Role::Volume},
        {"объем торгов", Role::Volume}, {"real volume", Role::Volume},
        {"tickvol", Role::TickVolume}, {"tick volume", Role::TickVolume},
        {"tickvolume", Role::TickVolume}, {"tick vol", Role::TickVolume},
        {"тиковый объем", Role::TickVolume},
        {"ticker", Role::Other}, {"symbol", Role::Other}, {"тикер", Role::Other},
        {"per", Role::Other}, {"period", Role::Other}, {"период", Role::Other},
        {"openint", Role::Other}, {"open interest", Role::Other}, {"spread", Role::Other},
        {"adj close", Role::Other}, {"change", Role::Other}, {"change %", Role::Other},
        {"id", Role::Other}, {"oper", Role::Other}, {"bid", Role::Other}, {"ask", Role::Other},
    };
    for (const Entry &e : kNames)
        if (name == e.name)
            return e.role;
    return Role::Unknown;
}

// ---------------------------------------------------------------------------------------
// One line into one quote

// "DD.MM.YY" of a day, as the native file writes dates.
void PutDate(char *text, long long year, int month, int day)
{
    const auto two = [](char *p, long long v) {
        v %= 100;
        p[0] = static_cast<char>('0' + v / 10);
        p[1] = static_cast<char>('0' + v % 10);
    };
    two(text, day);
    text[2] = '.';
    two(text + 3, month);
    text[5] = '.';
    two(text + 6, year);
}

// A date text under each reading.
struct DateReading
{
    char text[8] = {}; // "DD.MM.YY" under the first reading
    double dayNumber[kMaxDateOrders] = {}; // the date-time of midnight
    bool dateValid[kMaxDateOrders] = {};
    bool any = false;  // valid under one of the readings at least
};

struct Quote
{
    const DateReading *date = nullptr; // the reader's, until it reads the next line
    TimeValue time;
    double open = 0, high = 0, low = 0, close = 0, volume = 0, tickVolume = 0;
};

// What a column holds, for the reader's walk along a line.
enum class Column : unsigned char { Skip, Date, Time, Open, High, Low, Close, Volume, TickVolume };
constexpr int kValues = 6; // Open … TickVolume

constexpr std::uint64_t kPow10Int[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The leading digits among the eight bytes at p (the first byte the lowest, as on every
// machine this runs on): how many there are and their value.
inline int EightDigits(const char *p, std::uint64_t &value)
{
    std::uint64_t x = Load8(p) ^ (kBytes01 * '0'); // digits become 0…9, all else 10 or more
    // Bit 7 of each byte that is no digit. A carry runs only from a byte that is no digit
    // into the bytes after it, which do not count.
    const std::uint64_t other = ((x + kBytes01 * 0x76) | x) & kBytes80;
    const int n = other ? FirstByte(other) : 8;
    if (n == 0) {
        value = 0;
        return 0;
    }
    x <<= 8 * (8 - n); // the digits to the top, zeros before them
    x = x * 10 + (x >> 8);
    x = (((x & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32)))
         + (((x >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32))))
        >> 32;
    value = x & 0xFFFFFFFFULL;
    return n;
}

// Digits from s on, eight at a time while eight bytes of the line remain.
inline void ReadDigits(const char *&s, const char *end, std::uint64_t &mantissa, int &count)
{
    while (end - s >= 8) {
        std::uint64_t chunk = 0;
        const int n = EightDigits(s, chunk);
        mantissa = mantissa * kPow10Int[n] + chunk;
        count += n;
        s += n;
        if (n < 8)
            return;
    }
    unsigned d = 0;
    while (s < end && (d = static_cast<unsigned>(*s - '0')) < 10) {
        mantissa = mantissa * 10 + d;
        ++count;
        ++s;
    }
}

// The usual number of a quote file, [-]digits[mark digits] with at most 15 digits, read
// where it stands; p moves to the end of the field (a separator, a CR, an LF or end). With at most 15 digits the mantissa
// and the power of ten are exact doubles and one division is correctly rounded: the same
// double the full reading gives. False for anything else (the full reading decides).
inline bool ReadPlainNumber(const char *&p, const char *end, char sep, char mark, double &value)
{
    const char *s = p;
    const bool negative = s < end && *s == '-';
    s += negative;
    std::uint64_t mantissa = 0;
    int digits = 0;
    ReadDigits(s, end, mantissa, digits);
    int fraction = 0;
    if (s < end && *s == mark && mark) {
        ++s;
        ReadDigits(s, end, mantissa, fraction);
    }
    if ((s < end && *s != sep && *s != '\r' && *s != '\n') || digits + fraction == 0
        || digits + fraction > 15)
        return false;
    // Below 10^15: a signed conversion is exact and needs no care for the top bit.
    const double v = static_cast<double>(static_cast<std::int64_t>(mantissa)) / kPow10[fraction];
    value = negative ? -v : v;
    p = s;
    return true;
}

// The end of a field without quotes: the next separator, CR, LF or end; false at a
// double quote.
inline bool SkipField(const char *&p, const char *end, char sep)
{
    while (end - p >= 8) {
        const std::uint64_t v = Load8(p);
        if (const std::uint64_t hit = BytesEqual(v, static_cast<unsigned char>(sep), '"') | BytesEqual(v, '\r', '\n')) {
            p += FirstByte(hit);
            return *p != '"';
        }
        p += 8;
    }
    while (p < end && *p != sep && *p != '\r' && *p != '\n') {
        if (*p == '"')
            return false;
        ++p;
    }
    return true;
}

// Reads the lines of one layout, trying up to two readings of the date at once.
class QuoteReader final
{
public:
    QuoteReader(const ImportLayout &layout, std::vector<DateOrder> orders, std::string headerText)
        : m_layout(layout), m_orders(std::move(orders)), m_headerText(std::move(headerText)),
          m_mark(layout.decimalMark)
    {
        m_need = std::min(layout.fieldsNeeded, kMaxFields);
        const std::pair<int, Column> columns[] = {
            {layout.date, Column::Date},   {layout.time, Column::Time},
            {layout.open, Column::Open},   {layout.high, Column::High},
            {layout.low, Column::Low},     {layout.close, Column::Close},
            {layout.volume, Column::Volume}, {layout.tickVolume, Column::TickVolume}};
        for (const auto &[c, what] : columns)
            if (c >= 0 && c < kMaxFields)
                m_columns[c] = what;
    }

    int Orders() const { return static_cast<int>(m_orders.size()); }
    char DecimalMark() const { return m_mark; }

    // Fills q from a line; false with the reason the line is no quote. A line whose date
    // is valid under none of the readings is a bad date; the caller sees per reading
    // whether it was valid.
    bool Read(std::string_view line, Quote &q, SkipReason &reason, int &fields)
    {
        const char *lineEnd = nullptr;
        if (ReadUsual(line.data(), line.data() + line.size(), q, lineEnd)) {
            fields = m_need;
            return true;
        }
        std::string_view f[kMaxFields];
        fields = SplitFields(line, m_layout.separator, f, m_need);
        if (fields < m_need)
            return Fail(line, SkipReason::Fields, reason);
        double values[kValues] = {};
        for (int c = 0; c < m_need; ++c) {
            const Column what = m_columns[c];
            if (what < Column::Open)
                continue;
            double &value = values[static_cast<int>(what) - static_cast<int>(Column::Open)];
            // An index or a currency pair has no volume: an empty field is none.
            if (what >= Column::Volume && Trim(f[c]).empty())
                value = 0;
            else if (!Number(f[c], value))
                return Fail(line, SkipReason::Number, reason);
        }
        const std::string_view timeField = m_layout.time >= 0 ? f[m_layout.time] : std::string_view();
        if (!DateAndTime(f[m_layout.date], timeField, q, reason))
            return Fail(line, reason, reason);
        Prices(values, q);
        return true;
    }

    // The usual line, read where it lies in 8-bit text from p on: no quotes, every number
    // plain. One walk along the line, which also finds where it ends (lineEnd: its CR or
    // LF, or end). False leaves the line to the full reading, which also names what is
    // wrong with it.
    bool ReadUsual(const char *p, const char *const end, Quote &q, const char *&lineEnd)
    {
        const char sep = m_layout.separator;
        std::string_view dateField, timeField;
        double values[kValues] = {};
        for (int c = 0;; ++c) {
            const char *const start = p;
            const Column what = m_columns[c];
            if (what >= Column::Open) {
                if (!ReadPlainNumber(p, end, sep, m_mark,
                                     values[static_cast<int>(what) - static_cast<int>(Column::Open)]))
                    return false;
            } else {
                if (!SkipField(p, end, sep))
                    return false;
                if (what == Column::Date)
                    dateField = {start, static_cast<std::size_t>(p - start)};
                else if (what == Column::Time)
                    timeField = {start, static_cast<std::size_t>(p - start)};
            }
            if (c + 1 >= m_need)
                break;
            if (p >= end || *p != sep)
                return false;
            ++p;
        }
        SkipReason unused;
        if (!DateAndTime(dateField, timeField, q, unused))
            return false;
        Prices(values, q);
        // Past the last field read: the line end, or more fields up to it.
        lineEnd = p >= end || *p == '\r' || *p == '\n' ? p : p + LineEnd(p, 0, static_cast<std::size_t>(end - p));
        return true;
    }

private:

    bool DateAndTime(std::string_view dateField, std::string_view timeField, Quote &q, SkipReason &reason)
    {
        std::string_view dateText, timeText;
        if (m_layout.dateShape.withTime)
            SplitDateTime(dateField, dateText, timeText);
        else
            dateText = Trim(dateField);
        if (m_layout.time >= 0)
            timeText = Trim(timeField);

        // Consecutive quotes mostly share their date: the last one is kept.
        if (dateText.size() != m_lastDateSize || dateText.size() > sizeof m_lastDate
            || std::memcmp(dateText.data(), m_lastDate, dateText.size()) != 0) {
            m_lastDateSize = std::min(dateText.size(), sizeof m_lastDate + 1);
            std::memcpy(m_lastDate, dateText.data(), std::min(dateText.size(), sizeof m_lastDate));
            DateReading &r = m_lastReading;
            r.any = false;
            for (int k = 0; k < Orders(); ++k) {
                long long year = 0;
                int month = 0, day = 0;
                r.dateValid[k] = ReadDate(dateText, m_layout.dateShape, m_orders[k], year, month, day);
                if (r.dateValid[k]) {
                    r.dayNumber[k] = DaySerial(static_cast<int>(year), month, day);
                    if (k == 0)
                        PutDate(r.text, year, month, day);
                }
                r.any = r.any || r.dateValid[k];
            }
        }
        q.date = &m_lastReading;
        if (!m_lastReading.any) {
            reason = SkipReason::Date;
            return false;
        }
        q.time = {};
        if (!ReadTime(timeText, q.time)) {
            reason = SkipReason::Time;
            return false;
        }
        return true;
    }

    // Prices a file does not have stand for its close (tick files: all four the last).
    void Prices(const double *values, Quote &q) const
    {
        q.close = values[3];
        q.open = m_layout.open >= 0 ? values[0] : q.close;
        q.high = m_layout.high >= 0 ? values[1] : q.close;
        q.low = m_layout.low >= 0 ? values[2] : q.close;
        q.volume = values[4];
        q.tickVolume = values[5];
    }

    bool Fail(std::string_view line, SkipReason why, SkipReason &reason) const
    {
        if (IsEmptyRow(line, m_layout.separator))
            reason = SkipReason::Empty;
        else if (!m_headerText.empty() && line == m_headerText)
            reason = SkipReason::Header;
        else
            reason = why;
        return false;
    }

    bool ReadTime(std::string_view text, TimeValue &t) const
    {
        if (m_layout.dateShape.withTime) {
            if (text.empty())
                return true; // midnight
            return ReadColonTime(text, t);
        }
        switch (m_layout.timeShape) {
        case TimeShape::None: return true;
        case TimeShape::Colon: return ReadColonTime(text, t);
        case TimeShape::Compact: return ReadCompactTime(text, false, t);
        case TimeShape::CompactHM: return ReadCompactTime(text, true, t);
        }
        return false;
    }

    bool Number(std::string_view text, double &v)
    {
        if (m_mark)
            return TryReadNumber(text, m_mark, v);
        // No decimals seen yet: the first mark met decides for the rest of the file.
        if (!TryReadNumber(text, ',', v) && !TryReadNumber(text, '.', v))
            return false;
        if (text.find(',') != std::string_view::npos)
            m_mark = ',';
        else if (text.find('.') != std::string_view::npos)
            m_mark = '.';
        return true;
    }

    const ImportLayout &m_layout;
    std::vector<DateOrder> m_orders;
    std::string m_headerText;
    char m_mark;
    int m_need = 0;
    Column m_columns[kMaxFields] = {};
    char m_lastDate[32] = {};
    std::size_t m_lastDateSize = sizeof m_lastDate + 1; // none yet
    DateReading m_lastReading;
};

// "DD.MM.YY HH:MM" of a quote, as the native file writes it.
void PutDateText(std::string &out, const Quote &q)
{
    out.resize(14);
    char *text = out.data();
    std::memcpy(text, q.date->text, 8);
    text[8] = ' ';
    text[9] = static_cast<char>('0' + q.time.hour / 10);
    text[10] = static_cast<char>('0' + q.time.hour % 10);
    text[11] = ':';
    text[12] = static_cast<char>('0' + q.time.minute / 10);
    text[13] = static_cast<char>('0' + q.time.minute % 10);
}

// ---------------------------------------------------------------------------------------
// Recognising a layout

[[noreturn]] void Refuse(const std::string &what, const Sample &s)
{
    std::string first;
    for (const auto &l : s.lines)
        if (!Trim(l.second).empty()) {
            first = ShownLine(l.second, s.cp1251);
            break;
        }
    if (first.empty())
        throw ImportError(what + "; the file holds no text");
    throw ImportError(what + "; the first line reads \"" + first + "\"");
}

const char *const kExpected =
    "Not a quote file: expected a header naming the columns (such as "
    "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>) or lines of a date, a time and "
    "prices (such as 01.12.05;10:00;1234,5;1240;1230;1238,5;15000)";

struct Attempt
{
    ImportLayout layout;
    std::string headerText;
    int read = 0;          // sample lines read as quotes
    int unread = 0;        // sample lines that are not empty and not read
    std::string error;     // why this separator gives no layout
    int errorWeight = 0;   // how telling the error is (a header's own complaint beats a guess)
};

bool LooksLikeDate(std::string_view field, DateShape &shape)
{
    std::string_view date, time;
    SplitDateTime(field, date, time);
    shape = DateShape();
    if (AllDigits(date) && (date.size() == 6 || date.size() == 8)) {
        shape.compact = true;
        shape.digits = static_cast<int>(date.size());
        shape.yearDigits = date.size() == 8 ? 4 : 2;
    } else {
        const auto sep = std::find_if(date.begin(), date.end(), [](char c) { return c < '0' || c > '9'; });
        if (sep == date.end() || (*sep != '.' && *sep != '/' && *sep != '-'))
            return false;
        shape.separator = *sep;
        DateParts parts;
        if (!CutDate(date, shape, DateOrder::DayMonthYear, parts))
            return false;
        shape.yearFirst = parts.p[0].size() == 4;
        shape.yearDigits = shape.yearFirst ? 4 : static_cast<int>(parts.p[2].size());
        if (!shape.yearFirst && shape.yearDigits != 2 && shape.yearDigits != 4)
            return false;
        if (shape.yearFirst ? parts.p[1].size() > 2 || parts.p[2].size() > 2
                            : parts.p[0].size() > 2 || parts.p[1].size() > 2)
            return false;
    }
    if (!time.empty()) {
        TimeValue t;
        if (!ReadColonTime(time, t))
            return false;
        shape.withTime = true;
    }
    long long y = 0;
    int m = 0, d = 0;
    for (DateOrder o : OrdersForShape(shape))
        if (ReadDate(date, shape, o, y, m, d))
            return true;
    return false;
}

bool LooksLikeNumber(std::string_view field, char mark)
{
    double v = 0;
    if (mark)
        return TryReadNumber(field, mark, v);
    return TryReadNumber(field, ',', v) || TryReadNumber(field, '.', v);
}

// Columns of a file without a header, from its first quote: fields before the date are
// ignored (ticker, period); the date, a time when one follows, then the prices.
bool GuessColumns(const std::string_view *f, int n, char mark, ImportLayout &l)
{
    int c = 0;
    DateShape shape;
    while (c < n && !LooksLikeDate(f[c], shape))
        ++c;
    if (c >= n)
        return false;
    l.date = c++;
    TimeValue t;
    if (!shape.withTime && c < n) {
        const std::string_view text = Trim(f[c]);
        if (ReadColonTime(text, t) || (text.size() == 6 && ReadCompactTime(text, false, t)))
            l.time = c++;
    }
    std::vector<int> numbers;
    while (c < n && numbers.size() < 6 && LooksLikeNumber(f[c], mark))
        numbers.push_back(c++);
    switch (numbers.size()) {
    case 0:
    case 3: return false;
    case 1: l.close = numbers[0]; l.tick = true; break;
    case 2: l.close = numbers[0]; l.volume = numbers[1]; l.tick = true; break;
    default:
        l.open = numbers[0];
        l.high = numbers[1];
        l.low = numbers[2];
        l.close = numbers[3];
        if (numbers.size() >= 5)
            l.volume = numbers[4];
    }
    l.uncertain = numbers.size() != 5;
    return true;
}

enum class HeaderKind { None, Angle, Words, Russian };

// Columns from a header line; false when the line is no header.
bool ReadHeader(const std::vector<std::string> &names, ImportLayout &l, HeaderKind &kind,
                std::string &error)
{
    int known = 0, angle = 0, cyrillic = 0;
    bool terminal = false;
    int dateTime = -1, last = -1;
    for (int c = 0; c < static_cast<int>(names.size()); ++c) {
        bool inBrackets = false;
        const std::string name = NormalName(names[static_cast<std::size_t>(c)], inBrackets);
        const Role role = RoleOf(name);
        if (role == Role::Unknown)
            continue;
        ++known;
        angle += inBrackets;
        cyrillic += static_cast<unsigned char>(name[0]) >= 0xD0;
        terminal = terminal || name == "tickvol" || name == "spread";
        auto first = [c](int &column) {
            if (column < 0)
                column = c;
        };
        switch (role) {
        case Role::Date: first(l.date); break;
        case Role::Time: first(l.time); break;
        case Role::DateTime: first(dateTime); break;
        case Role::Open: first(l.open); break;
        case Role::High: first(l.high); break;
        case Role::Low: first(l.low); break;
        case Role::Close: first(l.close); break;
        case Role::Last: first(last); break;
        case Role::Volume: first(l.volume); break;
        case Role::TickVolume: first(l.tickVolume); break;
        default: break;
        }
    }
    // A last price stands for the close; alone it makes a tick file.
    if (l.close < 0 && last >= 0) {
        l.close = last;
        l.tick = l.open < 0 && l.high < 0 && l.low < 0;
    }
    const bool price = l.open >= 0 || l.high >= 0 || l.low >= 0 || l.close >= 0;
    if (known < 2 || !price)
        return false;
    kind = angle * 2 > known ? HeaderKind::Angle : cyrillic * 2 > known ? HeaderKind::Russian
                                                                        : HeaderKind::Words;
    l.family = kind == HeaderKind::Angle ? (terminal ? "terminal export" : "data-site export")
               : kind == HeaderKind::Russian ? "export with Russian column names"
                                             : "export with column names";
    if (l.date < 0 && dateTime >= 0)
        l.date = dateTime;
    else if (l.date < 0 && l.time >= 0)
        l.date = l.time, l.time = -1; // a time column holding date and time
    if (l.date < 0) {
        error = "The header names no date column (expected <DATE>, Date or Дата)";
        return true;
    }
    if (l.close < 0) {
        error = "The header names no close price (expected <CLOSE>, <LAST>, Close or Закрытие)";
        return true;
    }
    return true;
}

// How many sample lines, from the first data line on, read as quotes, and how many do not.
void ScoreSample(const Sample &s, Attempt &a)
{
    const ImportLayout &l = a.layout;
    QuoteReader reader(l, {l.dateOrder}, a.headerText);
    Quote q;
    SkipReason reason;
    int fields = 0;
    for (const auto &[number, text] : s.lines) {
        if (number < l.firstDataLine)
            continue;
        if (reader.Read(text, q, reason, fields) && q.date->dateValid[0])
            ++a.read;
        else if (reason != SkipReason::Empty)
            ++a.unread;
    }
}

Attempt DetectWith(const Sample &s, char sep, const ImportOptions &options, long long skipLine)
{
    Attempt a;
    ImportLayout &l = a.layout;
    l.separator = sep;
    l.encoding = s.encodingName;
    std::string_view f[kMaxFields];

    // The header or the first quote among the first lines; lines before it are not part
    // of the table.
    HeaderKind kind = HeaderKind::None;
    int looked = 0;
    for (const auto &[number, text] : s.lines) {
        if (number == skipLine || Trim(text).empty())
            continue;
        if (++looked > kHeaderSearchLines)
            break;
        const int n = std::min(SplitFields(text, sep, f, kMaxFields), kMaxFields);
        std::vector<std::string> names;
        for (int c = 0; c < n; ++c)
            names.push_back(s.cp1251 ? Cp1251ToUtf8(f[c]) : std::string(f[c]));
        ImportLayout candidate = l;
        std::string error;
        if (ReadHeader(names, candidate, kind, error)) {
            if (!error.empty()) {
                a.error = error;
                a.errorWeight = 2;
                return a;
            }
            l = candidate;
            l.headerLine = number;
            l.firstDataLine = number + 1;
            a.headerText = text;
            break;
        }
        candidate = l;
        if (GuessColumns(f, n, options.decimalMark, candidate)) {
            l = candidate;
            l.family = "export without column names";
            l.firstDataLine = number;
            kind = HeaderKind::None;
            break;
        }
    }
    if (l.date < 0) {
        a.error = kExpected;
        return a;
    }

    // The data lines of the sample, cut into fields.
    std::vector<std::vector<std::string_view>> rows;
    for (const auto &[number, text] : s.lines) {
        if (number < l.firstDataLine || Trim(text).empty())
            continue;
        const int n = std::min(SplitFields(text, sep, f, kMaxFields), kMaxFields);
        rows.emplace_back(f, f + n);
    }
    auto column = [&rows](int c, auto &&visit) {
        for (const auto &row : rows)
            if (c >= 0 && c < static_cast<int>(row.size()))
                visit(row[static_cast<std::size_t>(c)]);
    };

    // The date: its shape from the first value that has one, then the readings under which
    // every value of that shape is a valid day.
    bool haveShape = false;
    column(l.date, [&](std::string_view v) {
        DateShape shape;
        if (!haveShape && LooksLikeDate(v, shape)) {
            l.dateShape = shape;
            haveShape = true;
        }
    });
    if (!haveShape) {
        a.error = kind == HeaderKind::None ? kExpected
                  : rows.empty()           ? "The file holds a header but no quotes"
                                           : "No date in the column the header names as the date";
        a.errorWeight = kind == HeaderKind::None ? 0 : 1;
        return a;
    }
    if (l.dateShape.withTime && l.time >= 0)
        l.time = -1; // the date field has its own time
    std::vector<DateOrder> orders = OrdersForShape(l.dateShape);
    if (options.dateOrder != DateOrder::Auto) {
        const std::vector<DateOrder> possible = PossibleOrders(l.dateShape);
        if (std::find(possible.begin(), possible.end(), options.dateOrder) == possible.end()) {
            a.error = "The dates cannot be read as " + DateFormText(l.dateShape, options.dateOrder);
            a.errorWeight = 1;
            return a;
        }
        orders = {options.dateOrder};
    }
    std::vector<int> valid(orders.size(), 0);
    int dates = 0;
    column(l.date, [&](std::string_view v) {
        std::string_view date, time;
        if (l.dateShape.withTime)
            SplitDateTime(v, date, time);
        else
            date = Trim(v);
        ++dates;
        long long y = 0;
        int m = 0, d = 0;
        for (std::size_t k = 0; k < orders.size(); ++k)
            valid[k] += ReadDate(date, l.dateShape, orders[k], y, m, d);
    });
    const int best = *std::max_element(valid.begin(), valid.end());
    for (std::size_t k = 0; k < orders.size(); ++k)
        if (valid[k] == best && (best == dates || options.dateOrder != DateOrder::Auto))
            l.dateOrders.push_back(orders[k]);
    if (l.dateOrders.empty()) // no reading fits every date: the best ones, bad lines skipped
        for (std::size_t k = 0; k < orders.size(); ++k)
            if (valid[k] == best)
                l.dateOrders.push_back(orders[k]);
    l.dateOrder = l.dateOrders.front();

    // The time: with colons, or digits only (HHMMSS unless no value is longer than HHMM).
    if (l.dateShape.withTime) {
        column(l.date, [&](std::string_view v) {
            std::string_view date, time;
            SplitDateTime(v, date, time);
            TimeValue t;
            ReadColonTime(time, t, &l.timeSeconds, &l.timeFraction);
        });
    } else if (l.time >= 0) {
        bool colon = false, longest6 = false, hm = false, allZero = true;
        column(l.time, [&](std::string_view v) {
            v = Trim(v);
            TimeValue t;
            if (v.find(':') != std::string_view::npos) {
                colon = true;
                ReadColonTime(v, t, &l.timeSeconds, &l.timeFraction);
            }
            longest6 = longest6 || v.size() >= 5;
            hm = hm || v.size() == 3 || v.size() == 4;
            allZero = allZero && v == "0";
        });
        l.timeShape = colon ? TimeShape::Colon
                      : (hm && !longest6) ? TimeShape::CompactHM
                                          : TimeShape::Compact;
        l.timeAllZero = !colon && allZero;
    }

    // The decimal mark: the one the prices use.
    l.decimalMark = options.decimalMark;
    if (!l.decimalMark) {
        int point = 0, comma = 0;
        for (int c : {l.open, l.high, l.low, l.close, l.volume})
            column(c, [&](std::string_view v) {
                point += v.find('.') != std::string_view::npos;
                comma += v.find(',') != std::string_view::npos;
            });
        l.decimalMark = point > comma ? '.' : comma > point ? ',' : 0;
    }
    for (int c : {l.date, l.time, l.open, l.high, l.low, l.close, l.volume, l.tickVolume})
        l.fieldsNeeded = std::max(l.fieldsNeeded, c + 1);
    l.quoted = std::any_of(s.lines.begin(), s.lines.end(), [](const auto &line) {
        return line.second.find('"') != std::string::npos;
    });
    ScoreSample(s, a);
    return a;
}

// "sep=;" on the first line tells spreadsheets the separator.
long long SeparatorDirective(const Sample &s, char &sep)
{
    if (s.lines.empty())
        return 0;
    std::string_view first = Trim(s.lines.front().second);
    if (first.size() >= 2 && first.front() == '"' && first.back() == '"')
        first = first.substr(1, first.size() - 2);
    if (first.size() == 5 && (first.substr(0, 4) == "sep=" || first.substr(0, 4) == "SEP=")) {
        sep = first[4];
        return s.lines.front().first;
    }
    return 0;
}

struct Detected
{
    Sample sample;
    ImportLayout layout;
    std::string headerText;
    long long directiveLine = 0;
};

Detected Detect(std::string_view bytes, const ImportOptions &options)
{
    Detected d;
    d.sample = TakeSample(bytes);
    const Sample &s = d.sample;
    if (std::none_of(s.lines.begin(), s.lines.end(),
                     [](const auto &l) { return !Trim(l.second).empty(); }))
        throw ImportError(std::string(kExpected) + "; the file holds no text");

    char directive = 0;
    d.directiveLine = SeparatorDirective(s, directive);
    std::vector<char> separators;
    if (options.separator)
        separators = {options.separator};
    else if (directive == ';' || directive == ',' || directive == '\t')
        separators = {directive};
    else
        for (char sep : {'\t', ';', ','})
            if (std::any_of(s.lines.begin(), s.lines.end(), [sep](const auto &l) {
                    return CountOutsideQuotes(l.second, sep) > 0;
                }))
                separators.push_back(sep);
    if (separators.empty())
        separators = {';'}; // one column: the date alone cannot be a quote, said below

    // The separator under which the most lines read; a layout under which fewer lines
    // read than not is no layout.
    Attempt best;
    Attempt refused;
    bool found = false;
    for (char sep : separators) {
        Attempt a = DetectWith(s, sep, options, d.directiveLine);
        if (a.error.empty() && a.read > 0 && a.read >= a.unread) {
            if (!found || a.read - a.unread > best.read - best.unread)
                best = std::move(a);
            found = true;
        } else if (!a.error.empty() && (refused.error.empty() || a.errorWeight > refused.errorWeight)) {
            refused = std::move(a);
        }
    }
    if (!found)
        Refuse(refused.errorWeight > 0 ? refused.error : kExpected, s);
    d.layout = std::move(best.layout);
    d.headerText = std::move(best.headerText);
    return d;
}

// ---------------------------------------------------------------------------------------
// Reading the whole file

// How the dates of one reading run through the file.
struct OrderTrack
{
    long long invalid = 0;
    long long rises = 0, falls = 0;
    long long firstFallLine = 0;
    double first = 0, previous = 0;
    long long firstLine = 0;
    bool any = false;

    void See(double dateTime, long long line)
    {
        if (any) {
            if (dateTime > previous)
                ++rises;
            else if (dateTime < previous && falls++ == 0)
                firstFallLine = line;
        } else {
            first = dateTime;
            firstLine = line;
        }
        previous = dateTime;
        any = true;
    }
    // The dates of the lines after these.
    void Append(const OrderTrack &later)
    {
        invalid += later.invalid;
        if (!later.any)
            return;
        See(later.first, later.firstLine);
        if (falls == 0 && later.falls > 0)
            firstFallLine = later.firstFallLine;
        rises += later.rises;
        falls += later.falls;
        previous = later.previous;
    }
    bool InOrder() const { return falls == 0 || rises == 0; }
};

// What a pass over some of the file's lines found besides the records.
struct PassFindings
{
    std::vector<OrderTrack> tracks;
    std::array<long long, kSkipReasons> skipped{};
    std::map<int, long long> shortLines;
    std::vector<SkippedLine> firstSkipped;
    bool allVolumesZero = true;

    // The findings of the lines after these.
    void Append(const PassFindings &later)
    {
        for (std::size_t k = 0; k < tracks.size(); ++k)
            tracks[k].Append(later.tracks[k]);
        for (int r = 0; r < kSkipReasons; ++r)
            skipped[static_cast<std::size_t>(r)] += later.skipped[static_cast<std::size_t>(r)];
        for (const auto &[fields, count] : later.shortLines)
            shortLines[fields] += count;
        for (const SkippedLine &line : later.firstSkipped)
            if (firstSkipped.size() < kFirstSkippedShown)
                firstSkipped.push_back(line);
        allVolumesZero = allVolumesZero && later.allVolumesZero;
    }
};

// Records appended to the list (one thread).
struct ListSink
{
    TFList &list;
    TFPoint &Next() { return list.AddNew(); }
    void Keep() {}
};

// Records written into a piece's room (FillInParallel).
struct RoomSink
{
    TFList::Room &room;
    TFPoint &Next() { return room.Next(); }
    void Keep() { room.Keep(); }
};

class Importer final
{
public:
    Importer(std::string_view bytes, const Detected &d, TFList &quotes, ImportResult &result,
             const TFList::LoadSplit &split)
        : m_bytes(bytes.substr(d.sample.bomSize)), m_d(d), m_quotes(quotes), m_result(result), m_split(split)
    {
    }

    // One pass over the file with the given readings of the date; records are made with
    // the first. Returns how each reading fared. 8-bit text with its decimal mark known
    // is read in pieces on all cores once it is long enough.
    std::vector<OrderTrack> Pass(const std::vector<DateOrder> &orders)
    {
        const ImportLayout &l = m_d.layout;
        m_quotes.Clear();
        PassFindings found;
        found.tracks.resize(orders.size());
        QuoteReader reader(l, orders, m_d.headerText);
        LineReader lines(m_bytes, m_d.sample.encoding);
        ListSink sink{m_quotes};
        // The lines before the first quote's, on this thread.
        std::string_view line;
        while (lines.Number() + 1 < l.firstDataLine && lines.Next(line)) {
            const long long number = lines.Number();
            if (number != l.headerLine && number != m_d.directiveLine)
                Skip(found, number, line, IsEmptyRow(line, l.separator) ? SkipReason::Empty
                                                                         : SkipReason::Preamble, 0);
        }
        const std::size_t body = static_cast<std::size_t>(lines.Here() - m_bytes.data());
        if (lines.Narrow() && l.decimalMark != 0 && m_bytes.size() - body >= m_split.parallelFrom
            && ReadInParallel(orders, body, lines.Number() + 1, found)) {
            m_result.layout.decimalMark = l.decimalMark;
        } else {
            ReadLines(lines, reader, found, sink);
            m_result.layout.decimalMark = reader.DecimalMark();
        }
        m_result.skipped = found.skipped;
        m_result.shortLines = std::move(found.shortLines);
        m_result.firstSkipped = std::move(found.firstSkipped);
        m_allVolumesZero = found.allVolumesZero;
        return found.tracks;
    }

    bool AllVolumesZero() const { return m_allVolumesZero; }

private:
    // The text from body on (its first line numbered firstLine) in pieces that end with a
    // line, each read into its room in the list by a reader of its own; their findings
    // are joined in file order. False, with nothing read, when the list cannot hold as
    // many lines.
    bool ReadInParallel(const std::vector<DateOrder> &orders, std::size_t body, long long firstLine,
                        PassFindings &found)
    {
        const std::vector<std::size_t> starts = SplitAtLines(m_bytes, body, m_split.chunkBytes);
        const std::size_t pieces = starts.size() - 1;
        std::vector<std::int64_t> sizes(pieces);
        tbb::parallel_for(std::size_t{0}, pieces,
                          [&](std::size_t k) { sizes[k] = CountLines(m_bytes, starts[k], starts[k + 1]); });
        std::vector<long long> pieceLine(pieces, firstLine);
        for (std::size_t k = 1; k < pieces; ++k)
            pieceLine[k] = pieceLine[k - 1] + sizes[k - 1];
        std::vector<PassFindings> pieceFound(pieces);
        const bool filled = m_quotes.FillInParallel(sizes, [&](std::size_t k, TFList::Room &room) {
            PassFindings &f = pieceFound[k];
            f.tracks.resize(orders.size());
            QuoteReader reader(m_d.layout, orders, m_d.headerText);
            LineReader lines(m_bytes.substr(starts[k], starts[k + 1] - starts[k]), m_d.sample.encoding,
                             pieceLine[k]);
            RoomSink sink{room};
            ReadLines(lines, reader, f, sink);
        });
        if (!filled)
            return false;
        for (const PassFindings &f : pieceFound)
            found.Append(f);
        return true;
    }

    // The quote lines from where lines stands to its end.
    template <class Sink>
    void ReadLines(LineReader &lines, QuoteReader &reader, PassFindings &found, Sink &sink)
    {
        const int fieldsNeeded = m_d.layout.fieldsNeeded;
        std::string_view line;
        Quote q;
        SkipReason reason = SkipReason::Empty;
        int fields = 0;
        for (;;) {
            // The usual line straight from the file's bytes; anything else line by line.
            if (lines.Narrow() && lines.More()) {
                const char *const start = lines.Here();
                const char *lineEnd = nullptr;
                if (reader.ReadUsual(start, lines.End(), q, lineEnd)) {
                    lines.Passed(lineEnd);
                    Take(found, sink, q, lines.Number(),
                         std::string_view(start, static_cast<std::size_t>(lineEnd - start)), fieldsNeeded);
                    continue;
                }
            }
            if (!lines.Next(line))
                break;
            if (!reader.Read(line, q, reason, fields)) {
                Skip(found, lines.Number(), line, reason, fields);
                continue;
            }
            Take(found, sink, q, lines.Number(), line, fields);
        }
    }

    // A quote read from line number: its date seen under every reading, and a record of
    // it under the first.
    template <class Sink>
    void Take(PassFindings &found, Sink &sink, const Quote &q, long long number, std::string_view line,
              int fields)
    {
        const double timeOfDay = TimeOfDay(q.time.hour, q.time.minute, q.time.second,
                                           q.time.millisecond);
        for (std::size_t k = 0; k < found.tracks.size(); ++k) {
            if (q.date->dateValid[k])
                found.tracks[k].See(CombineDateTime(q.date->dayNumber[k], timeOfDay), number);
            else
                ++found.tracks[k].invalid;
        }
        if (!q.date->dateValid[0]) {
            Skip(found, number, line, SkipReason::Date, fields);
            return;
        }
        TFPoint &p = sink.Next();
        p.DateTime = CombineDateTime(q.date->dayNumber[0], timeOfDay);
        PutDateText(p.DateText, q);
        p.Open = q.open;
        p.High = q.high;
        p.Low = q.low;
        p.Close = q.close;
        p.Volume = q.volume;
        // The tick volume waits in a field the statistics write anyway, until the end of
        // the file tells whether every volume was 0.
        p.MA3 = q.tickVolume;
        sink.Keep();
        found.allVolumesZero = found.allVolumesZero && q.volume == 0;
    }

    void Skip(PassFindings &found, long long number, std::string_view line, SkipReason reason, int fields) const
    {
        ++found.skipped[static_cast<std::size_t>(reason)];
        if (reason == SkipReason::Fields)
            ++found.shortLines[fields];
        if (found.firstSkipped.size() < kFirstSkippedShown)
            found.firstSkipped.push_back({number, reason, fields, ShownLine(line, m_d.sample.cp1251)});
    }

    std::string_view m_bytes; // after the byte-order mark
    const Detected &m_d;
    TFList &m_quotes;
    ImportResult &m_result;
    const TFList::LoadSplit m_split;
    bool m_allVolumesZero = true;
};

void Reverse(TFList &quotes)
{
    for (int i = 0, j = quotes.Count() - 1; i < j; ++i, --j)
        std::swap(*quotes.Items(i), *quotes.Items(j));
}

std::string Plural(long long n, const char *one, const char *many)
{
    return FormatN(static_cast<double>(n), 0) + " " + (n == 1 ? one : many);
}

} // namespace

// ---------------------------------------------------------------------------------------

std::string DateFormText(const DateShape &shape, DateOrder order)
{
    const std::string year = shape.yearDigits == 4 ? "YYYY" : "YY";
    const char *sep = "";
    std::string s(1, shape.separator);
    if (!shape.compact)
        sep = s.c_str();
    switch (order) {
    case DateOrder::YearMonthDay: return year + sep + "MM" + sep + "DD";
    case DateOrder::MonthDayYear: return std::string("MM") + sep + "DD" + sep + year;
    default: return std::string("DD") + sep + "MM" + sep + year;
    }
}

std::string SkipReasonText(SkipReason reason, int fields)
{
    switch (reason) {
    case SkipReason::Empty: return "empty";
    case SkipReason::Fields: return fields == 1 ? "with 1 field" : "with " + std::to_string(fields) + " fields";
    case SkipReason::Header: return "repeating the header";
    case SkipReason::Preamble: return "before the table";
    case SkipReason::Date: return "with a bad date";
    case SkipReason::Time: return "with a bad time";
    case SkipReason::Number: return "with a bad number";
    }
    return {};
}

std::string ImportLayout::TimeForm() const
{
    const std::string colon = timeFraction ? "HH:MM:SS.fff" : timeSeconds ? "HH:MM:SS" : "HH:MM";
    if (dateShape.withTime)
        return {};
    switch (timeShape) {
    case TimeShape::None: return {};
    case TimeShape::Colon: return colon;
    case TimeShape::Compact: return timeAllZero ? "0" : "HHMMSS";
    case TimeShape::CompactHM: return "HHMM";
    }
    return {};
}

std::string ImportLayout::DateForm() const
{
    std::string form = DateFormText(dateShape, dateOrder);
    if (dateShape.withTime)
        form += timeFraction ? " HH:MM:SS.fff" : timeSeconds ? " HH:MM:SS" : " HH:MM";
    return form;
}

std::string ImportLayout::Text() const
{
    std::string text = family + ": ";
    text += separator == '\t' ? std::string("tab") : "'" + std::string(1, separator) + "'";
    text += ", " + DateForm();
    if (!dateShape.withTime)
        text += time >= 0 ? ", " + TimeForm() : std::string(", no time");
    text += decimalMark == '.' ? ", decimal point" : decimalMark == ',' ? ", decimal comma" : ", whole numbers";
    if (quoted)
        text += ", quoted fields";
    if (!encoding.empty())
        text += ", " + encoding;
    return text;
}

long long ImportResult::SkippedCount() const
{
    long long n = 0;
    for (long long s : skipped)
        n += s;
    return n;
}

std::string ImportResult::Description() const
{
    std::string text = layout.Text() + "; " + Plural(quotes, "quote", "quotes");
    if (layout.tick)
        text += "; last prices only: open = high = low = close";
    if (volumeFromTicks)
        text += "; every volume 0: tick volume used";
    if (!otherDateOrders.empty()) {
        text += "; dates read as " + DateFormText(layout.dateShape, layout.dateOrder) + ", but ";
        for (std::size_t i = 0; i < otherDateOrders.size(); ++i)
            text += (i ? " or " : "") + DateFormText(layout.dateShape, otherDateOrders[i]);
        text += " would do as well";
    } else if (dateOrderDecided) {
        text += "; dates read as " + DateFormText(layout.dateShape, layout.dateOrder)
                + ", the only reading under which they are valid and in order";
    }
    if (reversed)
        text += "; reversed to oldest first";
    if (outOfOrderLine > 0)
        text += "; out of order from line " + std::to_string(outOfOrderLine) + ", kept as it is";
    const long long skippedLines = SkippedCount();
    if (skippedLines > 0) {
        text += "; " + Plural(skippedLines, "line", "lines") + " skipped: ";
        bool first = true;
        const auto part = [&](long long n, const std::string &what) {
            if (n == 0)
                return;
            text += (first ? "" : ", ") + FormatN(static_cast<double>(n), 0) + " " + what;
            first = false;
        };
        for (int r = 0; r < kSkipReasons; ++r) {
            const auto reason = static_cast<SkipReason>(r);
            if (reason == SkipReason::Fields)
                for (const auto &[fields, n] : shortLines)
                    part(n, SkipReasonText(reason, fields));
            else
                part(skipped[static_cast<std::size_t>(r)], SkipReasonText(reason));
        }
    }
    return text;
}

std::vector<std::string> ImportResult::SkippedLineTexts() const
{
    std::vector<std::string> lines;
    for (const SkippedLine &s : firstSkipped)
        lines.push_back("line " + std::to_string(s.line) + " (" + SkipReasonText(s.reason, s.fields)
                        + "): " + s.text);
    return lines;
}

ImportLayout DetectImportLayout(std::string_view bytes, const ImportOptions &options)
{
    return Detect(bytes, options).layout;
}

ImportResult ImportQuotes(std::string_view bytes, TFList &quotes, const ImportOptions &options)
{
    quotes.Clear();
    quotes.ResetStatistics();
    const Detected d = Detect(bytes, options);
    ImportResult result;
    result.layout = d.layout;
    Importer importer(bytes, d, quotes, result, options.split);
    try {
        std::vector<DateOrder> orders(d.layout.dateOrders.begin(),
                                      d.layout.dateOrders.begin()
                                          + std::min<std::size_t>(d.layout.dateOrders.size(), kMaxDateOrders));
        std::vector<OrderTrack> tracks = importer.Pass(orders);

        // The reading under which every date is valid and in order, oldest first before
        // newest first; failing that, every date valid; failing that, the fewest bad dates.
        // Ties go to the preferred reading.
        const auto rank = [&tracks](std::size_t k) {
            const OrderTrack &t = tracks[k];
            return std::make_tuple(t.invalid > 0, !t.InOrder(), t.falls > 0, t.invalid, k);
        };
        std::size_t chosen = 0;
        for (std::size_t k = 1; k < tracks.size(); ++k)
            if (rank(k) < rank(chosen))
                chosen = k;
        if (orders.size() > 1) {
            const auto best = rank(chosen);
            for (std::size_t k = 0; k < tracks.size(); ++k)
                if (k != chosen && tracks[k].invalid == 0 && tracks[k].InOrder()
                    && std::get<2>(rank(k)) == std::get<2>(best))
                    result.otherDateOrders.push_back(orders[k]);
            result.dateOrderDecided = result.otherDateOrders.empty() && tracks[chosen].invalid == 0
                                      && tracks[chosen].InOrder();
        }
        result.layout.dateOrder = orders[chosen];
        if (chosen != 0) {
            tracks = importer.Pass({orders[chosen]});
            chosen = 0;
        }
        const OrderTrack &track = tracks[chosen];

        if (quotes.Count() == 0) {
            std::string what = "No line could be read as a quote (" + result.layout.Text() + ")";
            if (!result.firstSkipped.empty())
                what += "; line " + std::to_string(result.firstSkipped.front().line) + " is "
                        + SkipReasonText(result.firstSkipped.front().reason,
                                         result.firstSkipped.front().fields)
                        + ": \"" + result.firstSkipped.front().text + "\"";
            throw ImportError(what);
        }

        const bool tickVolumes = d.layout.tickVolume >= 0 && importer.AllVolumesZero();
        result.volumeFromTicks = tickVolumes && d.layout.volume >= 0;
        if (tickVolumes) // the statistics write MA3 anew
            quotes.ForEach([](TFPoint &p, int) { p.Volume = p.MA3; });
        if (track.rises == 0 && track.falls > 0) {
            Reverse(quotes);
            result.reversed = true;
        } else if (!track.InOrder()) {
            result.outOfOrderLine = track.firstFallLine;
        }
        result.quotes = quotes.Count();
        quotes.Statistics();
    } catch (...) {
        quotes.Clear();
        quotes.ResetStatistics();
        throw;
    }
    return result;
}

ImportPreview PreviewImport(std::string_view bytes, const ImportOptions &options, int maxRows)
{
    const Detected d = Detect(bytes, options);
    ImportPreview preview;
    preview.layout = d.layout;
    QuoteReader reader(d.layout, {d.layout.dateOrder}, d.headerText);
    Quote q;
    for (const auto &[number, text] : d.sample.lines) {
        if (static_cast<int>(preview.rows.size()) >= maxRows)
            break;
        if (number < d.layout.firstDataLine)
            continue;
        PreviewRow row;
        row.line = number;
        row.text = ShownLine(text, d.sample.cp1251);
        row.read = reader.Read(text, q, row.reason, row.fields);
        if (row.read && !q.date->dateValid[0]) {
            row.read = false;
            row.reason = SkipReason::Date;
        }
        if (row.read) {
            PutDateText(row.DateText, q);
            row.DateTime = CombineDateTime(q.date->dayNumber[0], TimeOfDay(q.time.hour, q.time.minute,
                                                                     q.time.second, q.time.millisecond));
            row.Open = q.open;
            row.High = q.high;
            row.Low = q.low;
            row.Close = q.close;
            row.Volume = q.volume;
        }
        preview.rows.push_back(std::move(row));
    }
    preview.layout.decimalMark = reader.DecimalMark();
    return preview;
}

bool IsNativeQuoteFile(std::string_view bytes, TFList *loaded)
{
    ImportLayout l;
    try {
        l = DetectImportLayout(bytes);
    } catch (const ConvertError &) {
        return false;
    }
    const bool nativeLayout = l.encoding != "UTF-8 with BOM" && l.encoding.find("UTF-16") == std::string::npos
                              && l.separator == ';' && l.headerLine == 1 && l.date == 0 && l.time == 1
                              && l.open == 2 && l.high == 3 && l.low == 4 && l.close == 5 && l.volume == 6
                              && !l.dateShape.compact && l.dateShape.separator == '.'
                              && !l.dateShape.yearFirst && l.dateShape.yearDigits == 2
                              && !l.dateShape.withTime && l.dateOrder == DateOrder::DayMonthYear
                              && l.timeShape == TimeShape::Colon && !l.timeSeconds && l.decimalMark != '.'
                              && !l.quoted;
    if (!nativeLayout)
        return false;
    TFList list;
    if (loaded)
        list.SetLevelDepth(loaded->LevelDepth); // the levels are computed as the caller wants them
    try {
        list.LoadFromStream(bytes);
    } catch (const ConvertError &) {
        return false;
    }
    bool inOrder = list.Count() > 0;
    double previous = 0;
    list.ForEach([&](const TFPoint &p, int i) {
        inOrder = inOrder && (i == 0 || p.DateTime >= previous);
        previous = p.DateTime;
    });
    if (inOrder && loaded)
        loaded->Swap(list);
    return inOrder;
}

} // namespace korvala

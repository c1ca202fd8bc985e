#include "numtext.h"

#include "codec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>

namespace korvala {

namespace {

// Decimal comma and, when grouped, a plain space between groups of three digits.
class FixedPunct final : public std::numpunct<char>
{
public:
    explicit FixedPunct(bool grouped) : m_grouped(grouped) {}

protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return m_grouped ? "\3" : ""; }

private:
    bool m_grouped;
};

std::string FormatFixed(double value, int decimals, bool grouped)
{
    thread_local std::ostringstream grouping = [] {
        std::ostringstream s;
        s.imbue(std::locale(std::locale::classic(), new FixedPunct(true)));
        s.setf(std::ios::fixed, std::ios::floatfield);
        return s;
    }();
    thread_local std::ostringstream plain = [] {
        std::ostringstream s;
        s.imbue(std::locale(std::locale::classic(), new FixedPunct(false)));
        s.setf(std::ios::fixed, std::ios::floatfield);
        return s;
    }();
    if (!std::isfinite(value))
        return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    std::ostringstream &s = grouped ? grouping : plain;
    s.str(std::string());
    s.precision(decimals);
    s << value;
    return s.str();
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The grammar of a number text with Mark as its decimal separator; on success value
// holds the double nearest to it.
template <char Mark>
bool ParseNumber(std::string_view text, double &value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    std::size_t end = n;
    while (end > i && text[end - 1] == ' ')
        --end;

    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaBegin = i;
    std::uint64_t mantissa = 0;
    int significant = 0;    // digits gathered into mantissa, leading zeros left out
    int fractionDigits = 0; // of those, how many follow the comma
    int digits = 0;
    int leadingIntegerDigits = 0; // integer digits after the leading zeros
    int leadingFractionZeros = 0; // zeros after the comma before the first other digit
    bool comma = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            if (mantissa == 0 && c == '0') {
                if (comma) {
                    ++fractionDigits;
                    ++leadingFractionZeros;
                }
                continue;
            }
            if (!comma)
                ++leadingIntegerDigits;
            if (significant < 19) {
                mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
                ++significant;
                if (comma)
                    ++fractionDigits;
            } else {
                significant = 99; // too long for the fast path
            }
        } else if (c == Mark && !comma) {
            comma = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    const std::size_t mantissaEnd = i;
    bool hasExponent = false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t expDigits = i;
        while (i < end && IsDigit(text[i]))
            ++i;
        if (i == expDigits)
            return false;
        hasExponent = true;
    }
    if (i != end)
        return false;

    // Fast path: a mantissa that fits 53 bits divided by an exact power of ten is
    // correctly rounded, the same double as the full conversion gives.
    if (!hasExponent && significant <= 19 && mantissa < (std::uint64_t{1} << 53)
        && fractionDigits <= 22) {
        const double v = static_cast<double>(mantissa) / kPow10[fractionDigits];
        value = negative ? -v : v;
        return true;
    }

    // Full conversion: from_chars wants a point for the decimal separator.
    std::string buffer(text.substr(mantissaBegin, end - mantissaBegin));
    for (char &c : buffer)
        if (c == Mark)
            c = '.';
    if (buffer.front() == '.')
        buffer.insert(buffer.begin(), '0');
    double v = 0;
    const auto [ptr, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Overflow or underflow: tell them apart by the decimal exponent of the value.
        long long exponent = 0;
        if (hasExponent) {
            const auto e = text.substr(mantissaEnd + 1, end - mantissaEnd - 1);
            const bool expNegative = e.front() == '-';
            for (char c : e) {
                if (IsDigit(c) && exponent < 100000)
                    exponent = exponent * 10 + (c - '0');
            }
            if (expNegative)
                exponent = -exponent;
        }
        const long long magnitude =
            exponent + (leadingIntegerDigits > 0 ? leadingIntegerDigits : -leadingFractionZeros);
        if (magnitude > 0)
            return false; // beyond the range of a double
        v = 0;
    } else if (ec != std::errc() || ptr != buffer.data() + buffer.size()) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

// The common case of quote files, [-]digits[,digits] with at most 15 digits: the
// mantissa and the power of ten are exact doubles, so one division is correctly rounded.
template <char Mark>
inline bool ParsePlainNumber(std::string_view text, double &value)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = -1;
    for (; p != end; ++p) {
        const unsigned d = static_cast<unsigned>(*p - '0');
        if (d < 10) {
            mantissa = mantissa * 10 + d;
            ++digits;
            if (fraction >= 0)
                ++fraction;
        } else if (*p == Mark && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15)
        return false;
    const double v = static_cast<double>(mantissa) / kPow10[fraction < 0 ? 0 : fraction];
    value = negative ? -v : v;
    return true;
}

template <char Mark>
bool TryRead(std::string_view text, double &value)
{
    if (ParsePlainNumber<Mark>(text, value))
        return true;
    double v = 0;
    if (!ParseNumber<Mark>(text, v))
        return false;
    value = v;
    return true;
}

} // namespace

bool TryStrToFloat(std::string_view text, double &value) { return TryRead<','>(text, value); }

bool TryReadNumber(std::string_view text, char decimalMark, double &value)
{
    return decimalMark == '.' ? TryRead<'.'>(text, value) : TryRead<','>(text, value);
}

double StrToFloat(std::string_view text)
{
    double v = 0;
    if (!TryStrToFloat(text, v)) {
        // An error text travels as a C string: a NUL byte would cut it short. A text
        // of megabytes is cut: the message box shows it whole.
        std::string shown;
        for (char c : text)
            shown += c == '\0' ? std::string("\u2400") : std::string(1, c);
        shown = ShortText(shown, 1000);
        throw ConvertError("'" + shown + "' is not a valid floating point value");
    }
    return v;
}

double StrToFloatDef0(std::string_view text)
{
    double v = 0;
    return ParseNumber<','>(text, v) ? v : 0.0;
}

bool TryStrToInt(std::string_view text, int &value)
{
    // from_chars takes a minus but no plus sign.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    int v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

int StrToIntDef(std::string_view text, int fallback)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : fallback;
}

std::optional<int> SpinEditValue(std::string_view text, int minValue, int maxValue)
{
    if (text.empty())
        return std::nullopt;
    return std::clamp(StrToIntDef(text, minValue), minValue, maxValue);
}

std::optional<int> SpinEditSettledValue(std::string_view text, int minValue, int maxValue)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (i == text.size())
        return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        // Past any int the digits that follow cannot bring it back into the range.
        v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 40);
    }
    return static_cast<int>(std::clamp<long long>(negative ? -v : v, minValue, maxValue));
}

namespace {

// The length of a thousands separator at the start of text: a blank (1), a no-break
// space U+00A0 or a narrow no-break space U+202F in UTF-8 (2 or 3); 0 for anything else.
std::size_t GroupSeparatorLength(std::string_view text)
{
    if (text.substr(0, 1) == " ")
        return 1;
    if (text.substr(0, 2) == "\xC2\xA0")
        return 2;
    if (text.substr(0, 3) == "\xE2\x80\xAF")
        return 3;
    return 0;
}

// Exactly three digits at pos, not followed by a fourth.
bool ThreeDigitsAt(std::string_view text, std::size_t pos)
{
    if (pos + 3 > text.size())
        return false;
    for (std::size_t k = pos; k < pos + 3; ++k)
        if (!IsDigit(text[k]))
            return false;
    return pos + 3 == text.size() || !IsDigit(text[pos + 3]);
}

} // namespace

double GroupedStrToFloatDef0(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    // The whole part: a first group of one to three digits, then groups of three, each
    // after one separator. Anything else is no grouping and reads as it stands.
    std::string plain(text.substr(0, i));
    int group = 0;
    bool grouped = false;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            plain += text[i++];
            ++group;
            continue;
        }
        const std::size_t separator = GroupSeparatorLength(text.substr(i));
        if (separator == 0 || group == 0 || !ThreeDigitsAt(text, i + separator))
            break;
        if (group > 3 || (grouped && group != 3))
            return StrToFloatDef0(text);
        grouped = true;
        group = 0;
        i += separator;
    }
    if (!grouped)
        return StrToFloatDef0(text);
    plain.append(text.substr(i));
    return StrToFloatDef0(plain);
}

std::string FormatInt(long long value) { return std::to_string(value); }

std::string FormatN(double value, int decimals) { return FormatFixed(value, decimals, true); }

std::string FormatF(double value, int decimals) { return FormatFixed(value, decimals, false); }

std::string FormatRoundTrip(double value)
{
    if (!std::isfinite(value))
        return FormatFixed(value, 0, false);
    // The largest double written in full takes 309 digits before the point.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace korvala

#pragma once

// Number texts in the program's fixed locale: reading numbers and formatting them.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvala {

// A text that does not convert to a number, or a date and time that do not exist.
class ConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Number texts in the program's fixed locale, whatever the machine's: decimal comma,
// a plain space between groups of thousands.

// Reads a decimal number: optional blanks, an optional sign, digits with at most one
// decimal comma (",5" and "1," are fine), an optional exponent (E or e, optional sign,
// digits), optional blanks. Throws ConvertError "'<text>' is not a valid floating point
// value" for anything else, including a value beyond the range of a double.
double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, double &value);

// The same reading with a decimal point ('.') or comma (',') as the decimal separator,
// for files written elsewhere. Gives the same double as the reading above.
bool TryReadNumber(std::string_view text, char decimalMark, double &value);

// The same reading, 0 for a text that does not convert (edits and memo lines).
double StrToFloatDef0(std::string_view text);

// A whole number in a text (optional sign, digits, 32-bit range), else fallback.
int StrToIntDef(std::string_view text, int fallback);
bool TryStrToInt(std::string_view text, int &value);

// The value of a spin edit's text: none while the text is empty (the user is typing),
// a text that is not a whole number counts as the minimum; kept within the range.
std::optional<int> SpinEditValue(std::string_view text, int minValue, int maxValue);

// The value a spin edit's text settles on when the user leaves the field: a whole
// number of any length (optional sign, digits) brought into the range; none for a text
// that is not a whole number (the field goes back to the value it had).
std::optional<int> SpinEditSettledValue(std::string_view text, int minValue, int maxValue);

// StrToFloatDef0 that also reads the thousands grouping FormatN writes: a blank, or a
// no-break space, between groups of three digits of the whole part ("1 285,00").
double GroupedStrToFloatDef0(std::string_view text);

// "%d"
std::string FormatInt(long long value);
// "%.Nn": N decimals, thousands separated by a space: 1234.5 → "1 234,500" for N = 3.
std::string FormatN(double value, int decimals);
// "%.Nf": N decimals, no thousands separator: 1234.5 → "1234,500" for N = 3.
std::string FormatF(double value, int decimals);
// The fewest decimals that read back (StrToFloat) to the same double, without exponent
// or thousands separator: 12.5 → "12,5", 1e-7 → "0,0000001", 3 → "3".
std::string FormatRoundTrip(double value);

} // namespace korvala

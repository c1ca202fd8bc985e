#pragma once

// Import: quote files written by other programs (data sites, terminals, spreadsheets),
// recognised from a sample of their first lines and read into the same quote list the
// native reader fills. The native reader itself stays as it is.

#include "numtext.h"
#include "quotes.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvala {

// The order of day, month and year in a date field.
enum class DateOrder { Auto, DayMonthYear, MonthDayYear, YearMonthDay };

// Corrections of the guess, as the import preview offers them. 0 and Auto: guess.
struct ImportOptions
{
    char separator = 0;   // ';', ',' or '\t'
    char decimalMark = 0; // '.' or ','
    DateOrder dateOrder = DateOrder::Auto;
    // How the reading shares a long file out between threads (the result is the same).
    TFList::LoadSplit split;
};

// A file that cannot be read as quotes. The text says what was expected and quotes the
// file's first line.
class ImportError final : public ConvertError
{
public:
    using ConvertError::ConvertError;
};

// Why a line was not taken as a quote.
enum class SkipReason { Empty, Fields, Header, Preamble, Date, Time, Number };
inline constexpr int kSkipReasons = 7;

struct SkippedLine
{
    long long line = 0;
    SkipReason reason = SkipReason::Empty;
    int fields = 0;   // how many fields the line has (for SkipReason::Fields)
    std::string text; // the line as UTF-8, shortened for the screen
};

// The shape of a date field, whatever the order of its parts.
struct DateShape
{
    bool compact = false;   // digits only: 6 (two-digit year) or 8
    int digits = 0;
    char separator = 0;     // between the parts when not compact: '.', '/' or '-'
    bool yearFirst = false; // a four-digit first part: the year
    int yearDigits = 2;
    bool withTime = false;  // a time follows in the same field, after a blank or 'T'
};

enum class TimeShape {
    None,      // no time column: 00:00
    Colon,     // H:MM, HH:MM:SS, HH:MM:SS.fff
    Compact,   // HHMMSS, leading zeros may be missing ("0" is midnight)
    CompactHM, // HHMM
};

// What was recognised in a file.
struct ImportLayout
{
    std::string family;   // "data-site export", "terminal export", …
    std::string encoding; // "cp1251", "UTF-8", "UTF-8 with BOM", "UTF-16 LE with BOM", …;
                          // empty for plain ASCII
    char separator = 0;
    char decimalMark = 0; // 0 while no number seen has decimals
    bool quoted = false;  // fields in double quotes
    long long headerLine = 0; // 0: no header, the first line is already a quote
    long long firstDataLine = 1;

    // The column of each value, -1 when the file has none.
    int date = -1, time = -1, open = -1, high = -1, low = -1, close = -1, volume = -1,
        tickVolume = -1;
    bool tick = false; // only a last price: open = high = low = close = last
    int fieldsNeeded = 0;

    DateShape dateShape;
    DateOrder dateOrder = DateOrder::Auto; // the reading in force
    // Readings under which every date of the sample is valid, the preferred first.
    std::vector<DateOrder> dateOrders;
    TimeShape timeShape = TimeShape::None;
    bool timeSeconds = false;  // the sample's times carry seconds
    bool timeFraction = false; // … and fractions of a second
    bool timeAllZero = false;  // every time of the sample is "0"

    // Columns guessed without a header that are not the usual five: the preview is worth
    // showing. (Several readings of the dates are another reason: dateOrders.)
    bool uncertain = false;

    std::string DateForm() const;  // "YYYYMMDD", "DD.MM.YYYY HH:MM:SS", …
    std::string TimeForm() const;  // "HHMMSS", "HH:MM", …; "" without a time column
    // "data-site export: ';', YYYYMMDD, HHMMSS, decimal point"
    std::string Text() const;
};

// What an import found besides the quotes.
struct ImportResult
{
    ImportLayout layout;
    long long quotes = 0;
    bool reversed = false;          // the file was newest first
    long long outOfOrderLine = 0;   // the first line dated before the one above it; 0: none
    bool volumeFromTicks = false;   // every volume was 0: the tick volume is used
    // The file's own readings of its dates: other orders under which every date is valid
    // and in order (the guess could go either way), and whether the whole file, not only
    // its first lines, decided the reading.
    std::vector<DateOrder> otherDateOrders;
    bool dateOrderDecided = false;
    std::array<long long, kSkipReasons> skipped{};
    std::map<int, long long> shortLines; // lines skipped for their field count, by that count
    std::vector<SkippedLine> firstSkipped; // the first few, in file order

    long long SkippedCount() const;
    bool Uncertain() const { return layout.uncertain || !otherDateOrders.empty(); }
    // "data-site export: ';', YYYYMMDD, HHMMSS, decimal point; 53 121 quotes; reversed to
    // oldest first; 2 lines skipped: 1 empty, 1 with 5 fields"
    std::string Description() const;
    // The first skipped lines: "line 7 (with 5 fields): 20150105;000000;1;2;3".
    std::vector<std::string> SkippedLineTexts() const;
};

// "DD/MM/YYYY" style name of a reading for a shape.
std::string DateFormText(const DateShape &shape, DateOrder order);
// The caption of a skip reason: "empty", "with a bad date", …
std::string SkipReasonText(SkipReason reason, int fields = 0);

// Recognises the layout from the first lines of a file (at most kImportSampleBytes bytes
// and kImportSampleLines lines). Throws ImportError when nothing in them reads as quotes.
inline constexpr std::size_t kImportSampleBytes = 64 * 1024;
inline constexpr int kImportSampleLines = 200;
ImportLayout DetectImportLayout(std::string_view bytes, const ImportOptions &options = {});

// Reads a whole file into quotes (replacing what they held) and runs the statistics.
// quotes is left empty when the import fails: ImportError when nothing can be read,
// including a file whose every line is skipped.
ImportResult ImportQuotes(std::string_view bytes, TFList &quotes, const ImportOptions &options = {});

// The first rows of a file as the import would read them.
struct PreviewRow
{
    long long line = 0;
    std::string text; // the line as UTF-8, shortened
    bool read = false;
    SkipReason reason = SkipReason::Empty; // when not read
    int fields = 0;                        // the line's fields, when it has too few
    std::string DateText;
    double DateTime = 0, Open = 0, High = 0, Low = 0, Close = 0, Volume = 0;
};
struct ImportPreview
{
    ImportLayout layout;
    std::vector<PreviewRow> rows;
};
ImportPreview PreviewImport(std::string_view bytes, const ImportOptions &options = {},
                            int maxRows = 20);

// A file that the native open reads as it is: its layout is the native one, it loads
// without error, holds at least one quote and its dates run in order. When it is and
// loaded is given, loaded holds its quotes as the native load made them (statistics run).
bool IsNativeQuoteFile(std::string_view bytes, TFList *loaded = nullptr);

} // namespace korvala

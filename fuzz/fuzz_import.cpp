// Any bytes as a file to import. Besides crashes, hangs and unbounded allocation it
// catches answers that disagree:
// - a file read from its bytes and the same file as UTF-16 (read line by line) give the
//   same quotes and the same skipped lines;
// - a file read in pieces on all cores (pieces of a few bytes, so that small inputs are
//   cut often) and on one thread give the same quotes and the same findings;
// - the quotes written in the native layout and read back by the native open are the
//   same numbers (and the same date-times when nothing was lost);
// - the import's result fits its own account (count, date texts, statistics).
// Input that starts with the byte 1 has its second byte pick corrections of the guess, as
// the preview offers them; anything else is a file read with the guess alone.
#include "document.h"
#include "quoteexport.h"
#include "quoteimport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace korvala;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The same quotes, bit for bit, in the same order.
bool SameQuotes(const TFList &x, const TFList &y)
{
    if (x.Count() != y.Count())
        return false;
    for (int i = 0; i < x.Count(); ++i) {
        const TFPoint &a = *x.Items(i), &b = *y.Items(i);
        if (!(a.DateText == b.DateText && SameBits(a.DateTime, b.DateTime) && SameBits(a.Open, b.Open)
              && SameBits(a.High, b.High) && SameBits(a.Low, b.Low) && SameBits(a.Close, b.Close)
              && SameBits(a.Volume, b.Volume)))
            return false;
    }
    return true;
}

ImportOptions OptionsFrom(std::uint8_t b)
{
    ImportOptions o;
    static constexpr char kSeparators[] = {0, ';', ',', '\t'};
    static constexpr char kMarks[] = {0, '.', ','};
    static constexpr DateOrder kOrders[] = {DateOrder::Auto, DateOrder::DayMonthYear,
                                            DateOrder::MonthDayYear, DateOrder::YearMonthDay};
    o.separator = kSeparators[b & 3];
    o.decimalMark = kMarks[(b >> 2) % 3];
    o.dateOrder = kOrders[(b >> 4) & 3];
    return o;
}

bool Ascii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string AsUtf16(std::string_view ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const bool corrected = size >= 2 && data[0] == 1;
    const ImportOptions options = corrected ? OptionsFrom(data[1]) : ImportOptions();
    const std::string_view bytes(reinterpret_cast<const char *>(data) + (corrected ? 2 : 0),
                                 size - (corrected ? 2 : 0));

    TFList quotes;
    ImportResult result;
    bool imported = true;
    try {
        result = ImportQuotes(bytes, quotes, options);
    } catch (const ImportError &) {
        imported = false;
        Check(quotes.Count() == 0);
    }
    try {
        // The preview reads the first lines with the layout the import used.
        const ImportPreview preview = PreviewImport(bytes, options, 5);
        Check(!imported || preview.layout.separator == result.layout.separator);
    } catch (const ImportError &) {
        Check(!imported); // the same first lines, the same verdict
    }

    // In pieces of 1 to 32 bytes, which the length of the input picks.
    {
        ImportOptions inPieces = options;
        inPieces.split = {1 + size % 32, 0};
        TFList pieces;
        bool piecesImported = true;
        ImportResult piecesResult;
        try {
            piecesResult = ImportQuotes(bytes, pieces, inPieces);
        } catch (const ImportError &) {
            piecesImported = false;
        }
        Check(piecesImported == imported);
        if (imported) {
            Check(piecesResult.Description() == result.Description()
                  && piecesResult.SkippedLineTexts() == result.SkippedLineTexts()
                  && piecesResult.outOfOrderLine == result.outOfOrderLine
                  && piecesResult.otherDateOrders == result.otherDateOrders
                  && piecesResult.dateOrderDecided == result.dateOrderDecided);
            Check(SameQuotes(pieces, quotes));
        }
    }

    // The same text as UTF-16 takes the line-by-line way.
    if (Ascii(bytes) && bytes.size() < 16384 && bytes.substr(0, 3) != "\xEF\xBB\xBF") {
        TFList wide;
        bool wideImported = true;
        ImportResult wideResult;
        try {
            wideResult = ImportQuotes(AsUtf16(bytes), wide, options);
        } catch (const ImportError &) {
            wideImported = false;
        }
        Check(wideImported == imported);
        if (imported) {
            Check(wideResult.skipped == result.skipped);
            Check(SameQuotes(wide, quotes));
        }
    }
    if (!imported)
        return 0;

    Check(quotes.Count() > 0 && quotes.Count() == result.quotes && quotes.HasStatistics());
    quotes.ForEach([](const TFPoint &p, int) {
        Check(p.DateText.size() == 14 && p.DateText[2] == '.' && p.DateText[5] == '.' && p.DateText[8] == ' '
              && p.DateText[11] == ':');
    });

    // Written in the native layout and read back by the native open.
    std::string native;
    WriteNativeQuotes(quotes, [&native](std::string_view piece) { native += piece; });
    TFList back;
    back.LoadFromStream(native); // throws on a line it cannot read: a crash here is a finding
    Check(back.Count() == quotes.Count());
    const bool lossless = NativeLayoutLosses(quotes).empty();
    for (int i = 0; i < quotes.Count(); ++i) {
        const TFPoint &a = *quotes.Items(i), &b = *back.Items(i);
        Check(SameBits(a.Open, b.Open) && SameBits(a.High, b.High) && SameBits(a.Low, b.Low)
              && SameBits(a.Close, b.Close) && SameBits(a.Volume, b.Volume));
        Check(!lossless || (SameBits(a.DateTime, b.DateTime) && a.DateText == b.DateText));
    }

    PFDocument doc;
    try {
        doc.OpenLoaded("fuzz.csv", quotes);
        doc.Refresh();
    } catch (const ConvertError &) {
    } catch (const PFError &) {
    }
    return 0;
}

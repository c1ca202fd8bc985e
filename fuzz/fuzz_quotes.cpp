// Any bytes as a quote file: the open sequence, Refresh, a build with a box ten times
// smaller than the automatic one, and the text picture. Errors the program reports to
// the user are fine; crashes, hangs and unbounded allocation are not.
#include "document.h"
#include "numtext.h"
#include "pftext.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace korvala;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    PFDocument doc;
    try {
        doc.OpenBytes("fuzz.txt", bytes);
        doc.ShowCommonInfo();
        doc.Refresh();
    } catch (const ConvertError &) {
        return 0;
    } catch (const PFError &) {
        return 0;
    }
    try {
        doc.eBox = FormatF(std::max(doc.FBox / 10, 0.01), 3);
        if (doc.Refresh())
            cli::PFTextPicture(doc);
    } catch (const ConvertError &) {
    } catch (const PFError &) {
    }
    return 0;
}

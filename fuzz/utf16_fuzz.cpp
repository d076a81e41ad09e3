// The Windows program's UTF-8 and UTF-16 conversions, built here from their portable code:
// any bytes as UTF-8, and the same bytes as UTF-16 code units.
//
// Properties: UTF-8 in, well-formed UTF-16 out (no unpaired surrogate), and well-formed UTF-8
// comes back identical; UTF-16 in, well-formed UTF-8 out, and UTF-16 without unpaired
// surrogates comes back identical. What is ill-formed shows as U+FFFD, never as nothing.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/win32/Utf16Codec.h"

using namespace tamberlyn;
using fuzz::Require;

namespace {

bool WellFormed(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF) {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (units[i] >= 0xDC00 && units[i] <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string utf8(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = utf16::FromUtf8<char16_t>(utf8);
    Require(WellFormed(wide), "UTF-8 gives well-formed UTF-16");
    Require(wide.size() <= utf8.size(), "never more code units than bytes");
    const std::string back = utf16::ToUtf8<char16_t>(wide);
    Require(fuzz::ValidUtf8(back), "and back, well-formed UTF-8");
    if (fuzz::ValidUtf8(utf8)) {
        Require(back == utf8, "well-formed UTF-8 comes back identical");
    } else {
        Require(wide.find(u'\uFFFD') != std::u16string::npos, "what is ill-formed shows as U+FFFD");
    }

    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const std::string narrow = utf16::ToUtf8<char16_t>(units);
    Require(fuzz::ValidUtf8(narrow), "UTF-16 gives well-formed UTF-8");
    const std::u16string again = utf16::FromUtf8<char16_t>(narrow);
    if (WellFormed(units)) {
        Require(again == units, "well-formed UTF-16 comes back identical");
    } else {
        Require(again.size() <= units.size() && again.find(u'\uFFFD') != std::u16string::npos,
                "an unpaired surrogate shows as U+FFFD");
    }
    return 0;
}

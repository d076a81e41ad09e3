// Window titles as X11 clients store them: UTF8_STRING, STRING (Latin-1) and COMPOUND_TEXT
// bytes, any of them, cut to a number of characters as the scan asks.
//
// Properties: every decoder gives well-formed UTF-8 without NUL, and the cut is a prefix of
// it with never more characters than asked (and as many when there are). Besides: well-formed
// UTF-8 without NUL passes unchanged; Latin-1 gives one character per byte (NULs aside), the
// same code points; compound text of printable ASCII is that ASCII.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/x11/TitleText.h"

using namespace tamberlyn;
using fuzz::CodePoints;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const int asked = provider.ConsumeIntegralInRange<int>(-2, 300);
    const std::string bytes = provider.ConsumeRemainingBytesAsString();

    for (auto decode : {&x11::sanitizeUtf8, &x11::latin1ToUtf8, &x11::compoundTextToUtf8}) {
        const std::string title = decode(bytes);
        Require(fuzz::ValidUtf8(title), "a title is well-formed UTF-8");
        Require(title.find('\0') == std::string::npos, "a title holds no NUL");
        const std::string cut = x11::firstCodePoints(title, asked);
        Require(title.rfind(cut, 0) == 0, "the cut title is the title's start");
        const long characters = CodePoints(cut);
        Require(characters >= 0 && characters <= std::max(asked, 0), "the cut title is never longer than asked");
        Require(cut == title || characters == std::max(asked, 0), "the cut title is as long as asked when the title is longer");
    }

    const bool hasNul = bytes.find('\0') != std::string::npos;
    if (fuzz::ValidUtf8(bytes) && !hasNul) Require(x11::sanitizeUtf8(bytes) == bytes, "well-formed UTF-8 passes unchanged");

    std::string withoutNul = bytes;
    withoutNul.erase(std::remove(withoutNul.begin(), withoutNul.end(), '\0'), withoutNul.end());
    const std::string latin1 = x11::latin1ToUtf8(bytes);
    Require(CodePoints(latin1) == static_cast<long>(withoutNul.size()), "Latin-1 gives one character per byte");
    std::string back;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const auto lead = static_cast<unsigned char>(latin1[i]);
        back += lead < 0x80 ? static_cast<char>(lead)
                            : static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(latin1[++i]) & 0x3F));
    }
    Require(back == withoutNul, "Latin-1 keeps its code points");

    const bool printableAscii = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return (c >= 0x20 && c <= 0x7E) || c == '\t' || c == '\n';
    });
    if (printableAscii) Require(x11::compoundTextToUtf8(bytes) == bytes, "compound text of printable ASCII is itself");
    return 0;
}

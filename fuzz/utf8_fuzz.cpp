// The core's UTF-8 helpers over any bytes: counting, cutting, reading character by
// character, and quoting text from outside in a message.
//
// Properties: a cut is a prefix with never more characters than asked, never inside a
// sequence; on well-formed text the count is the number of code points and the characters
// read are the text's; read character by character, any bytes are taken whole and in
// order; a quotation is well-formed UTF-8 without control characters, the text itself when
// that is short, well-formed and printable.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "common/Utf8.h"

using namespace tamberlyn;
using fuzz::CodePoints;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto asked = provider.ConsumeIntegralInRange<std::size_t>(0, 80);
    const std::string text = provider.ConsumeRemainingBytesAsString();
    const bool valid = fuzz::ValidUtf8(text);

    const std::string prefix = Utf8Prefix(text, asked);
    Require(text.rfind(prefix, 0) == 0, "the cut text is the text's start");
    Require(Utf8Length(prefix) <= asked, "the cut text is never longer than asked");
    Require(prefix.empty() || prefix.size() == text.size() ||
                (static_cast<unsigned char>(text[prefix.size()]) & 0xC0) != 0x80,
            "the text is never cut inside a sequence");
    if (valid) {
        Require(static_cast<long>(Utf8Length(text)) == CodePoints(text), "the length counts the code points");
        Require(fuzz::ValidUtf8(prefix), "well-formed text is cut into well-formed text");
    }

    std::string reread;
    bool allValid = true;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character c = DecodeUtf8(text, at);
        Require(c.length >= 1 && at + c.length <= text.size(), "a character takes bytes of the text");
        Require(c.valid || c.codePoint == kReplacementCharacter, "what is ill-formed reads as U+FFFD");
        if (c.valid) {
            std::string encoded;
            AppendUtf8(encoded, c.codePoint);
            Require(text.compare(at, c.length, encoded) == 0, "a character read is the bytes it came from");
        }
        allValid = allValid && c.valid;
        AppendUtf8(reread, c.codePoint);
        at += c.length;
    }
    Require(allValid == valid, "the text reads as ill-formed exactly when it is");
    Require(fuzz::ValidUtf8(reread), "read character by character, any text gives well-formed UTF-8");

    const std::string quoted = Utf8Printable(text, asked);
    Require(fuzz::ValidUtf8(quoted), "a quotation is well-formed UTF-8");
    for (unsigned char c : quoted) Require(c >= 0x20 && c != 0x7F, "a quotation holds no control character");
    Require(CodePoints(quoted) <= static_cast<long>(asked) + 1, "a quotation is as short as asked, with its ellipsis");
    std::u32string codePoints;
    bool printable = fuzz::Decode(text, codePoints);
    for (char32_t c : codePoints) printable = printable && c >= 0x20 && !(c >= 0x7F && c < 0xA0);
    if (printable && codePoints.size() <= asked) Require(quoted == text, "short, well-formed, printable text is quoted as it is");
    return 0;
}

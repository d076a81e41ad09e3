#pragma once
// UTF-8 and UTF-16 into each other, in portable code (no <windows.h>), so that it builds
// and is tested anywhere. What is not well-formed becomes U+FFFD: each maximal ill-formed
// part of UTF-8, each unpaired surrogate of UTF-16, as Windows' own conversions do.

#include <string>
#include <string_view>

#include "common/Utf8.h"

namespace tamberlyn::utf16 {

template <class Char16>
std::basic_string<Char16> FromUtf8(std::string_view utf8) {
    static_assert(sizeof(Char16) == 2, "UTF-16 code units");
    std::basic_string<Char16> out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character c = DecodeUtf8(utf8, at);
        at += c.length;
        if (c.codePoint < 0x10000) {
            out += static_cast<Char16>(c.codePoint);
        } else {
            out += static_cast<Char16>(0xD800 + ((c.codePoint - 0x10000) >> 10));
            out += static_cast<Char16>(0xDC00 + ((c.codePoint - 0x10000) & 0x3FF));
        }
    }
    return out;
}

template <class Char16>
std::string ToUtf8(std::basic_string_view<Char16> utf16) {
    static_assert(sizeof(Char16) == 2, "UTF-16 code units");
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<char16_t>(utf16[at]));
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const auto next = at + 1 < utf16.size() ? static_cast<char32_t>(static_cast<char16_t>(utf16[at + 1])) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++at;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace tamberlyn::utf16

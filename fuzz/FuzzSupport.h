#pragma once
// What the fuzz targets share: a property that must hold, and UTF-8 checked by a reading of
// its own, independent of the program's decoders.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tamberlyn::fuzz {

// A broken property ends the run as a crash would, so that libFuzzer keeps the input.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// The code points of well-formed UTF-8 (RFC 3629); false for text that is not.
inline bool Decode(std::string_view text, std::u32string& codePoints) {
    codePoints.clear();
    for (std::size_t i = 0; i < text.size();) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(text[i + k])); };
        std::size_t length;
        unsigned value;
        if (b(0) < 0x80) {
            length = 1;
            value = b(0);
        } else if ((b(0) & 0xE0) == 0xC0) {
            length = 2;
            value = b(0) & 0x1F;
        } else if ((b(0) & 0xF0) == 0xE0) {
            length = 3;
            value = b(0) & 0x0F;
        } else if ((b(0) & 0xF8) == 0xF0) {
            length = 4;
            value = b(0) & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((b(k) & 0xC0) != 0x80) return false;
            value = (value << 6) | (b(k) & 0x3F);
        }
        static constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        codePoints += static_cast<char32_t>(value);
        i += length;
    }
    return true;
}

// How many code points well-formed UTF-8 has; -1 for text that is not.
inline long CodePoints(std::string_view text) {
    std::u32string codePoints;
    return Decode(text, codePoints) ? static_cast<long>(codePoints.size()) : -1;
}

inline bool ValidUtf8(std::string_view text) { return CodePoints(text) >= 0; }

}  // namespace tamberlyn::fuzz

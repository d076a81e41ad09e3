#pragma once
// Counting and cutting UTF-8 text by characters (code points), never inside a sequence;
// reading it character by character, ill-formed parts included.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamberlyn {

std::size_t Utf8Length(std::string_view text);
// The first maxCharacters characters of text.
std::string Utf8Prefix(std::string_view text, std::size_t maxCharacters);

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character that starts at a byte of the text, and how many bytes it takes. An
// ill-formed sequence reads as U+FFFD (not valid), one per maximal part that could have
// begun a character, as the Unicode standard recommends.
struct Utf8Character {
    char32_t codePoint;
    std::size_t length;
    bool valid;
};
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);
void AppendUtf8(std::string& out, char32_t codePoint);

// Text from outside made fit to quote in a message: well-formed UTF-8, with ill-formed
// sequences and control characters as U+FFFD, cut after maxCharacters characters with "…".
std::string Utf8Printable(std::string_view text, std::size_t maxCharacters);

}  // namespace tamberlyn

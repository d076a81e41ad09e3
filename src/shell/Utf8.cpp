#include "shell/Utf8.h"

namespace tamberlyn {

namespace {
bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t Utf8Length(std::string_view text) {
    std::size_t characters = 0;
    for (char c : text) {
        if (!continuationByte(c)) ++characters;
    }
    return characters;
}

std::string Utf8Prefix(std::string_view text, std::size_t maxCharacters) {
    std::size_t end = 0;
    for (std::size_t n = 0; end < text.size() && n < maxCharacters; ++n) {
        ++end;
        while (end < text.size() && continuationByte(text[end])) ++end;
    }
    return std::string(text.substr(0, end));
}

}  // namespace tamberlyn

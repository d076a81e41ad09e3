#include "common/Utf8.h"

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

Utf8Character DecodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1, true};
    // The second byte's range leaves out overlong forms, surrogates and code points past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {kReplacementCharacter, 1, false};
    }
    std::size_t n = 1;
    for (; n < length && at + n < text.size(); ++n) {
        const auto next = static_cast<unsigned char>(text[at + n]);
        if (n == 1 ? (next < low || next > high) : !continuationByte(static_cast<char>(next))) break;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (n < length) return {kReplacementCharacter, n, false};
    return {codePoint, length, true};
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    const auto byte = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

std::string Utf8Printable(std::string_view text, std::size_t maxCharacters) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (characters == maxCharacters) {
            out += "\xE2\x80\xA6";  // …
            break;
        }
        const Utf8Character c = DecodeUtf8(text, at);
        const bool control = c.codePoint < 0x20 || (c.codePoint >= 0x7F && c.codePoint < 0xA0);
        AppendUtf8(out, c.valid && !control ? c.codePoint : kReplacementCharacter);
        at += c.length;
        ++characters;
    }
    return out;
}

}  // namespace tamberlyn

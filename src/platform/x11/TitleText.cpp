#include "platform/x11/TitleText.h"

namespace tamberlyn::x11 {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr char kEscape = '\x1B';

void appendLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
    } else {
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
    }
}

// Control characters other than tab and newline have no place in a title.
bool keptControl(unsigned char byte) { return byte == '\t' || byte == '\n'; }

}  // namespace

std::string sanitizeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if (lead != 0) out += static_cast<char>(lead);  // some clients store a terminating NUL
            ++i;
            continue;
        }
        // The allowed range of the second byte excludes overlong forms and surrogates.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t valid = 1;
        if (length > 0) {
            while (valid < static_cast<std::size_t>(length) && i + valid < bytes.size()) {
                const auto next = static_cast<unsigned char>(bytes[i + valid]);
                const bool fits = valid == 1 ? (next >= low && next <= high) : (next & 0xC0) == 0x80;
                if (!fits) break;
                ++valid;
            }
        }
        if (length > 0 && valid == static_cast<std::size_t>(length)) {
            out.append(bytes.substr(i, valid));
        } else {
            out += kReplacement;  // one per maximal invalid subpart
        }
        i += valid;
    }
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        if (c != 0) appendLatin1(out, static_cast<unsigned char>(c));
    }
    return out;
}

std::string compoundTextToUtf8(std::string_view bytes) {
    std::string out;
    bool leftIsAscii = true;    // GL starts as ASCII
    bool rightIsLatin1 = true;  // GR starts as the right half of ISO 8859-1
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == static_cast<unsigned char>(kEscape)) {
            std::size_t end = i + 1;
            while (end < bytes.size() && bytes[end] >= 0x20 && bytes[end] <= 0x2F) ++end;
            if (end >= bytes.size()) break;
            const std::string_view intermediates = bytes.substr(i + 1, end - i - 1);
            const char final = bytes[end];
            i = end + 1;
            if (intermediates == "%" && final == 'G') {
                // A UTF-8 segment runs until ESC % @.
                const std::size_t stop = bytes.find("\x1B%@", i);
                const std::size_t segmentEnd = stop == std::string_view::npos ? bytes.size() : stop;
                out += sanitizeUtf8(bytes.substr(i, segmentEnd - i));
                i = stop == std::string_view::npos ? bytes.size() : stop + 3;
            } else if (intermediates == "%/" && i + 1 < bytes.size()) {
                // An extended segment states its own length: skip it whole.
                const auto m = static_cast<unsigned char>(bytes[i]) & 0x7F;
                const auto l = static_cast<unsigned char>(bytes[i + 1]) & 0x7F;
                i += 2 + static_cast<std::size_t>(m) * 128 + l;
            } else if (intermediates == "(") {
                leftIsAscii = final == 'B';
            } else if (intermediates == "-") {
                rightIsLatin1 = final == 'A';
            } else if (intermediates == ")") {
                rightIsLatin1 = false;
            } else if (!intermediates.empty() && intermediates[0] == '$') {  // a multi-byte set
                if (intermediates.size() == 1 || intermediates[1] == '(') {
                    leftIsAscii = false;
                } else {
                    rightIsLatin1 = false;
                }
            }
            continue;
        }
        if (byte == 0x9B) {  // a direction sequence: no visible text
            ++i;
            while (i < bytes.size() && (bytes[i] < 0x40 || bytes[i] > 0x7E)) ++i;
            ++i;
            continue;
        }
        if (byte < 0x20 || (byte >= 0x80 && byte < 0xA0)) {
            if (keptControl(byte)) out += static_cast<char>(byte);
        } else if (byte < 0x80) {
            if (leftIsAscii) out += static_cast<char>(byte);
        } else if (rightIsLatin1) {
            appendLatin1(out, byte);
        }
        ++i;
    }
    return out;
}

std::string firstCodePoints(std::string_view utf8, int count) {
    std::size_t end = 0;
    for (int n = 0; n < count && end < utf8.size(); ++n) {
        ++end;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
    }
    return std::string(utf8.substr(0, end));
}

}  // namespace tamberlyn::x11

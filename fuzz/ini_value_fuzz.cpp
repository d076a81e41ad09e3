// A settings value as the settings file writes it (platform/qt/IniLines: ReadIniValue).
//
// Properties: a value made of pieces whose meaning the maker knows (plain characters,
// escapes, escapes that stand for nothing, stray quotes, commas) is either refused or read
// as exactly what its writer meant; made only of what an INI writer writes, it is read, never
// refused. Any bytes: well-formed UTF-8 in, well-formed UTF-8 out.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/qt/IniLines.h"
#include "common/Utf8.h"

using namespace tamberlyn;
using fuzz::Require;

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

struct Value {
    std::string written;
    std::string meant;
    bool asAnIniWriterWrites = true;
    std::size_t numberEnd = std::string::npos;  // where the last numeric escape ends
};

// One piece onto the value; `quoted`: inside quotes, where commas and semicolons are text.
void AddPiece(FuzzedDataProvider& provider, Value& value, bool quoted) {
    // A digit after a numeric escape would be read into it: a writer escapes that digit too.
    const bool afterNumber = value.written.size() == value.numberEnd;
    const char c = provider.ConsumeIntegral<char>();
    switch (provider.ConsumeIntegralInRange(0, 4)) {
        case 0: {  // a character as it is
            if (c == '\\' || c == '"' || c == '\n' || c == '\r' || (afterNumber && IsHex(c))) return;
            if (!quoted && (c == ',' || c == ';')) value.asAnIniWriterWrites = false;
            value.written += c;
            value.meant += c;
            return;
        }
        case 1: {  // a named escape
            static constexpr std::string_view kNamed = "abfnrtv\"?'\\";
            static constexpr std::string_view kMeant = "\a\b\f\n\r\t\v\"?'\\";
            const std::size_t which = static_cast<unsigned char>(c) % kNamed.size();
            value.written += std::string("\\") + kNamed[which];
            value.meant += kMeant[which];
            return;
        }
        case 2: {  // a character by its number, hexadecimal or octal
            char32_t code = provider.ConsumeIntegralInRange<char32_t>(0, 0xFFFF);
            if (code >= 0xD800 && code <= 0xDFFF) code = '?';
            static constexpr char kDigits[] = "0123456789abcdef";
            std::string digits;
            const unsigned base = provider.ConsumeBool() ? 16 : 8;
            for (char32_t rest = code; rest > 0 || digits.empty(); rest /= base) digits.insert(0, 1, kDigits[rest % base]);
            value.written += (base == 16 ? "\\x" : "\\") + digits;
            AppendUtf8(value.meant, code);
            value.numberEnd = value.written.size();
            return;
        }
        case 3: {  // meant as it stands: a backslash before what names no escape, "\x" without a digit, a quote
            const std::string piece = c == '"' ? "\"" : c == 'x' ? "\\xg" : std::string("\\") + c;
            const bool namesOne = std::string_view("abfnrtv?'\\01234567\n\r").find(c) != std::string_view::npos;
            if (piece.size() == 2 && namesOne) return;
            if (c == '"' && value.written.empty()) return;  // it would quote the value
            value.written += piece;
            value.meant += piece;
            value.asAnIniWriterWrites = false;
            return;
        }
        default:  // a line that goes on
            value.written += "\\\n";
            return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> anyRead = ReadIniValue(bytes);
    if (anyRead && fuzz::ValidUtf8(bytes)) Require(fuzz::ValidUtf8(*anyRead), "UTF-8 in, UTF-8 out");

    FuzzedDataProvider provider(data, size);
    const bool quoted = provider.ConsumeBool();
    Value value;
    for (int n = provider.ConsumeIntegralInRange(0, 24); n > 0 && provider.remaining_bytes() > 0; --n) {
        AddPiece(provider, value, quoted);
    }
    if (quoted) value.written = '"' + value.written + '"';
    // The file's line reader takes the blanks around a value away; "@" starts another type.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (!value.written.empty() && (blank(value.written.front()) || blank(value.written.back()))) return 0;
    if (value.meant.starts_with('@') || !fuzz::ValidUtf8(value.meant)) return 0;

    const std::optional<std::string> read = ReadIniValue(value.written);
    if ((read && *read != value.meant) || (!read && value.asAnIniWriterWrites)) {
        std::fprintf(stderr, "written: [%s]\nmeant:   [%s]\n", value.written.c_str(), value.meant.c_str());
    }
    if (read) Require(*read == value.meant, "a value read is what its writer meant");
    if (value.asAnIniWriterWrites) Require(read.has_value(), "what an INI writer writes is read");
    return 0;
}

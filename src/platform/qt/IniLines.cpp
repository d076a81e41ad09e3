#include "platform/qt/IniLines.h"

#include <cstdint>
#include <vector>

#include "common/Utf8.h"

namespace tamberlyn {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%20" and the like, as keys and section names are written.
std::string unescapedName(std::string_view name) {
    std::string result;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 2 < name.size() && hexValue(name[i + 1]) >= 0 && hexValue(name[i + 2]) >= 0) {
            result.push_back(static_cast<char>(hexValue(name[i + 1]) * 16 + hexValue(name[i + 2])));
            i += 2;
        } else {
            result.push_back(name[i]);
        }
    }
    return result;
}

// The file's lines; "\r\n" and a lone "\r" end a line too.
std::vector<std::string_view> linesOf(std::string_view contents) {
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i] != '\n' && contents[i] != '\r') continue;
        lines.push_back(contents.substr(start, i - start));
        if (contents[i] == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < contents.size()) lines.push_back(contents.substr(start));
    return lines;
}

// Whether a value goes on over the next line: it ends inside quotes or in an escaped line
// end. Fed the value as it grows line by line, it reads each character once, so that a value
// of many lines costs no more than its length.
class Continuation {
public:
    bool after(std::string_view text) {
        for (; next_ < text.size(); ++next_) {
            if (text[next_] == '\\') {
                if (next_ + 1 == text.size()) return true;  // the line end that follows is escaped
                ++next_;
            } else if (text[next_] == '"') {
                quoted_ = !quoted_;
            }
        }
        return quoted_;
    }

private:
    std::size_t next_ = 0;
    bool quoted_ = false;
};

}  // namespace

WrittenFile ReadWrittenFile(std::string_view contents, const std::string& section) {
    WrittenFile file;
    std::string current;  // the section of the line read
    const auto found = [&](IniFault::Kind kind, int line, int firstLine = 0, std::string key = {}) {
        if (!file.fault) file.fault = IniFault{kind, line, firstLine, std::move(key), current};
    };
    std::map<std::string, std::map<std::string, int>> keyLines;  // by section, where each key is
    const std::vector<std::string_view> lines = linesOf(contents);
    for (const std::string_view& line : lines) {
        for (std::size_t at = 0; at < line.size();) {
            const Utf8Character character = DecodeUtf8(line, at);
            if (!character.valid) {
                found(IniFault::Kind::NotUtf8, static_cast<int>(&line - lines.data()) + 1);
                break;
            }
            at += character.length;
        }
    }
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = trimmed(lines[n]);
        const int lineNumber = static_cast<int>(n) + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t end = line.find(']');
            if (end == std::string_view::npos) found(IniFault::Kind::NotKeyValue, lineNumber);
            current = unescapedName(trimmed(line.substr(1, end == std::string_view::npos ? end : end - 1)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            found(IniFault::Kind::NotKeyValue, lineNumber);
            continue;
        }
        std::string text(trimmed(line.substr(equals + 1)));
        Continuation continuation;
        while (continuation.after(text) && n + 1 < lines.size()) {
            text += '\n';
            text += lines[++n];
        }
        const std::string key = unescapedName(trimmed(line.substr(0, equals)));
        const auto [earlier, first] = keyLines[current].try_emplace(key, lineNumber);
        if (!first && !key.empty()) found(IniFault::Kind::KeyTwice, lineNumber, earlier->second, key);
        if (current != section || key.empty() || key.find_first_of("\\/") != std::string::npos) continue;
        file.values[key] = {std::string(trimmed(text)), lineNumber};
    }
    return file;
}

namespace {

int octalValue(char c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

// Another type than text, as a settings reader takes a value that starts with "@".
bool namesAType(std::string_view text) {
    if (text == "@Invalid()") return true;
    if (!text.ends_with(')')) return false;
    for (const std::string_view type : {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
        if (text.starts_with(type)) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> ReadIniValue(std::string_view written) {
    std::string text;
    if (written.find_first_of("\"\\") == std::string_view::npos) {
        text = written;
    } else {
        const bool quoted = written.front() == '"';
        bool closed = false;
        for (std::size_t i = quoted ? 1 : 0; i < written.size(); ++i) {
            const char c = written[i];
            if (c == '"') {
                if (!quoted || i + 1 != written.size()) return std::nullopt;  // a quote inside the text
                closed = true;
            } else if (!quoted && (c == ',' || c == ';')) {
                return std::nullopt;  // a list, or the start of a comment
            } else if (c != '\\') {
                text += c;
            } else if (++i == written.size()) {
                return std::nullopt;
            } else {
                static constexpr std::string_view kNamed = "abfnrtv\"?'\\";
                static constexpr std::string_view kMeant = "\a\b\f\n\r\t\v\"?'\\";
                const char e = written[i];
                if (const std::size_t named = kNamed.find(e); named != std::string_view::npos) {
                    text += kMeant[named];
                } else if (e == '\n') {
                    // the line goes on
                } else if (e == 'x' || octalValue(e) >= 0) {
                    // As many digits as follow, into one UTF-16 unit: more would be cut off.
                    const auto valueOf = e == 'x' ? hexValue : octalValue;
                    const std::size_t first = e == 'x' ? i + 1 : i;
                    std::size_t digit = first;
                    std::uint32_t value = 0;
                    for (; digit < written.size() && valueOf(written[digit]) >= 0; ++digit) {
                        value = value * (e == 'x' ? 16 : 8) + static_cast<std::uint32_t>(valueOf(written[digit]));
                        if (value > 0xFFFF) return std::nullopt;
                    }
                    if (digit == first) return std::nullopt;  // "\x" without a digit
                    if (value >= 0xD800 && value <= 0xDFFF) return std::nullopt;  // half a character
                    AppendUtf8(text, value);
                    i = digit - 1;
                } else {
                    return std::nullopt;  // an escape of nothing: it would be dropped
                }
            }
        }
        if (quoted && !closed) return std::nullopt;
    }
    if (text.starts_with("@@")) return text.substr(1);
    if (text.starts_with("@String(") && text.ends_with(')')) return text.substr(8, text.size() - 9);  // text with a NUL
    if (namesAType(text)) return std::nullopt;
    return text;
}

}  // namespace tamberlyn

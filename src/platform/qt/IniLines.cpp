#include "platform/qt/IniLines.h"

#include <vector>

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

std::map<std::string, WrittenValue> WrittenValues(std::string_view contents, const std::string& section) {
    std::map<std::string, WrittenValue> values;
    const std::vector<std::string_view> lines = linesOf(contents);
    bool inSection = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = trimmed(lines[n]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t end = line.find(']');
            inSection = end != std::string_view::npos && unescapedName(trimmed(line.substr(1, end - 1))) == section;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const int keyLine = static_cast<int>(n) + 1;
        std::string text(trimmed(line.substr(equals + 1)));
        Continuation continuation;
        while (continuation.after(text) && n + 1 < lines.size()) {
            text += '\n';
            text += lines[++n];
        }
        const std::string key = unescapedName(trimmed(line.substr(0, equals)));
        if (!inSection || key.empty() || key.find_first_of("\\/") != std::string::npos) continue;
        values[key] = {std::string(trimmed(text)), keyLine};
    }
    return values;
}

}  // namespace tamberlyn

#pragma once
// An INI file's values as their lines write them, before any reading of quotes, escapes,
// commas or semicolons: what a hand-edited value says when a settings reader would take it
// for something else.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlyn {

struct WrittenValue {
    std::string text;  // after the key's "=", without the blanks around it
    int line = 0;      // where the key is, from 1
};

// What a settings writer would drop or change when it writes the file anew.
struct IniFault {
    enum class Kind {
        NotUtf8,      // bytes that are not UTF-8 text
        NotKeyValue,  // a line that is neither a [section] nor key=value
        KeyTwice,     // the same key twice in one section
    };
    Kind kind;
    int line = 0;       // from 1
    int firstLine = 0;    // KeyTwice: where the key was first
    std::string key;      // KeyTwice
    std::string section;  // the line's, empty before the first
};

struct WrittenFile {
    std::map<std::string, WrittenValue> values;  // of the one section asked for
    std::optional<IniFault> fault;               // the first, bytes that are not UTF-8 before others
};

// The values of one section, by key (percent escapes decoded, as in "Windows%20Startup").
// A byte order mark starts the file. A quoted value or one ending in a backslash goes on
// over the next line; a key written twice has its last value; keys of subsections are left out.
WrittenFile ReadWrittenFile(std::string_view contents, const std::string& section);

inline std::map<std::string, WrittenValue> WrittenValues(std::string_view contents, const std::string& section) {
    return ReadWrittenFile(contents, section).values;
}

// The text a written value stands for: plain text as it is written, commas and semicolons
// included; with quotes or backslashes, read as an escaped INI value. Nothing when a part of
// it would be dropped or changed: an escape that stands for no character, a quote inside the
// text, a comma or semicolon outside quotes, or a value of another type ("@Variant(...)").
std::optional<std::string> ReadIniValue(std::string_view written);

}  // namespace tamberlyn

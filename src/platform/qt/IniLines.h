#pragma once
// An INI file's values as their lines write them, before any reading of quotes, escapes,
// commas or semicolons: what a hand-edited value says when a settings reader would take it
// for something else.

#include <map>
#include <string>
#include <string_view>

namespace tamberlyn {

struct WrittenValue {
    std::string text;  // after the key's "=", without the blanks around it
    int line = 0;      // where the key is, from 1
};

// The values of one section, by key (percent escapes decoded, as in "Windows%20Startup").
// A quoted value or one ending in a backslash goes on over the next line; a key written twice
// has its last value; keys of subsections are left out.
std::map<std::string, WrittenValue> WrittenValues(std::string_view contents, const std::string& section);

}  // namespace tamberlyn

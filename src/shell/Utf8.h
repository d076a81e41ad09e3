#pragma once
// Counting and cutting UTF-8 text by characters (code points), never inside a sequence.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamberlyn {

std::size_t Utf8Length(std::string_view text);
// The first maxCharacters characters of text.
std::string Utf8Prefix(std::string_view text, std::size_t maxCharacters);

}  // namespace tamberlyn

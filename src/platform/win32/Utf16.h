#pragma once
// The core speaks UTF-8, Windows UTF-16: conversions at the boundary.

#include <string>
#include <string_view>

namespace tamberlyn {

std::wstring ToUtf16(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);

}  // namespace tamberlyn

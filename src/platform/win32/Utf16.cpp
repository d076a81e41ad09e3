#include "platform/win32/Utf16.h"

#include "platform/win32/Utf16Codec.h"

namespace tamberlyn {

std::wstring ToUtf16(std::string_view utf8) { return utf16::FromUtf8<wchar_t>(utf8); }

std::string ToUtf8(std::wstring_view utf16) { return utf16::ToUtf8<wchar_t>(utf16); }

}  // namespace tamberlyn

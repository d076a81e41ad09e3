#include "platform/win32/Win32TextCase.h"

#include <windows.h>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"

namespace tamberlyn {

std::string Win32TextCase::toUpper(std::string_view utf8) const {
    const std::wstring text = ToUtf16(utf8);
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE, text.c_str(), size, nullptr, 0, nullptr, nullptr, 0);
    if (length <= 0) throw PlatformError("Cannot convert the text to upper case");
    std::wstring upper(static_cast<std::size_t>(length), L'\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE, text.c_str(), size, upper.data(), length, nullptr,
                  nullptr, 0);
    return ToUtf8(upper);
}

}  // namespace tamberlyn

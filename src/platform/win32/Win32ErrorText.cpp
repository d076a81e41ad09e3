#include "platform/win32/Win32ErrorText.h"

#include <windows.h>

#include "platform/win32/Utf16.h"

namespace tamberlyn {

std::string Win32ErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer) text.assign(buffer, length);
    if (buffer) LocalFree(buffer);
    // The system's text ends with a line break, which the error report adds itself.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return "Error " + std::to_string(code);
    return ToUtf8(text);
}

}  // namespace tamberlyn

#include "platform/win32/Win32ProgramFiles.h"

#include <windows.h>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {

namespace {

bool ReadAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(ToUtf16(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

std::string Win32ProgramFiles::executablePath() const {
    // Paths can be longer than MAX_PATH; the call says so only by filling the buffer.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw PlatformError(Win32ErrorText(GetLastError()));
        if (length < path.size()) {
            path.resize(length);
            return ToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

bool Win32ProgramFiles::modificationTimeReadable(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ReadAttributes(path, data);
}

bool Win32ProgramFiles::isOrdinaryFile(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!ReadAttributes(path, data)) return false;
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (data.dwFileAttributes & kNotOrdinary) == 0;
}

}  // namespace tamberlyn

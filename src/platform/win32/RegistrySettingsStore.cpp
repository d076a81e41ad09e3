#include "platform/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {

namespace {

std::wstring SectionPath(const std::string& application, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + ToUtf16(application) + L"\\" + ToUtf16(section);
}

class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (handle) RegCloseKey(handle);
    }
    HKEY handle = nullptr;
};

[[noreturn]] void Fail(LSTATUS status) { throw PlatformError(Win32ErrorText(static_cast<unsigned long>(status))); }

}  // namespace

std::optional<std::string> RegistrySettingsStore::read(const std::string& application, const std::string& section,
                                                       const std::string& key) {
    OpenKey sectionKey;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                                   &sectionKey.handle);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail(status);

    const std::wstring name = ToUtf16(key);
    std::vector<BYTE> data(512);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    status = RegQueryValueExW(sectionKey.handle, name.c_str(), nullptr, &type, data.data(), &size);
    // The value may grow between the calls; ask again at its new size.
    while (status == ERROR_MORE_DATA) {
        data.resize(size);
        status = RegQueryValueExW(sectionKey.handle, name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail(status);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;

    // Stored strings need not end with a NUL, and a byte count may be odd.
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return ToUtf8(text);
}

void RegistrySettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                                  const std::string& value) {
    OpenKey sectionKey;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &sectionKey.handle, nullptr);
    if (status != ERROR_SUCCESS) Fail(status);

    const std::wstring text = ToUtf16(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));  // with the terminating NUL
    status = RegSetValueExW(sectionKey.handle, ToUtf16(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    if (status != ERROR_SUCCESS) Fail(status);
}

}  // namespace tamberlyn

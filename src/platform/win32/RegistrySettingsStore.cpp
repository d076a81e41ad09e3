#include "platform/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <cstring>
#include <string>
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

std::string KeyName(const std::string& application, const std::string& section) {
    return "HKEY_CURRENT_USER\\" + ToUtf8(SectionPath(application, section));
}

// The system's sentence, without its full stop, to go on inside another.
std::string Why(LSTATUS status) {
    std::string why = Win32ErrorText(static_cast<unsigned long>(status));
    while (!why.empty() && (why.back() == '.' || why.back() == ' ')) why.pop_back();
    return why;
}

[[noreturn]] void FailReading(const std::string& application, const std::string& section, LSTATUS status) {
    throw PlatformError("The settings key " + KeyName(application, section) + " cannot be read: " + Why(status) + ".");
}

// As the value was not written, the registry still holds the one before; the list and the
// options on screen keep the change.
[[noreturn]] void FailSaving(const std::string& application, const std::string& section, const std::string& key,
                             LSTATUS status) {
    throw PlatformError("The setting " + key + " in " + KeyName(application, section) + " cannot be saved: " +
                        Why(status) + ". The change holds until Tamberlyn ends; the registry keeps what it held.");
}

// REG_EXPAND_SZ is text too, read as it is stored: a fragment such as %TEMP% means itself.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_NONE: return "REG_NONE";
        case REG_BINARY: return "REG_BINARY";
        case REG_DWORD: return "REG_DWORD";
        case REG_DWORD_BIG_ENDIAN: return "REG_DWORD_BIG_ENDIAN";
        case REG_LINK: return "REG_LINK";
        case REG_MULTI_SZ: return "REG_MULTI_SZ";
        case REG_QWORD: return "REG_QWORD";
        default: return "type " + std::to_string(type);
    }
}

// A value that is no text is not the program's: it is not read as if absent, which the next
// save would turn into the value's loss, nor saved over.
[[noreturn]] void FailNotText(const std::string& application, const std::string& section, const std::string& key,
                              DWORD type) {
    throw PlatformError("The setting " + key + " in " + KeyName(application, section) + " holds " + TypeName(type) +
                        " data, not text. Tamberlyn leaves it as it is: correct or remove it.");
}

}  // namespace

std::optional<std::string> RegistrySettingsStore::read(const std::string& application, const std::string& section,
                                                       const std::string& key) {
    OpenKey sectionKey;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                                   &sectionKey.handle);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) FailReading(application, section, status);

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
    if (status != ERROR_SUCCESS) FailReading(application, section, status);
    if (!IsText(type)) FailNotText(application, section, key, type);

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
                                     REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                                     &sectionKey.handle, nullptr);
    if (status != ERROR_SUCCESS) FailSaving(application, section, key, status);

    DWORD storedType = REG_NONE;
    status = RegQueryValueExW(sectionKey.handle, ToUtf16(key).c_str(), nullptr, &storedType, nullptr, nullptr);
    if (status == ERROR_SUCCESS && !IsText(storedType)) FailNotText(application, section, key, storedType);

    const std::wstring text = ToUtf16(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));  // with the terminating NUL
    status = RegSetValueExW(sectionKey.handle, ToUtf16(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    if (status != ERROR_SUCCESS) FailSaving(application, section, key, status);
}

}  // namespace tamberlyn

#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/Utf16.h"

namespace tamberlyn {

namespace {

// The predefined keys are sign-extended on 64-bit Windows, so 0x80000001 is not HKEY_CURRENT_USER as is.
HKEY ToHkey(RegistryKey key) {
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

}  // namespace

long Win32Registry::openKey(RegistryKey root, const std::string& path, std::uint32_t access, RegistryKey& key) {
    key = 0;
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(ToHkey(root), ToUtf16(path).c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = reinterpret_cast<std::uintptr_t>(opened);
    return status;
}

long Win32Registry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                             const std::vector<std::uint8_t>& data) {
    return RegSetValueExW(ToHkey(key), ToUtf16(name).c_str(), 0, type, data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size()));
}

long Win32Registry::deleteValue(RegistryKey key, const std::string& name) {
    return RegDeleteValueW(ToHkey(key), ToUtf16(name).c_str());
}

long Win32Registry::queryValue(RegistryKey key, const std::string& name) {
    return RegQueryValueExW(ToHkey(key), ToUtf16(name).c_str(), nullptr, nullptr, nullptr, nullptr);
}

long Win32Registry::closeKey(RegistryKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace tamberlyn

#pragma once
// The registry routines' calls, straight onto advapi32.

#include "platform/win32/Registry.h"

namespace tamberlyn {

// Keys it opens are handed out as their HKEY value; the two roots keep their 32-bit values.
class Win32Registry final : public Registry {
public:
    long openKey(RegistryKey root, const std::string& path, std::uint32_t access, RegistryKey& key) override;
    long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    long queryValue(RegistryKey key, const std::string& name) override;
    long closeKey(RegistryKey key) override;
};

}  // namespace tamberlyn

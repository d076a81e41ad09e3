#pragma once
// The registry calls the program's registry routines are built on, shaped like advapi32's.
// Results are Win32 error codes: 0 is success.

#include <cstdint>
#include <string>
#include <vector>

namespace tamberlyn {

using RegistryKey = std::uint64_t;  // 0: no key

// The predefined root keys, as their 32-bit values.
constexpr RegistryKey kHkeyCurrentUser = 0x80000001;
constexpr RegistryKey kHkeyLocalMachine = 0x80000002;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kKeyAllAccessButDelete = 0x3F;  // query, set, create subkey, enumerate, notify, link
constexpr std::uint32_t kKeyQueryValue = 0x1;

constexpr long kErrorFileNotFound = 2;  // a key or value that is not there

// Called on the GUI thread; never throws. The caller owns the keys openKey gives it and closes them.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key; never creates one. On failure key is left 0.
    virtual long openKey(RegistryKey root, const std::string& path, std::uint32_t access, RegistryKey& key) = 0;
    virtual long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    virtual long deleteValue(RegistryKey key, const std::string& name) = 0;
    // Whether the value is there: 0 when it is, kErrorFileNotFound when not.
    virtual long queryValue(RegistryKey key, const std::string& name) = 0;
    virtual long closeKey(RegistryKey key) = 0;
};

}  // namespace tamberlyn

#pragma once
// A registry in memory: keys that exist, values as bytes, and roots that refuse writes
// as Windows does: a key there does not open for writing.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/Registry.h"

namespace tamberlyn::fakes {

class FakeRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    static constexpr long kAccessDenied = 5;
    static constexpr long kNotFound = 2;
    static constexpr long kInvalidHandle = 6;
    static constexpr std::uint32_t kKeySetValue = 0x2;

    void createKey(RegistryKey root, const std::string& path) { keys.insert(name(root, path)); }

    long openKey(RegistryKey root, const std::string& path, std::uint32_t access, RegistryKey& key) override {
        lastAccess = access;
        key = 0;
        if (!keys.count(name(root, path))) return kNotFound;
        if (readOnlyRoots.count(root) && (access & kKeySetValue)) return kAccessDenied;
        if (unreadableRoots.count(root)) return kAccessDenied;
        key = nextHandle++;
        open[key] = {root, name(root, path)};
        return 0;
    }

    long setValue(RegistryKey key, const std::string& valueName, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override {
        auto it = open.find(key);
        if (it == open.end()) return kInvalidHandle;
        if (readOnlyRoots.count(it->second.root)) return kAccessDenied;
        values[it->second.path + "|" + valueName] = {type, data};
        return 0;
    }

    long deleteValue(RegistryKey key, const std::string& valueName) override {
        auto it = open.find(key);
        if (it == open.end()) return kInvalidHandle;
        if (readOnlyRoots.count(it->second.root)) return kAccessDenied;
        return values.erase(it->second.path + "|" + valueName) ? 0 : kNotFound;
    }

    long queryValue(RegistryKey key, const std::string& valueName) override {
        auto it = open.find(key);
        if (it == open.end()) return kInvalidHandle;
        return values.count(it->second.path + "|" + valueName) ? 0 : kNotFound;
    }

    long closeKey(RegistryKey key) override { return open.erase(key) ? 0 : kInvalidHandle; }

    const Value* value(RegistryKey root, const std::string& path, const std::string& valueName) const {
        auto it = values.find(name(root, path) + "|" + valueName);
        return it == values.end() ? nullptr : &it->second;
    }

    static std::string name(RegistryKey root, const std::string& path) { return std::to_string(root) + "\\" + path; }

    struct OpenKey {
        RegistryKey root;
        std::string path;
    };
    std::set<std::string> keys;
    std::map<std::string, Value> values;
    std::map<RegistryKey, OpenKey> open;  // empty again when every routine closed what it opened
    std::set<RegistryKey> readOnlyRoots;
    std::set<RegistryKey> unreadableRoots;  // no key there opens at all
    std::uint32_t lastAccess = 0;
    RegistryKey nextHandle = 0x1000;
};

}  // namespace tamberlyn::fakes

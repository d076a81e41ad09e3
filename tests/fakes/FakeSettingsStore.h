#pragma once
// The settings store in memory, able to fail on demand.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/SettingsStore.h"

namespace tamberlyn::fakes {

class FakeSettingsStore : public SettingsStore {
public:
    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override {
        if (beforeRead) beforeRead(key);
        if (failReads) throw PlatformError("The settings store cannot be read");
        auto it = values.find(path(application, section, key));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }

    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override {
        if (failWrites) throw PlatformError("Permission denied");
        values[path(application, section, key)] = value;
        writes.push_back(key + "=" + value);
    }

    // The program's own keys, by key name alone.
    std::optional<std::string> get(const std::string& key) const {
        auto it = values.find(path("Quillmark", "Tamberlyn", key));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void set(const std::string& key, const std::string& value) { values[path("Quillmark", "Tamberlyn", key)] = value; }

    static std::string path(const std::string& a, const std::string& s, const std::string& k) {
        return a + "\\" + s + "\\" + k;
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
    std::function<void(const std::string& key)> beforeRead;
    bool failReads = false;
    bool failWrites = false;
};

}  // namespace tamberlyn::fakes

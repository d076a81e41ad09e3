#pragma once
// The per-user store of text values, addressed by application, section and key.

#include <optional>
#include <string>

namespace tamberlyn {

// Called on the GUI thread. The store is the user's, shared with other instances of the
// program: each call reads or writes it afresh.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored value, or nothing when the key is absent. Throws PlatformError when it
    // cannot be read, or not as text.
    virtual std::optional<std::string> read(const std::string& application, const std::string& section,
                                            const std::string& key) = 0;

    // Stores the value, creating section and key as needed. Throws PlatformError on failure.
    virtual void write(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

}  // namespace tamberlyn

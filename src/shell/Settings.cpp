#include "shell/Settings.h"

namespace tamberlyn {

std::string GetSetting(SettingsStore& store, const std::string& application, const std::string& section,
                       const std::string& key, const std::string& defaultValue) {
    return store.read(application, section, key).value_or(defaultValue);
}

void SaveSetting(SettingsStore& store, const std::string& application, const std::string& section,
                 const std::string& key, const std::string& value) {
    store.write(application, section, key, value);
}

}  // namespace tamberlyn

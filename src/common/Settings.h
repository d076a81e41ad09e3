#pragma once
// The program's per-user settings: one application, one section, a few keys.

#include <string>

#include "platform/SettingsStore.h"

namespace tamberlyn {

inline const std::string kApplicationName = "Quillmark";
inline const std::string kSectionName = "Tamberlyn";

inline const std::string kKeyStartStopState = "StartStopState";
inline const std::string kKeyWindowsStartup = "Windows Startup";
inline const std::string kKeyMinimized = "Minimized";
inline const std::string kKeyListview = "Listview";
// What the user was last told of windows out of reach.
inline const std::string kKeyWindowReach = "Window Reach";

inline const std::string kOn = "On";
inline const std::string kOff = "Off";

// The stored value, or defaultValue when the key is absent.
inline std::string GetSetting(SettingsStore& store, const std::string& application, const std::string& section,
                              const std::string& key, const std::string& defaultValue = "") {
    return store.read(application, section, key).value_or(defaultValue);
}

inline void SaveSetting(SettingsStore& store, const std::string& application, const std::string& section,
                        const std::string& key, const std::string& value) {
    store.write(application, section, key, value);
}

}  // namespace tamberlyn

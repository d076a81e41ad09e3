#pragma once

#include <QString>

#include "platform/SettingsStore.h"

namespace tamberlyn {

// One INI file per application: ${XDG_CONFIG_HOME:-~/.config}/<application>/<application>.ini,
// a group per section.
class QtSettingsStore final : public SettingsStore {
public:
    static QString fileOf(const std::string& application);

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace tamberlyn

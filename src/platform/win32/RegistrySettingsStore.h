#pragma once
// Settings as REG_SZ values under HKEY_CURRENT_USER\Software\VB and VBA Program Settings,
// where the settings of existing users already are.

#include "platform/SettingsStore.h"

namespace tamberlyn {

class RegistrySettingsStore final : public SettingsStore {
public:
    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace tamberlyn

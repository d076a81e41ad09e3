#pragma once

#include <QString>

#include "platform/SettingsStore.h"

namespace tamberlyn {

// One INI file per application: ${XDG_CONFIG_HOME:-~/.config}/<application>/<application>.ini,
// a group per section. A value edited by hand reads as it is written: QSettings would take
// its commas for a list and a semicolon for a comment. What cannot be read as it is written
// (escapes of nothing, stray quotes, a line without "=", text that is not UTF-8, a key written
// twice) is reported with its line, and the file is then never saved over it, since QSettings
// would write it anew without.
class QtSettingsStore final : public SettingsStore {
public:
    static QString fileOf(const std::string& application);

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace tamberlyn

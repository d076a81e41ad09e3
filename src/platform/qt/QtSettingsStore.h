#pragma once

#include <QString>

#include "platform/SettingsStore.h"

namespace tamberlyn {

// One INI file per application: ${XDG_CONFIG_HOME:-~/.config}/<application>/<application>.ini,
// a group per section. A value edited by hand reads as it is written: QSettings would take
// its commas for a list and a semicolon for a comment. One that cannot be read so (quotes or
// escapes that QSettings would not write) is reported, and the file is then never saved over it.
class QtSettingsStore final : public SettingsStore {
public:
    static QString fileOf(const std::string& application);

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace tamberlyn

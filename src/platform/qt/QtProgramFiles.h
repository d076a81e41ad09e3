#pragma once

#include "platform/ProgramFiles.h"

namespace tamberlyn {

class QtProgramFiles final : public ProgramFiles {
public:
    std::string executablePath() const override;
    char separator() const override { return '/'; }
    bool modificationTimeReadable(const std::string& path) const override;
    // Hidden here means a name that starts with a dot; there are no system files.
    bool isOrdinaryFile(const std::string& path) const override;
};

}  // namespace tamberlyn

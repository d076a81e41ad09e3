#pragma once
// The running executable and the attributes of the files beside it.

#include "platform/ProgramFiles.h"

namespace tamberlyn {

class Win32ProgramFiles final : public ProgramFiles {
public:
    std::string executablePath() const override;
    char separator() const override { return '\\'; }
    bool modificationTimeReadable(const std::string& path) const override;
    bool isOrdinaryFile(const std::string& path) const override;
};

}  // namespace tamberlyn

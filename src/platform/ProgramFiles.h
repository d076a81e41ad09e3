#pragma once
// Where the running program lives, and the file tests its optional files need.

#include <string>

namespace tamberlyn {

// Called on the GUI thread. A file that cannot be looked at answers false, never throws.
class ProgramFiles {
public:
    virtual ~ProgramFiles() = default;
    // The running executable's absolute path; throws PlatformError when the system cannot tell it.
    virtual std::string executablePath() const = 0;
    // '\\' on Windows, '/' elsewhere.
    virtual char separator() const = 0;
    // True when the path's modification time can be read.
    virtual bool modificationTimeReadable(const std::string& path) const = 0;
    // True when the path names an ordinary file: not a folder, not hidden, not a system file.
    virtual bool isOrdinaryFile(const std::string& path) const = 0;
};

}  // namespace tamberlyn

#pragma once
// Starting other programs through the desktop's shell.

#include <string>

namespace tamberlyn {

// Called on the GUI thread; the started program is on its own, never waited for. Never throws.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts a program by name, without parameters, in the given folder, shown normally.
    // Nothing is reported when it cannot be started.
    virtual void startProgram(const std::string& name, const std::string& directory) = 0;
    // Opens a web page in the user's browser, minimized; nothing is reported on failure.
    virtual void openWebPage(const std::string& address) = 0;
};

}  // namespace tamberlyn

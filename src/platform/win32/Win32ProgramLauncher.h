#pragma once
// Starting other programs through the shell; what they do afterwards is not looked at.

#include <windows.h>

#include <functional>

#include "platform/ProgramLauncher.h"

namespace tamberlyn {

class Win32ProgramLauncher final : public ProgramLauncher {
public:
    explicit Win32ProgramLauncher(std::function<HWND()> owner);
    void startProgram(const std::string& name, const std::string& directory) override;
    void openWebPage(const std::string& address) override;

private:
    std::function<HWND()> owner_;
};

}  // namespace tamberlyn

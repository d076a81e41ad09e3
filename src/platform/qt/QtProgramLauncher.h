#pragma once

#include <QString>

#include "platform/ProgramLauncher.h"

namespace tamberlyn {

class QtProgramLauncher final : public ProgramLauncher {
public:
    // The program the core's name stands for on this desktop: "calc" is the first
    // installed calculator titled "Calculator", "notepad" an editor titled with "Notepad".
    static QString programFor(const std::string& name);

    void startProgram(const std::string& name, const std::string& directory) override;
    void openWebPage(const std::string& address) override;
};

}  // namespace tamberlyn

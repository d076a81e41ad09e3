#pragma once
// What the Windows program tells the user to do on their desktop. Plain data: the unit
// tests read it too.

#include "platform/DesktopTexts.h"

namespace tamberlyn {

inline const DesktopTexts kWindowsTexts{
    "Load this software on Windows startup",
    "Go to Start > Run and type in calc and hit enter.",
    "The Microsoft Calculator will open and be immediately closed by this program.",
    "Tamberlyn could not be set to start with Windows, so the option stays off.",
    "Tamberlyn still starts with Windows: its log-on entry could not be removed, so the option stays on.",
    "C:\\",
};

}  // namespace tamberlyn

#pragma once
// What the Linux program tells the user to do on their desktop, under X11 and Wayland
// alike. Plain data: the unit tests read it too.

#include "platform/DesktopTexts.h"

namespace tamberlyn {

inline const DesktopTexts kLinuxTexts{
    "Load this software when I log in",
    "Open a terminal and type in xcalc and hit enter.",
    "The X Calculator will open and be immediately closed by this program.",
    "Tamberlyn could not be set to start when you log in, so the option stays off.",
    "Tamberlyn still starts when you log in: its autostart entry could not be removed, so the option stays on.",
    "/",
};

}  // namespace tamberlyn

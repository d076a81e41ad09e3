#include "common/Texts.h"

namespace tamberlyn {

const DesktopTexts& TextsFor(DesktopKind kind) {
    static const DesktopTexts windows{
        "Load this software on Windows startup",
        "Go to Start > Run and type in calc and hit enter.",
        "The Microsoft Calculator will open and be immediately closed by this program.",
        "Tamberlyn could not be set to start with Windows, so the option stays off.",
        "Tamberlyn still starts with Windows: its log-on entry could not be removed, so the option stays on.",
        "C:\\",
    };
    static const DesktopTexts x11{
        "Load this software when I log in",
        "Open a terminal and type in xcalc and hit enter.",
        "The X Calculator will open and be immediately closed by this program.",
        "Tamberlyn could not be set to start when you log in, so the option stays off.",
        "Tamberlyn still starts when you log in: its autostart entry could not be removed, so the option stays on.",
        "/",
    };
    return kind == DesktopKind::Windows ? windows : x11;
}

}  // namespace tamberlyn

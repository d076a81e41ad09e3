#pragma once

namespace tamberlyn {

// True from hiding the main window into the tray until it is brought back through the icon.
extern bool MinimizedToTray;

inline const char* const kMinimizedBalloonText =
    "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for Quillmark) to bring the software "
    "back.";

}  // namespace tamberlyn

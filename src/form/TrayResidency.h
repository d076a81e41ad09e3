#pragma once

namespace tamberlyn {

inline const char* const kMinimizedBalloonText =
    "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for Quillmark) to bring the software "
    "back.";

}  // namespace tamberlyn

#pragma once
// Routes the control window's tray callback to the tray control by subclassing the window.

#include <windows.h>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

class Win32TrayHook final : public TrayMessageHook {
public:
    void install(WindowHandle window, TrayMessageSink& sink) override;
    void remove(WindowHandle window) override;
};

// The procedure the hook puts in place: the tray callback goes to the sink first, as its
// event, then every message to the window's previous procedure.
LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tamberlyn

#pragma once
// The control window's procedure while the hook is installed: the tray callback goes
// to the owning control first, then every message to the window's previous procedure.

#include <cstdint>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

class WindowProcedureHost {
public:
    virtual ~WindowProcedureHost() = default;
    // The control recorded in the window's user data at install; null for none.
    virtual TrayMessageSink* instanceOf(WindowHandle window) = 0;
    // The previous procedure's handling of the message, and its result.
    virtual std::intptr_t callPrevious(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
};

std::intptr_t TrayWindowProc(WindowProcedureHost& host, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace tamberlyn

#include "tray/mSysTray.h"

namespace tamberlyn {

std::intptr_t TrayWindowProc(WindowProcedureHost& host, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == kTrayCallbackMessage) {
        if (TrayMessageSink* instance = host.instanceOf(window)) {
            // The container's handlers run now; none of their failures may reach the window procedure.
            try {
                instance->HandleTrayMessage(static_cast<std::int32_t>(lParam), static_cast<std::int32_t>(wParam));
            } catch (...) {
            }
        }
    }
    return host.callPrevious(window, message, wParam, lParam);
}

}  // namespace tamberlyn

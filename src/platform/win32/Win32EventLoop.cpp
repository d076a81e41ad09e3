#include "platform/win32/Win32EventLoop.h"

#include <algorithm>
#include <utility>

namespace tamberlyn {

Win32EventLoop::Win32EventLoop(std::function<HWND()> dialogWindow) : dialogWindow_(std::move(dialogWindow)) {}

void Win32EventLoop::Dispatch(MSG& msg, HWND dialogWindow) {
    if (dialogWindow && IsDialogMessageW(dialogWindow, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32EventLoop::processPendingEvents() {
    const HWND dialog = dialogWindow_ ? dialogWindow_() : nullptr;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Meant for the outermost loop: put it back for that one to see.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg, dialog);
    }
}

void Win32EventLoop::waitForEventsUntil(Clock::time_point deadline) {
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now()).count();
    if (remaining > 0) {
        const auto timeout = static_cast<DWORD>(std::min<long long>(remaining, INFINITE - 1));
        // MWMO_INPUTAVAILABLE: messages already seen but still queued end the wait too.
        MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    processPendingEvents();
}

Clock::time_point Win32EventLoop::now() const { return Clock::now(); }

}  // namespace tamberlyn

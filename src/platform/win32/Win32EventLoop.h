#pragma once
// The GUI thread's message pump, for the core's nested waits.

#include <windows.h>

#include <functional>

#include "platform/EventLoop.h"

namespace tamberlyn {

class Win32EventLoop final : public EventLoop {
public:
    // dialogWindow names the window whose keyboard navigation (Tab, arrows, Space)
    // IsDialogMessageW handles; it may name none yet.
    explicit Win32EventLoop(std::function<HWND()> dialogWindow);

    void processPendingEvents() override;
    void waitForEventsUntil(Clock::time_point deadline) override;
    Clock::time_point now() const override;

    // One message, as every loop of the program handles it.
    static void Dispatch(MSG& msg, HWND dialogWindow);

private:
    std::function<HWND()> dialogWindow_;
};

}  // namespace tamberlyn

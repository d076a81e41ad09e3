#pragma once
// The Windows tests' one wait: this thread's messages are handled while it waits, so the
// answers sent to it arrive and a window of its own never looks hung.

#include <windows.h>

#include <chrono>
#include <functional>

namespace tamberlyn::wintest {

// Generous: Wine on a shared machine can be slow, and a passing test never waits this long.
inline constexpr std::chrono::milliseconds kDeadline{30000};

// True when condition held before the deadline.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

// Keeps handling this thread's messages for a while.
inline void PumpFor(std::chrono::milliseconds duration) {
    WaitUntil([] { return false; }, duration);
}

}  // namespace tamberlyn::wintest

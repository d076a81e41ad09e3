#pragma once
// Real windows of another process (test_windows.exe) and this thread's message pump.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "WaitUntil.h"
#include "platform/WindowServices.h"

namespace tamberlyn::wintest {

HWND ToHwnd(WindowHandle window);
WindowHandle ToHandle(HWND hwnd);

// Top-level windows whose owner is owner.
std::vector<WindowHandle> OwnedWindows(WindowHandle owner);

std::wstring ClassOf(WindowHandle window);

// A file beside this test program.
std::wstring BesideThisProgram(const std::wstring& name);

struct WindowSpec {
    std::wstring kind;  // closes, hidden, asks, hung, class:NAME (see test_windows.cpp)
    std::wstring title;
};

// test_windows.exe with the windows asked for; ended, if still running, when this goes.
class TestWindows {
public:
    TestWindows() = default;
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;
    ~TestWindows();

    // Starts the process and waits until every window exists.
    ::testing::AssertionResult start(const std::vector<WindowSpec>& windows);

    WindowHandle operator[](std::size_t index) const { return windows_.at(index); }
    DWORD processId() const { return process_.dwProcessId; }

    // How many times the program reported event ("close", "answer", "destroy") for window.
    int events(const std::string& event, WindowHandle window) const;
    // The answers its question got, in order (IDYES, IDNO, IDCANCEL).
    std::vector<int> answers(WindowHandle window) const;

    bool exited() const;
    // Ends the process at once, as a crash or the task manager would.
    void terminate();

private:
    std::vector<std::string> reportLines() const;

    std::wstring reportPath_;
    PROCESS_INFORMATION process_{};
    std::vector<WindowHandle> windows_;
};

}  // namespace tamberlyn::wintest

#pragma once
// The notification-area icon over Shell_NotifyIconW, and its hidden control window.

#include <windows.h>

#include <cstdint>
#include <map>
#include <utility>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

class Win32NotifyIcon final : public NotifyIcon {
public:
    // Creates the control window, so that its handle is known from the start.
    explicit Win32NotifyIcon(HINSTANCE instance);
    ~Win32NotifyIcon() override;
    Win32NotifyIcon(const Win32NotifyIcon&) = delete;
    Win32NotifyIcon& operator=(const Win32NotifyIcon&) = delete;

    WindowHandle controlWindow() const override;
    void notify(NotifyOperation operation, const NotifyIconRecord& record) override;
    bool trayAvailable() const override;

    // The message Explorer broadcasts when its task bar (re)starts.
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }

private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void addAgain() const;

    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    // Each icon added and not deleted, as a new task bar would need it.
    std::map<std::pair<WindowHandle, std::uint32_t>, NotifyIconRecord> added_;
};

}  // namespace tamberlyn

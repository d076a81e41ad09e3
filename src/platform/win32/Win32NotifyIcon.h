#pragma once
// The notification-area icon over Shell_NotifyIconW, and its hidden control window.

#include <windows.h>

#include <cstdint>
#include <functional>
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

    // How an icon is drawn for a DPI; from then on the shell gets every icon for the
    // tray's DPI, again whenever that changes.
    using IconForDpi = std::function<IconHandle(IconHandle icon, UINT dpi)>;
    void drawIconsWith(IconForDpi iconForDpi) { iconForDpi_ = std::move(iconForDpi); }
    // The DPI the icons are drawn for, and the icon the shell was last given for an entry.
    UINT dpi() const { return dpi_; }
    IconHandle shellIcon(WindowHandle window, std::uint32_t id) const;

private:
    using Key = std::pair<WindowHandle, std::uint32_t>;
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void send(DWORD operation, const NotifyIconRecord& record);
    void addAgain();
    void dpiChanged(UINT dpi);

    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    IconForDpi iconForDpi_;
    // Each icon added and not deleted, as a new task bar would need it.
    std::map<Key, NotifyIconRecord> added_;
    std::map<Key, IconHandle> shellIcons_;
};

}  // namespace tamberlyn

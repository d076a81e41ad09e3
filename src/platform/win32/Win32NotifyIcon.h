#pragma once
// The notification-area icon over Shell_NotifyIconW, and the hidden window to which the
// shell reports on it.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

class Win32NotifyIcon final : public NotifyIcon {
public:
    // How a record reaches the shell: Shell_NotifyIconW, whose answer is not looked at.
    using ShellCall = std::function<void(DWORD operation, NOTIFYICONDATAW& record)>;
    static void CallShell(DWORD operation, NOTIFYICONDATAW& record);

    // Creates the control window, so that its handle is known from the start.
    explicit Win32NotifyIcon(HINSTANCE instance, ShellCall shell = CallShell);
    ~Win32NotifyIcon() override;
    Win32NotifyIcon(const Win32NotifyIcon&) = delete;
    Win32NotifyIcon& operator=(const Win32NotifyIcon&) = delete;

    bool trayAvailable() const override;
    void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) override;
    void changeIcon(std::uint32_t id, IconHandle icon) override;
    void changeTip(std::uint32_t id, const std::string& tip) override;
    void showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                     std::uint32_t timeoutMs) override;
    void deleteIcon(std::uint32_t id) override;

    // The window the shell reports to, and the message Explorer broadcasts when its task bar (re)starts.
    HWND window() const { return window_; }
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }

    // How an icon is drawn for a DPI; from then on the shell gets every icon for the
    // tray's DPI, again whenever that changes.
    using IconForDpi = std::function<IconHandle(IconHandle icon, UINT dpi)>;
    void drawIconsWith(IconForDpi iconForDpi) { iconForDpi_ = std::move(iconForDpi); }
    // The DPI the icons are drawn for, and the icon the shell was last given for an entry.
    UINT dpi() const { return dpi_; }
    IconHandle shellIcon(std::uint32_t id) const;

private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void trayCallback(WPARAM id, LPARAM notification);
    void send(DWORD operation, NOTIFYICONDATAW record);
    void modify(const NOTIFYICONDATAW& record);
    void addAgain();
    void dpiChanged(UINT dpi);

    ShellCall shell_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    IconForDpi iconForDpi_;
    // Each icon added and not deleted, as a new task bar would need it: with the icon as
    // given, not as drawn for the DPI.
    std::map<UINT, NOTIFYICONDATAW> added_;
    std::map<UINT, IconHandle> shellIcons_;
};

}  // namespace tamberlyn

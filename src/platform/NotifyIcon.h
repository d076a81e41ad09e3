#pragma once
// The notification-area icon, shaped like Shell_NotifyIcon and its record.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/WindowServices.h"

namespace tamberlyn {

using IconHandle = std::uint64_t;  // 0: no icon

enum class NotifyOperation : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

constexpr std::uint32_t kNifMessage = 1;
constexpr std::uint32_t kNifIcon = 2;
constexpr std::uint32_t kNifTip = 4;
constexpr std::uint32_t kNifInfo = 16;

constexpr std::uint32_t kTrayCallbackMessage = 1125;  // WM_USER + 101

// Texts are UTF-8, already cut so that they fit their fields with the terminator.
struct NotifyIconRecord {
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    std::string szTip;
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    std::string szInfo;
    std::uint32_t uTimeout = 0;
    std::string szInfoTitle;
    std::uint32_t dwInfoFlags = 0;
};

// Called on the GUI thread. The adapter owns the control window and removes the icons it
// added when it is destroyed; creating it throws PlatformError when it cannot make its window.
class NotifyIcon {
public:
    virtual ~NotifyIcon() = default;
    // The hidden window to which the shell reports activity on the icon.
    virtual WindowHandle controlWindow() const = 0;
    // The shell's answer is not looked at: a refused icon is not an error here.
    virtual void notify(NotifyOperation operation, const NotifyIconRecord& record) = 0;
    // False when the desktop has no notification area to put an icon in.
    virtual bool trayAvailable() const = 0;

    // Told when a notification area comes or goes (with trayAvailable() then), by adapters
    // that can tell. An icon that was in the tray comes back with the new one by itself.
    std::function<void(bool available)> trayChanged;
};

// Receives the shell's tray notifications: a mouse message or balloon notification, and the icon id.
// Called on the GUI thread, from the event pump; must not throw.
class TrayMessageSink {
public:
    virtual ~TrayMessageSink() = default;
    virtual void HandleTrayMessage(std::int32_t notification, std::int32_t iconId) = 0;
};

// Routes the tray callback message of a window to its sink while installed. Called on the
// GUI thread; the sink is borrowed and must outlive the installation. Neither call fails;
// removing what was never installed does nothing.
class TrayMessageHook {
public:
    virtual ~TrayMessageHook() = default;
    virtual void install(WindowHandle window, TrayMessageSink& sink) = 0;
    virtual void remove(WindowHandle window) = 0;
};

}  // namespace tamberlyn

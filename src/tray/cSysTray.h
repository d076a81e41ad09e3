#pragma once
// The tray icon control: one icon in the notification area, its tooltip, its balloon,
// and the mouse events that come back from it.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/NotifyIcon.h"

namespace tamberlyn {

// Tray notifications, as the shell reports them.
constexpr std::int32_t WM_MOUSEMOVE_CODE = 0x200;
constexpr std::int32_t WM_LBUTTONDOWN_CODE = 0x201;
constexpr std::int32_t WM_LBUTTONUP_CODE = 0x202;
constexpr std::int32_t WM_LBUTTONDBLCLK_CODE = 0x203;
constexpr std::int32_t WM_RBUTTONDOWN_CODE = 0x204;
constexpr std::int32_t WM_RBUTTONUP_CODE = 0x205;
constexpr std::int32_t WM_RBUTTONDBLCLK_CODE = 0x206;
constexpr std::int32_t NIN_BALLOONSHOW_CODE = 0x402;
constexpr std::int32_t NIN_BALLOONHIDE_CODE = 0x403;
constexpr std::int32_t NIN_BALLOONTIMEOUT_CODE = 0x404;
constexpr std::int32_t NIN_BALLOONUSERCLICK_CODE = 0x405;

// Field widths of the shell's record, terminator included.
constexpr std::size_t kTipField = 128;
constexpr std::size_t kInfoField = 256;
constexpr std::size_t kInfoTitleField = 64;

class cSysTray final : public TrayMessageSink {
public:
    // Creation: reads the control window's handle once.
    cSysTray(NotifyIcon& shell, TrayMessageHook& hook, EventLoop& events);
    ~cSysTray() override;  // leaves the tray
    cSysTray(const cSysTray&) = delete;
    cSysTray& operator=(const cSysTray&) = delete;

    Picture TrayIcon() const { return icon_; }
    void setTrayIcon(Picture icon);
    const std::string& TrayTip() const { return tip_; }
    void setTrayTip(const std::string& tip);
    bool InTray() const { return inTray_; }
    void setInTray(bool show);

    // Shows a balloon over the icon and waits up to showTimer seconds, running the
    // program's events, until it is gone. With showOnce, only the first such balloon shows.
    void ShowBalloon(const std::string& tip, const std::string& title, std::int32_t showTimer, bool showOnce);

    void HandleTrayMessage(std::int32_t notification, std::int32_t iconId) override;

    // Events to the container; button 1 is the left, 2 the right one.
    std::function<void(std::int32_t id)> MouseMove;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDown;
    std::function<void(std::int16_t button, std::int32_t id)> MouseUp;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDblClick;

    bool iconPresent() const { return iconPresent_; }
    bool balloonShowing() const { return balloonShowing_; }
    std::int32_t onceCount() const { return onceCount_; }
    std::int32_t iconId() const { return iconId_; }
    WindowHandle window() const { return window_; }

private:
    NotifyIconRecord record(std::uint32_t flags) const;
    void AddIcon(WindowHandle window, std::int32_t id, const std::string& tip, Picture icon);
    void RemoveIcon(WindowHandle window, std::int32_t id);

    NotifyIcon& shell_;
    TrayMessageHook& hook_;
    EventLoop& events_;
    WindowHandle window_;
    std::int32_t iconId_ = 0;
    bool inTray_ = false;
    bool iconPresent_ = false;
    bool balloonShowing_ = false;
    std::int32_t onceCount_ = 0;
    std::string tip_;
    Picture icon_;
};

}  // namespace tamberlyn

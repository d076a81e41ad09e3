#pragma once
// The tray icon control: one icon in the notification area, its tooltip, its balloon,
// and the mouse events that come back from it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/NotifyIcon.h"

namespace tamberlyn {

// The room the tray has for each text, terminator included: longer texts are cut.
constexpr std::size_t kTipField = 128;
constexpr std::size_t kInfoField = 256;
constexpr std::size_t kInfoTitleField = 64;

class cSysTray final {
public:
    // Hears what the user does with its icon from creation on.
    cSysTray(NotifyIcon& shell, EventLoop& events);
    ~cSysTray();  // leaves the tray
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

    // Raises MouseUp for a click on the icon, while it is in the tray; ends the balloon's wait.
    void HandleTrayMessage(TrayIntent intent, std::int32_t iconId);

    // Events to the container; button 1 is the left, 2 the right one. The trays tell of
    // whole clicks only, so MouseMove, MouseDown and MouseDblClick are not raised.
    std::function<void(std::int32_t id)> MouseMove;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDown;
    std::function<void(std::int16_t button, std::int32_t id)> MouseUp;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDblClick;

    bool iconPresent() const { return iconPresent_; }
    bool balloonShowing() const { return balloonShowing_; }
    std::int32_t onceCount() const { return onceCount_; }
    std::int32_t iconId() const { return iconId_; }

private:
    void AddIcon(std::int32_t id, const std::string& tip, Picture icon);
    void RemoveIcon(std::int32_t id);

    NotifyIcon& shell_;
    EventLoop& events_;
    std::int32_t iconId_ = 0;
    bool inTray_ = false;
    bool iconPresent_ = false;
    bool balloonShowing_ = false;
    std::int32_t onceCount_ = 0;
    std::string tip_;
    Picture icon_;
};

}  // namespace tamberlyn

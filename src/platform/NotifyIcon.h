#pragma once
// The notification-area icon, as the tray control asks for it, and what comes back from it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/WindowServices.h"

namespace tamberlyn {

using IconHandle = std::uint64_t;  // 0: no icon

// Called on the GUI thread. The adapter owns the control window, and its icons are told apart
// by the id the caller gives them; it removes the icons it added when it is destroyed.
// Creating it throws PlatformError when it cannot make its window. No call below throws or
// reports failure: the tray's answers are not looked at, and a refused icon is not an error
// here. Icon handles are the Desktop's, borrowed. Texts are UTF-8, cut by the caller to what
// the tray shows; an adapter whose fields hold less cuts them again, between characters.
class NotifyIcon {
public:
    virtual ~NotifyIcon() = default;
    // The hidden window to which the shell reports activity on the icons; 0 where activity
    // comes some other way.
    virtual WindowHandle controlWindow() const = 0;
    // False when the desktop has no notification area to put an icon in.
    virtual bool trayAvailable() const = 0;

    // Puts an icon into the area, with its picture (0: none) and tooltip (none: no tooltip).
    // From then on activity on it reaches the hook installed on the control window.
    virtual void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) = 0;
    virtual void changeIcon(std::uint32_t id, IconHandle icon) = 0;
    virtual void changeTip(std::uint32_t id, const std::string& tip) = 0;
    // A balloon over the icon for timeoutMs (0: as long as the tray shows one by itself).
    // An empty title and text take down the balloon that is showing instead.
    virtual void showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                             std::uint32_t timeoutMs) = 0;
    virtual void deleteIcon(std::uint32_t id) = 0;

    // Told when a notification area comes or goes (with trayAvailable() then), by adapters
    // that can tell. An icon that was in the tray comes back with the new one by itself.
    std::function<void(bool available)> trayChanged;
};

// What the user did with an icon or its balloon, or what became of the balloon.
enum class TrayEvent {
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftDoubleClick,
    RightButtonDown,
    RightButtonUp,
    RightDoubleClick,
    MiddleButtonDown,
    MiddleButtonUp,
    MiddleDoubleClick,
    BalloonShown,
    BalloonHidden,
    BalloonTimedOut,
    BalloonClicked,
};

// Receives the tray's events, with the id of the icon. Called on the GUI thread, from the
// event pump; must not throw.
class TrayMessageSink {
public:
    virtual ~TrayMessageSink() = default;
    virtual void HandleTrayMessage(TrayEvent event, std::int32_t iconId) = 0;
};

// Routes the tray's events for a control window to its sink while installed. Called on the
// GUI thread; the sink is borrowed and must outlive the installation. Neither call fails;
// removing what was never installed does nothing.
class TrayMessageHook {
public:
    virtual ~TrayMessageHook() = default;
    virtual void install(WindowHandle window, TrayMessageSink& sink) = 0;
    virtual void remove(WindowHandle window) = 0;
};

}  // namespace tamberlyn

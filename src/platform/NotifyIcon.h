#pragma once
// The notification-area icon, as the tray control asks for it, and what comes back from it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tamberlyn {

using IconHandle = std::uint64_t;  // 0: no icon

// What the user did with an icon or its balloon, or what became of the balloon. Each
// adapter tells it from what its tray reports, in its own way.
enum class TrayIntent {
    Activated,         // the icon was clicked
    ContextActivated,  // clicked with the other button, where a menu would open (there is none)
    BalloonClicked,
    BalloonGone,       // closed or timed out unclicked
};

// Called on the GUI thread. Icons are told apart by the id the caller gives them; the adapter
// removes the icons it added when it is destroyed. Creating it throws PlatformError when it
// cannot make what its tray reports to (on Windows, a hidden window).
// No call below throws or reports failure: the tray's answers are not looked at, and a
// refused icon is not an error here. Icon handles are the Desktop's, borrowed. Texts are
// UTF-8, cut by the caller to what the tray shows; an adapter whose fields hold less cuts
// them again, between characters.
class NotifyIcon {
public:
    virtual ~NotifyIcon() = default;
    // False when the desktop has no notification area to put an icon in.
    virtual bool trayAvailable() const = 0;

    // Puts an icon into the area, with its picture (0: none) and tooltip (none: no tooltip).
    // From then on what the user does with it reaches intentArrived.
    virtual void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) = 0;
    virtual void changeIcon(std::uint32_t id, IconHandle icon) = 0;
    virtual void changeTip(std::uint32_t id, const std::string& tip) = 0;
    // A balloon over the icon for timeoutMs (0: as long as the tray shows one by itself).
    // An empty title and text take down the balloon that is showing instead.
    virtual void showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                             std::uint32_t timeoutMs) = 0;
    virtual void deleteIcon(std::uint32_t id) = 0;

    // Told, from the event pump, what the user did with an icon, with its id; must not throw.
    std::function<void(TrayIntent intent, std::int32_t iconId)> intentArrived;
    // Told when a notification area comes or goes (with trayAvailable() then), by adapters
    // that can tell. An icon that was in the tray comes back with the new one by itself.
    std::function<void(bool available)> trayChanged;
};

}  // namespace tamberlyn

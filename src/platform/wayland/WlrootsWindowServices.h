#pragma once
// The window services of wlroots compositors (sway, Hyprland, river, labwc, wayfire):
// zwlr_foreign_toplevel_manager_v1 lists every toplevel, Xwayland windows included, and
// its close request reaches the program as an ordinary xdg_toplevel.close (or
// WM_DELETE_WINDOW), so a program may ask its user first.

#include <set>
#include <string>

#include "platform/wayland/WaylandWindowServices.h"

struct zwlr_foreign_toplevel_manager_v1;

namespace tamberlyn {

class WlrootsWindowServices final : public WaylandWindowServices {
public:
    // ownAppIds: the app_ids of the program's own windows, left out of the list. Under
    // sway an Xwayland window's app_id is its WM_CLASS class ("Tamberlyn"); a native
    // Qt window's is the desktop file name (QGuiApplication::desktopFileName).
    // Connects to socketName (empty: $WAYLAND_DISPLAY) and reads the windows there;
    // throws PlatformError when it cannot connect or the compositor lacks the protocol.
    explicit WlrootsWindowServices(std::set<std::string> ownAppIds, const std::string& socketName = {},
                                   TimeSource now = std::chrono::steady_clock::now);
    ~WlrootsWindowServices() override;

private:
    void closeToplevel(wl_proxy* object) override;
    bool isOwn(const Toplevel& toplevel) const override;

    struct Events;
    std::set<std::string> ownAppIds_;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
};

}  // namespace tamberlyn

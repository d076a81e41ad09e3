#pragma once
// The window services of KDE Plasma (KWin): org_kde_plasma_window_management lists every
// toplevel, Xwayland windows included, with the pid of its program; its close request
// reaches the program as an ordinary xdg_toplevel.close (or WM_DELETE_WINDOW), so a
// program may ask its user first.
//
// KWin offers the global only to an executable that an installed desktop entry names by
// absolute path in Exec= and whose X-KDE-Wayland-Interfaces lists it.

#include <cstdint>
#include <string>
#include <unordered_set>

#include "platform/wayland/WaylandWindowServices.h"

struct org_kde_plasma_window_management;

namespace tamberlyn {

class KdeWindowServices final : public WaylandWindowServices {
public:
    // Connects to socketName (empty: $WAYLAND_DISPLAY) and reads the windows there. The
    // windows of this process (its pid) are the program's own, left out of the list.
    // Throws PlatformError when it cannot connect or the global is not offered.
    explicit KdeWindowServices(const std::string& socketName = {}, TimeSource now = std::chrono::steady_clock::now);
    ~KdeWindowServices() override;

private:
    void closeToplevel(wl_proxy* object) override;
    bool isOwn(const Toplevel& toplevel) const override;

    struct Events;
    org_kde_plasma_window_management* manager_ = nullptr;
    // Windows whose initial state has arrived: from then on each event is a change of its own.
    std::unordered_set<WindowHandle> described_;
    std::int64_t ownPid_;
};

}  // namespace tamberlyn

#pragma once
// Window services over a Wayland compositor's own list of toplevels: what every Wayland
// route shares. Wayland has no global window ids and no way to ask about a window
// later; a route binds its protocol's global and hears of each toplevel as an object
// with events. This base keeps the connection and the table those events fill
// (through ToplevelWindowServices: ToplevelTable holds the rules for close requests); a backend (WlrootsWindowServices, the KDE route) only translates its
// protocol into the calls below.
//
// A backend's part:
//  - Its constructor binds its global with bind() (throwing PlatformError when it is
//    missing), adds its listeners, and calls roundtrip() until the windows there are known.
//  - For each new toplevel object: addToplevel(object) mints its handle (1, 2, 3, ...,
//    never reused). setTitle/setAppId/setParent/setPid change it in waiting, and
//    commit(handle) makes the changes count together (the protocol's "done"; a protocol
//    without one commits after each change). A window is listed from its first commit.
//  - At a toplevel's end: removeToplevel(handle), then the backend destroys the object.
//  - closeToplevel(object): the protocol's close request. The base flushes it.
//  - isOwn(toplevel): whether the window is the program's own (left out of the list).
//  - lose(reason) when the protocol ends the list itself (its global's "finished", say).
// Listeners are called from processEvents() or roundtrip() only, on the GUI thread; they
// never throw. The objects of toplevels still known are destroyed client-side when the
// services go, as are bound globals (the connection ends with them).

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/toplevels/ToplevelWindowServices.h"

struct wl_display;
struct wl_interface;
struct wl_proxy;
struct wl_registry;

namespace tamberlyn {

class WaylandWindowServices : public ToplevelWindowServices {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

    ~WaylandWindowServices() override;
    WaylandWindowServices(const WaylandWindowServices&) = delete;
    WaylandWindowServices& operator=(const WaylandWindowServices&) = delete;

    // Never replaced: a lost compositor is the end of the session. After a loss,
    // processEvents, changeCount, topLevelWindows and requestClose throw PlatformError.
    int fileDescriptor() const override;
    bool processEvents() override;

protected:
    // Connects to the compositor's socket (empty: $WAYLAND_DISPLAY; a name, or an
    // absolute path) and reads its globals. Throws PlatformError when it cannot.
    WaylandWindowServices(const std::string& socketName, TimeSource now);

    // Binds the global of that interface at the highest version up to maxVersion that the
    // compositor offers; nullptr when it offers none. Its removal ends the services.
    wl_proxy* bind(const wl_interface& interface, std::uint32_t maxVersion);
    // Waits until the compositor has handled every request so far and its answers are in.
    void roundtrip();

    WindowHandle addToplevel(wl_proxy* object);
    WindowHandle handleOf(const wl_proxy* object) const;  // 0: not a toplevel of the table
    void setTitle(WindowHandle window, const char* text);  // any bytes, or null
    void setAppId(WindowHandle window, const char* text);
    void setParent(WindowHandle window, WindowHandle parent);
    void setPid(WindowHandle window, std::int64_t pid);
    void commit(WindowHandle window);
    void removeToplevel(WindowHandle window);

    virtual void closeToplevel(wl_proxy* object) = 0;

    wl_display* display() const { return display_; }

private:
    struct Global {
        std::uint32_t name;
        std::string interface;
        std::uint32_t version;
    };
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

    void sendClose(ToplevelTable::Key key) final;
    bool checkConnection();  // false, with the reason kept, once the connection failed
    void flush();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    std::vector<Global> globals_;
    std::vector<std::pair<std::uint32_t, wl_proxy*>> bound_;  // global name, object
    // The table is keyed by each toplevel's object.
};

}  // namespace tamberlyn

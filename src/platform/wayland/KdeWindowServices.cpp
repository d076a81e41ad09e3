#include "platform/wayland/KdeWindowServices.h"

#include <unistd.h>
#include <wayland-client.h>

#include <array>
#include <utility>

#include "plasma-window-management-client-protocol.h"
#include "platform/PlatformError.h"

namespace tamberlyn {
namespace {

// The version this copy of the protocol describes; 13 brought window_with_uuid, which
// KWin sends instead of the older window event from then on.
constexpr std::uint32_t kManagerVersion = 16;
constexpr std::uint32_t kUuidVersion = 13;

wl_proxy* proxy(org_kde_plasma_window* window) { return reinterpret_cast<wl_proxy*>(window); }

// The file this process runs, as KWin sees it (it names a replaced file "... (deleted)").
std::string ownExecutable() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : "this program";
}

}  // namespace

// The protocol's events, each handed to the table; unknown windows are ignored there.
// Until a window's initial_state its details gather; after it, each change counts alone.
struct KdeWindowServices::Events {
    static KdeWindowServices& self(void* data) { return *static_cast<KdeWindowServices*>(data); }
    static WindowHandle handle(void* data, org_kde_plasma_window* window) {
        return self(data).handleOf(proxy(window));
    }
    static void changed(void* data, WindowHandle window) {
        if (self(data).described_.contains(window)) self(data).commit(window);
    }

    static void title(void* data, org_kde_plasma_window* window, const char* text) {
        const WindowHandle h = handle(data, window);
        self(data).setTitle(h, text);
        changed(data, h);
    }
    static void appId(void* data, org_kde_plasma_window* window, const char* text) {
        const WindowHandle h = handle(data, window);
        self(data).setAppId(h, text);
        changed(data, h);
    }
    static void pid(void* data, org_kde_plasma_window* window, std::uint32_t pid) {
        const WindowHandle h = handle(data, window);
        self(data).setPid(h, pid);
        changed(data, h);
    }
    static void parent(void* data, org_kde_plasma_window* window, org_kde_plasma_window* parent) {
        const WindowHandle h = handle(data, window);
        self(data).setParent(h, parent != nullptr ? handle(data, parent) : 0);
        changed(data, h);
    }
    static void initialState(void* data, org_kde_plasma_window* window) {
        const WindowHandle h = handle(data, window);
        if (h == 0) return;
        self(data).described_.insert(h);
        self(data).commit(h);
    }
    static void unmapped(void* data, org_kde_plasma_window* window) {
        const WindowHandle h = handle(data, window);
        self(data).described_.erase(h);
        self(data).removeToplevel(h);
        // The request to forget it came with version 4; before, only this side forgets.
        if (org_kde_plasma_window_get_version(window) >= ORG_KDE_PLASMA_WINDOW_DESTROY_SINCE_VERSION) {
            org_kde_plasma_window_destroy(window);
        } else {
            wl_proxy_destroy(proxy(window));
        }
    }

    static constexpr org_kde_plasma_window_listener kWindow = {
        .title_changed = title,
        .app_id_changed = appId,
        .state_changed = [](void*, org_kde_plasma_window*, std::uint32_t) {},
        .virtual_desktop_changed = [](void*, org_kde_plasma_window*, std::int32_t) {},
        .themed_icon_name_changed = [](void*, org_kde_plasma_window*, const char*) {},
        .unmapped = unmapped,
        .initial_state = initialState,
        .parent_window = parent,
        .geometry = [](void*, org_kde_plasma_window*, std::int32_t, std::int32_t, std::uint32_t, std::uint32_t) {},
        .icon_changed = [](void*, org_kde_plasma_window*) {},
        .pid_changed = pid,
        .virtual_desktop_entered = [](void*, org_kde_plasma_window*, const char*) {},
        .virtual_desktop_left = [](void*, org_kde_plasma_window*, const char*) {},
        .application_menu = [](void*, org_kde_plasma_window*, const char*, const char*) {},
        .activity_entered = [](void*, org_kde_plasma_window*, const char*) {},
        .activity_left = [](void*, org_kde_plasma_window*, const char*) {},
        .resource_name_changed = [](void*, org_kde_plasma_window*, const char*) {},
    };

    static void add(void* data, org_kde_plasma_window* window) {
        self(data).addToplevel(proxy(window));
        org_kde_plasma_window_add_listener(window, &kWindow, data);
    }
    static void window(void* data, org_kde_plasma_window_management* manager, std::uint32_t id) {
        if (org_kde_plasma_window_management_get_version(manager) < kUuidVersion) {
            add(data, org_kde_plasma_window_management_get_window(manager, id));
        }
    }
    static void windowWithUuid(void* data, org_kde_plasma_window_management* manager, std::uint32_t,
                               const char* uuid) {
        add(data, org_kde_plasma_window_management_get_window_by_uuid(manager, uuid != nullptr ? uuid : ""));
    }

    static constexpr org_kde_plasma_window_management_listener kManager = {
        .show_desktop_changed = [](void*, org_kde_plasma_window_management*, std::uint32_t) {},
        .window = window,
        .stacking_order_changed = [](void*, org_kde_plasma_window_management*, wl_array*) {},
        .stacking_order_uuid_changed = [](void*, org_kde_plasma_window_management*, const char*) {},
        .window_with_uuid = windowWithUuid,
    };
};

KdeWindowServices::KdeWindowServices(const std::string& socketName, TimeSource now)
    : WaylandWindowServices(socketName, std::move(now)), ownPid_(getpid()) {
    manager_ = reinterpret_cast<org_kde_plasma_window_management*>(
        bind(org_kde_plasma_window_management_interface, kManagerVersion));
    if (manager_ == nullptr) {
        throw PlatformError("The Wayland compositor does not offer org_kde_plasma_window_management to " +
                            ownExecutable() +
                            ": KWin offers it only to a program whose installed desktop entry names it by this "
                            "absolute path in Exec= and lists org_kde_plasma_window_management in "
                            "X-KDE-Wayland-Interfaces.");
    }
    org_kde_plasma_window_management_add_listener(manager_, &Events::kManager, this);
    // The windows there come at once; the details of each follow its request for them.
    roundtrip();
    roundtrip();
}

// The base destroys the manager and the windows left.
KdeWindowServices::~KdeWindowServices() = default;

void KdeWindowServices::closeToplevel(wl_proxy* object) {
    org_kde_plasma_window_close(reinterpret_cast<org_kde_plasma_window*>(object));
}

bool KdeWindowServices::isOwn(const Toplevel& toplevel) const { return toplevel.pid == ownPid_; }

}  // namespace tamberlyn

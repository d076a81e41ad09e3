#include "platform/wayland/WlrootsWindowServices.h"

#include <wayland-client.h>

#include <utility>

#include "platform/PlatformError.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tamberlyn {
namespace {

// Version 3 tells of parents: a question's main window.
constexpr std::uint32_t kManagerVersion = 3;

wl_proxy* proxy(zwlr_foreign_toplevel_handle_v1* handle) { return reinterpret_cast<wl_proxy*>(handle); }

}  // namespace

// The protocol's events, each handed to the table; unknown handles are ignored there.
struct WlrootsWindowServices::Events {
    static WlrootsWindowServices& self(void* data) { return *static_cast<WlrootsWindowServices*>(data); }
    static WindowHandle handle(void* data, zwlr_foreign_toplevel_handle_v1* object) {
        return self(data).handleOf(proxy(object));
    }

    static void title(void* data, zwlr_foreign_toplevel_handle_v1* object, const char* text) {
        self(data).setTitle(handle(data, object), text);
    }
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1* object, const char* text) {
        self(data).setAppId(handle(data, object), text);
    }
    static void outputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void outputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void*, zwlr_foreign_toplevel_handle_v1*, wl_array*) {}
    static void done(void* data, zwlr_foreign_toplevel_handle_v1* object) { self(data).commit(handle(data, object)); }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* object) {
        self(data).removeToplevel(handle(data, object));
        zwlr_foreign_toplevel_handle_v1_destroy(object);
    }
    static void parent(void* data, zwlr_foreign_toplevel_handle_v1* object, zwlr_foreign_toplevel_handle_v1* parent) {
        self(data).setParent(handle(data, object), parent != nullptr ? handle(data, parent) : 0);
    }

    static constexpr zwlr_foreign_toplevel_handle_v1_listener kHandle = {
        title, appId, outputEnter, outputLeave, state, done, closed, parent};

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* object) {
        self(data).addToplevel(proxy(object));
        zwlr_foreign_toplevel_handle_v1_add_listener(object, &kHandle, data);
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1*) {
        self(data).lose("The Wayland compositor stopped listing its windows (zwlr_foreign_toplevel_manager_v1 finished).");
    }

    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManager = {toplevel, finished};
};

WlrootsWindowServices::WlrootsWindowServices(std::set<std::string> ownAppIds, const std::string& socketName,
                                             TimeSource now)
    : WaylandWindowServices(socketName, std::move(now)), ownAppIds_(std::move(ownAppIds)) {
    manager_ = reinterpret_cast<zwlr_foreign_toplevel_manager_v1*>(
        bind(zwlr_foreign_toplevel_manager_v1_interface, kManagerVersion));
    if (manager_ == nullptr) {
        throw PlatformError(
            "The Wayland compositor does not offer zwlr_foreign_toplevel_manager_v1, the list of windows of wlroots "
            "compositors.");
    }
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &Events::kManager, this);
    // The toplevels there come at once, each with its details and a done.
    roundtrip();
}

// The base destroys the manager and the handles left.
WlrootsWindowServices::~WlrootsWindowServices() = default;

void WlrootsWindowServices::closeToplevel(wl_proxy* object) {
    zwlr_foreign_toplevel_handle_v1_close(reinterpret_cast<zwlr_foreign_toplevel_handle_v1*>(object));
}

bool WlrootsWindowServices::isOwn(const Toplevel& toplevel) const { return ownAppIds_.contains(toplevel.appId); }

}  // namespace tamberlyn

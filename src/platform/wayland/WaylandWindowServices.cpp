#include "platform/wayland/WaylandWindowServices.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/PlatformError.h"

namespace tamberlyn {
namespace {

ToplevelTable::Key keyOf(const wl_proxy* object) { return reinterpret_cast<std::uintptr_t>(object); }
wl_proxy* objectOf(ToplevelTable::Key key) { return reinterpret_cast<wl_proxy*>(static_cast<std::uintptr_t>(key)); }

std::string systemError(int code) { return std::strerror(code); }

std::string socketOf(const std::string& socketName) {
    if (!socketName.empty()) return socketName;
    const char* set = std::getenv("WAYLAND_DISPLAY");
    return set != nullptr ? set : "wayland-0";
}

}  // namespace

WaylandWindowServices::WaylandWindowServices(const std::string& socketName, TimeSource now) : ToplevelWindowServices(std::move(now)) {
    display_ = wl_display_connect(socketName.empty() ? nullptr : socketName.c_str());
    if (display_ == nullptr) {
        throw PlatformError("Cannot connect to the Wayland compositor at \"" + socketOf(socketName) +
                            "\": " + systemError(errno) + ".");
    }
    static const wl_registry_listener listener = {&WaylandWindowServices::onGlobal,
                                                  &WaylandWindowServices::onGlobalRemove};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &listener, this);
    roundtrip();
}

WaylandWindowServices::~WaylandWindowServices() {
    // Client-side only: the connection ends right after, and the compositor with it
    // forgets every object.
    table_.forEachKey([](ToplevelTable::Key key) { wl_proxy_destroy(objectOf(key)); });
    for (auto& [name, object] : bound_) wl_proxy_destroy(object);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

void WaylandWindowServices::onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                                     std::uint32_t version) {
    static_cast<WaylandWindowServices*>(data)->globals_.push_back({name, interface, version});
}

void WaylandWindowServices::onGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    auto* self = static_cast<WaylandWindowServices*>(data);
    const auto global = std::ranges::find(self->globals_, name, &Global::name);
    if (global == self->globals_.end()) return;
    if (std::ranges::find(self->bound_, name, &std::pair<std::uint32_t, wl_proxy*>::first) != self->bound_.end()) {
        self->lose("The Wayland compositor withdrew " + global->interface + ", through which Tamberlyn sees the windows.");
    }
    self->globals_.erase(global);
}

wl_proxy* WaylandWindowServices::bind(const wl_interface& interface, std::uint32_t maxVersion) {
    const auto global = std::ranges::find_if(globals_, [&](const Global& g) { return g.interface == interface.name; });
    if (global == globals_.end()) return nullptr;
    auto* object = static_cast<wl_proxy*>(
        wl_registry_bind(registry_, global->name, &interface, std::min(global->version, maxVersion)));
    bound_.emplace_back(global->name, object);
    return object;
}

bool WaylandWindowServices::checkConnection() {
    if (lost()) return false;
    const int code = wl_display_get_error(display_);
    if (code == 0) return true;
    if (code == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t error = wl_display_get_protocol_error(display_, &interface, &id);
        lose("The Wayland compositor ended the connection over a protocol error (" +
             std::string(interface != nullptr ? interface->name : "unknown interface") + " error " +
             std::to_string(error) + ").");
    } else {
        lose("The connection to the Wayland compositor was lost: " + systemError(code) + ".");
    }
    return false;
}

void WaylandWindowServices::roundtrip() {
    if (checkConnection() && wl_display_roundtrip(display_) < 0) checkConnection();
    throwIfLost();
}

void WaylandWindowServices::flush() {
    // A full socket keeps the rest for the next flush: processEvents sends it.
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) checkConnection();
}

int WaylandWindowServices::fileDescriptor() const { return wl_display_get_fd(display_); }

bool WaylandWindowServices::processEvents() {
    const std::uint64_t before = table_.changes();
    throwIfLost();
    bool reading = false;
    while (checkConnection()) {
        if (wl_display_prepare_read(display_) == 0) {
            reading = true;
            break;
        }
        wl_display_dispatch_pending(display_);
    }
    if (reading) {
        flush();
        pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
        if (poll(&fd, 1, 0) > 0) {
            wl_display_read_events(display_);  // a failure shows in the display's error
        } else {
            wl_display_cancel_read(display_);
        }
        if (checkConnection()) wl_display_dispatch_pending(display_);
        checkConnection();
    }
    throwIfLost();
    return table_.changes() != before;
}

WindowHandle WaylandWindowServices::addToplevel(wl_proxy* object) { return table_.add(keyOf(object)); }
WindowHandle WaylandWindowServices::handleOf(const wl_proxy* object) const { return table_.handleOf(keyOf(object)); }
void WaylandWindowServices::setTitle(WindowHandle window, const char* text) { table_.setTitle(window, text != nullptr ? text : ""); }
void WaylandWindowServices::setAppId(WindowHandle window, const char* text) { table_.setAppId(window, text != nullptr ? text : ""); }
void WaylandWindowServices::setParent(WindowHandle window, WindowHandle parent) { table_.setParent(window, parent); }
void WaylandWindowServices::setPid(WindowHandle window, std::int64_t pid) { table_.setPid(window, pid); }
void WaylandWindowServices::commit(WindowHandle window) { table_.commit(window); }
void WaylandWindowServices::removeToplevel(WindowHandle window) { table_.remove(window); }

void WaylandWindowServices::sendClose(ToplevelTable::Key key) {
    closeToplevel(objectOf(key));
    flush();
}

}  // namespace tamberlyn

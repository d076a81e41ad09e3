#include "platform/wayland/WaylandWindowServices.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/x11/TitleText.h"

namespace tamberlyn {
namespace {

// As many bytes of a title as X11 reads: plenty for its first characters.
constexpr std::size_t kTitleBytes = 8192;

std::string systemError(int code) { return std::strerror(code); }

std::string socketOf(const std::string& socketName) {
    if (!socketName.empty()) return socketName;
    const char* set = std::getenv("WAYLAND_DISPLAY");
    return set != nullptr ? set : "wayland-0";
}

}  // namespace

WaylandWindowServices::WaylandWindowServices(const std::string& socketName, TimeSource now) : now_(std::move(now)) {
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
    for (auto& [handle, entry] : toplevels_) wl_proxy_destroy(entry.object);
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
    if (lost_) return false;
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

void WaylandWindowServices::throwIfLost() const {
    if (lost_) throw PlatformError(*lost_);
}

void WaylandWindowServices::lose(std::string reason) {
    if (!lost_) lost_ = std::move(reason);
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
    const std::uint64_t before = changes_;
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
    return changes_ != before;
}

std::uint64_t WaylandWindowServices::changeCount() {
    processEvents();
    return changes_;
}

WaylandWindowServices::Entry* WaylandWindowServices::find(WindowHandle window) {
    const auto it = toplevels_.find(window);
    return it != toplevels_.end() ? &it->second : nullptr;
}

const WaylandWindowServices::Entry* WaylandWindowServices::find(WindowHandle window) const {
    const auto it = toplevels_.find(window);
    return it != toplevels_.end() ? &it->second : nullptr;
}

WindowHandle WaylandWindowServices::addToplevel(wl_proxy* object) {
    const WindowHandle handle = nextHandle_++;
    toplevels_[handle].object = object;
    handles_[object] = handle;
    return handle;
}

WindowHandle WaylandWindowServices::handleOf(const wl_proxy* object) const {
    const auto it = handles_.find(object);
    return it != handles_.end() ? it->second : 0;
}

void WaylandWindowServices::setTitle(WindowHandle window, const char* text) {
    if (Entry* e = find(window)) {
        const std::string_view bytes = text != nullptr ? text : "";
        e->waiting.title = x11::sanitizeUtf8(bytes.substr(0, kTitleBytes));
    }
}

void WaylandWindowServices::setAppId(WindowHandle window, const char* text) {
    if (Entry* e = find(window)) e->waiting.appId = text != nullptr ? text : "";
}

void WaylandWindowServices::setParent(WindowHandle window, WindowHandle parent) {
    if (Entry* e = find(window)) e->waiting.parent = parent != window ? parent : 0;
}

void WaylandWindowServices::setPid(WindowHandle window, std::int64_t pid) {
    if (Entry* e = find(window)) e->waiting.pid = pid;
}

// The latest close request, still within the grace, to a window of the same program.
WindowHandle WaylandWindowServices::askedJustBefore(const Toplevel& toplevel) const {
    const auto sameProgram = [&](const Toplevel& other) {
        if (toplevel.pid != 0 || other.pid != 0) return toplevel.pid == other.pid;
        return !toplevel.appId.empty() && toplevel.appId == other.appId;
    };
    WindowHandle asked = 0;
    std::chrono::steady_clock::time_point latest{};
    for (const auto& [handle, when] : closeRequests_) {
        const Entry* e = find(handle);
        if (e != nullptr && now_() - when < kCloseGrace && sameProgram(e->current) && (asked == 0 || when > latest)) {
            asked = handle;
            latest = when;
        }
    }
    return asked;
}

void WaylandWindowServices::commit(WindowHandle window) {
    Entry* e = find(window);
    if (e == nullptr || (e->committed && e->current == e->waiting)) return;
    if (!e->committed) e->questionOf = askedJustBefore(e->waiting);
    e->current = e->waiting;
    e->committed = true;
    ++changes_;
}

void WaylandWindowServices::removeToplevel(WindowHandle window) {
    const auto it = toplevels_.find(window);
    if (it == toplevels_.end()) return;
    if (it->second.committed) ++changes_;
    handles_.erase(it->second.object);
    toplevels_.erase(it);
    closeRequests_.erase(window);
}

HandleList WaylandWindowServices::topLevelWindows() {
    processEvents();
    HandleList list;
    list.reserve(toplevels_.size());
    for (const auto& [handle, entry] : toplevels_) {
        if (entry.committed && !isOwn(entry.current)) list.push_back(handle);
    }
    return list;
}

std::string WaylandWindowServices::readTitle(WindowHandle window, int maxCharacters) {
    const Entry* e = find(window);
    if (e == nullptr || maxCharacters <= 0) return {};
    return x11::firstCodePoints(e->current.title, maxCharacters);
}

void WaylandWindowServices::requestClose(WindowHandle window) {
    throwIfLost();
    const Entry* e = find(window);
    if (e == nullptr || !e->committed) return;  // gone, or not shown yet
    sendClose(e->object);
    closeRequests_[window] = now_();
    flush();
    throwIfLost();
}

WindowHandle WaylandWindowServices::owner(const Entry& entry) const {
    const WindowHandle owner = entry.current.parent != 0 ? entry.current.parent : entry.questionOf;
    return find(owner) != nullptr ? owner : 0;
}

bool WaylandWindowServices::hasChild(WindowHandle window) const {
    return std::ranges::any_of(toplevels_, [&](const auto& t) { return t.second.committed && owner(t.second) == window; });
}

bool WaylandWindowServices::closePending(WindowHandle window) {
    const auto request = closeRequests_.find(window);
    if (request == closeRequests_.end()) return false;
    // A window's end removes its request: no protocol answers one otherwise.
    if (now_() - request->second < kCloseGrace || hasChild(window)) return true;
    closeRequests_.erase(request);  // answered or cancelled: a later cycle may ask again
    return false;
}

WindowHandle WaylandWindowServices::ownerOf(WindowHandle window) {
    const Entry* e = find(window);
    return e != nullptr ? owner(*e) : 0;
}

bool WaylandWindowServices::isDesktopShell(WindowHandle) { return false; }

}  // namespace tamberlyn

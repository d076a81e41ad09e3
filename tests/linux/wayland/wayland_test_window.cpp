// A native Wayland client for the tests (xdg-shell, no toolkit): opens toplevels on command
// and reports what reaches them. Commands on stdin, one a line (\xHH in a title: one byte):
//   open <label> <flags> <title>   flags: '-' or a comma list of
//       closes   goes away when asked to close
//       asks     asked to close, re-titles itself "<title> - Save changes?" and opens a child
//                "Save changes to <title>?" (label <label>.question); goes on a second request
//       app=<id> its app_id (default tamberlyn.test-window)
//   title <label> <title>       dismiss <label>: its question goes, as if cancelled
// Reports: "window <label> <ms>" once it has a buffer (ms: CLOCK_MONOTONIC then), "close
// <label> <ms>" for each close request, "destroyed <label>". Exits at the end of stdin or
// when the compositor goes away.

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <sstream>
#include <string>

#include "xdg-shell-client-protocol.h"

namespace {

wl_compositor* compositor;
wl_shm* shm;
xdg_wm_base* shell;
wl_shm_pool* pool;
constexpr int kSide = 32;

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}
std::string stamped(const std::string& line) {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return line + " " + std::to_string(t.tv_sec * 1000LL + t.tv_nsec / 1000000);
}

struct Window {
    std::string label, flags, title;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_buffer* buffer = nullptr;
    int closeRequests = 0;
};
std::map<std::string, Window> windows;  // nodes stay where they are: listeners hold them

void destroy(const std::string label) {  // a copy: the window that holds it goes
    const auto it = windows.find(label);
    if (it == windows.end()) return;
    xdg_toplevel_destroy(it->second.toplevel);
    xdg_surface_destroy(it->second.xdgSurface);
    wl_surface_destroy(it->second.surface);
    if (it->second.buffer != nullptr) wl_buffer_destroy(it->second.buffer);
    windows.erase(it);
    report("destroyed " + label);
}

void open(const std::string& label, const std::string& flags, const std::string& title, Window* parent);

void onClose(Window& w) {
    report(stamped("close " + w.label));
    const bool asks = w.flags.find("asks") != std::string::npos;
    if (asks && ++w.closeRequests == 1) {
        xdg_toplevel_set_title(w.toplevel, (w.title + " - Save changes?").c_str());
        open(w.label + ".question", "closes", "Save changes to " + w.title + "?", &w);
    } else if (asks || w.flags.find("closes") != std::string::npos) {
        destroy(w.label + ".question");
        destroy(w.label);
    }
}

// Events of versions later than the one bound never come.
const xdg_toplevel_listener kToplevel = [] {
    xdg_toplevel_listener listener{};
    listener.configure = [](void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {};
    listener.close = [](void* data, xdg_toplevel*) { onClose(*static_cast<Window*>(data)); };
    return listener;
}();

const xdg_surface_listener kSurface = {[](void* data, xdg_surface* surface, std::uint32_t serial) {
    auto& w = *static_cast<Window*>(data);
    xdg_surface_ack_configure(surface, serial);
    if (w.buffer == nullptr) {  // the first configure: now it may show
        w.buffer = wl_shm_pool_create_buffer(pool, 0, kSide, kSide, kSide * 4, WL_SHM_FORMAT_XRGB8888);
        wl_surface_attach(w.surface, w.buffer, 0, 0);
        report(stamped("window " + w.label));
    }
    wl_surface_commit(w.surface);
}};

void open(const std::string& label, const std::string& flags, const std::string& title, Window* parent) {
    Window& w = windows[label] = Window{label, flags, title};
    w.surface = wl_compositor_create_surface(compositor);
    w.xdgSurface = xdg_wm_base_get_xdg_surface(shell, w.surface);
    xdg_surface_add_listener(w.xdgSurface, &kSurface, &w);
    w.toplevel = xdg_surface_get_toplevel(w.xdgSurface);
    xdg_toplevel_add_listener(w.toplevel, &kToplevel, &w);
    xdg_toplevel_set_title(w.toplevel, title.c_str());
    const auto app = flags.find("app=");
    const std::string appId = app == std::string::npos ? "tamberlyn.test-window" : flags.substr(app + 4, flags.find(',', app) - app - 4);
    xdg_toplevel_set_app_id(w.toplevel, appId.c_str());
    if (parent != nullptr) xdg_toplevel_set_parent(w.toplevel, parent->toplevel);
    wl_surface_commit(w.surface);  // the first configure answers this
}

void command(const std::string& line) {
    std::istringstream in(line);
    std::string verb, label, flags, text, title;
    in >> verb >> label;
    if (verb == "open") in >> flags;
    std::getline(in >> std::ws, text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size();
        title += escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
        if (escape) i += 3;
    }
    if (verb == "open") open(label, flags, title, nullptr);
    if (verb == "title" && windows.contains(label)) xdg_toplevel_set_title(windows[label].toplevel, title.c_str());
    if (verb == "dismiss") destroy(label + ".question");
}

void onGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    const std::string_view i = interface;
    if (i == "wl_compositor") compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    if (i == "wl_shm") shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    if (i == "xdg_wm_base") shell = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return std::fprintf(stderr, "wayland_test_window: no compositor\n"), 1;
    const wl_registry_listener registry = {onGlobal, [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registry, nullptr);
    wl_display_roundtrip(display);
    const int fd = memfd_create("pixels", MFD_CLOEXEC);
    if (shell == nullptr || shm == nullptr || compositor == nullptr || ftruncate(fd, kSide * kSide * 4) != 0) return 1;
    static const xdg_wm_base_listener pong = {[](void*, xdg_wm_base* s, std::uint32_t serial) { xdg_wm_base_pong(s, serial); }};
    xdg_wm_base_add_listener(shell, &pong, nullptr);
    pool = wl_shm_create_pool(shm, fd, kSide * kSide * 4);  // zeros: black

    for (std::string pending;;) {
        while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
        wl_display_flush(display);
        pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
        poll(fds, 2, -1);
        if (fds[1].revents == 0) wl_display_cancel_read(display);
        if ((fds[1].revents != 0 && wl_display_read_events(display) < 0) || wl_display_dispatch_pending(display) < 0) return 0;
        if (fds[0].revents == 0) continue;
        char buffer[65536];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) return 0;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            command(pending.substr(0, end));
        }
    }
}

// A separate X client for the tests: opens windows on command and reports what reaches them.
//
// Commands on stdin, one a line:
//   open <label> <flags> <title>   flags: '-' or a comma list of
//       net        the title in _NET_WM_NAME (UTF8_STRING)
//       name       the title's bytes in WM_NAME (STRING, so Latin-1)
//       unmapped   never mapped;  withdrawn  mapped, then withdrawn once the server mapped it
//       delete     takes part in WM_DELETE_WINDOW and only reports it; on that message
//       closes     destroys itself,  exits  destroys itself and exits,
//       asks       opens a transient question "Save changes to <title>?" (label <label>.question)
//       desktop, dock   _NET_WM_WINDOW_TYPE
//       framed     moved, as a reparenting window manager does, into an unmapped
//                  override-redirect "frame" two levels deep, and given WM_STATE
//   protocols <label>   says, after the fact, that the window takes part in WM_DELETE_WINDOW
//   destroy <label>
//   quit
//   In a title, \xHH stands for one byte.
// Reports on stdout: "window <label> <id>", "withdrawn <label>", "delete <label> <id>",
// "protocols <label>", "destroyed <label>". Exits at the end of stdin or when the server goes away.

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

xcb_connection_t* connection;
xcb_screen_t* screen;

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

struct Window {
    std::string label, title;
    std::set<std::string> flags;
    xcb_window_t id = 0, frame = 0;
    bool has(const char* flag) const { return flags.count(flag) != 0; }
};
std::map<std::string, Window> windows;

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The server has handled every request so far once this returns.
void sync() { std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

void setProperty(xcb_window_t w, const char* name, xcb_atom_t type, uint8_t format, const void* data, std::size_t count) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, w, atom(name), type, format, static_cast<uint32_t>(count), data);
}

xcb_window_t createWindow(xcb_window_t parent, bool overrideRedirect, uint32_t eventMask) {
    const xcb_window_t w = xcb_generate_id(connection);
    // A background: Xwayland shows a window to its compositor only once it has content.
    const uint32_t values[] = {screen->white_pixel, overrideRedirect ? 1u : 0u, eventMask};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, w, parent, 10, 10, 200, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    return w;
}

void takeDeleteWindow(xcb_window_t window) {
    const xcb_atom_t protocols[] = {atom("WM_DELETE_WINDOW")};
    setProperty(window, "WM_PROTOCOLS", XCB_ATOM_ATOM, 32, protocols, 1);
}

void open(Window window, xcb_window_t transientFor = XCB_NONE) {
    const bool framed = window.has("framed");
    window.id = createWindow(screen->root, false, window.has("withdrawn") ? XCB_EVENT_MASK_STRUCTURE_NOTIFY : 0);
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    const std::string& t = window.title;
    if (window.has("net")) setProperty(window.id, "_NET_WM_NAME", utf8, 8, t.data(), t.size());
    if (window.has("name")) setProperty(window.id, "WM_NAME", XCB_ATOM_STRING, 8, t.data(), t.size());
    if (window.has("delete") || window.has("closes") || window.has("exits") || window.has("asks")) {
        takeDeleteWindow(window.id);
    }
    for (const char* type : {"desktop", "dock"}) {
        if (!window.has(type)) continue;
        const xcb_atom_t value[] = {atom(type == std::string("desktop") ? "_NET_WM_WINDOW_TYPE_DESKTOP" : "_NET_WM_WINDOW_TYPE_DOCK")};
        setProperty(window.id, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, 32, value, 1);
    }
    if (transientFor != XCB_NONE) setProperty(window.id, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, 32, &transientFor, 1);
    if (framed) {
        window.frame = createWindow(screen->root, true, 0);
        const xcb_window_t inner = createWindow(window.frame, false, 0);
        xcb_map_window(connection, inner);
        xcb_reparent_window(connection, window.id, inner, 0, 0);
        const uint32_t normalState[] = {1, XCB_NONE};
        setProperty(window.id, "WM_STATE", atom("WM_STATE"), 32, normalState, 2);
    }
    if (!window.has("unmapped")) xcb_map_window(connection, window.id);
    sync();
    report("window " + window.label + " " + std::to_string(window.id));
    windows[window.label] = window;
}

void destroy(const std::string& label) {
    const auto it = windows.find(label);
    if (it == windows.end()) return;
    xcb_destroy_window(connection, it->second.frame != 0 ? it->second.frame : it->second.id);
    windows.erase(it);
    sync();
    report("destroyed " + label);
}

Window* byId(xcb_window_t id) {
    for (auto& [label, w] : windows) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

// ICCCM withdrawal: unmap, and tell the window manager with a synthetic UnmapNotify.
void withdraw(Window& w) {
    xcb_unmap_window(connection, w.id);
    xcb_unmap_notify_event_t notify{};
    notify.response_type = XCB_UNMAP_NOTIFY;
    notify.event = screen->root;
    notify.window = w.id;
    xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&notify));
    w.flags.erase("withdrawn");
    sync();
    report("withdrawn " + w.label);
}

void handle(xcb_generic_event_t* event, xcb_atom_t wmProtocols, xcb_atom_t wmDeleteWindow) {
    const uint8_t type = event->response_type & 0x7F;
    if (type == XCB_MAP_NOTIFY) {
        Window* w = byId(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
        if (w != nullptr && w->has("withdrawn")) withdraw(*w);
        return;
    }
    if (type != XCB_CLIENT_MESSAGE) return;
    const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
    Window* w = byId(message->window);
    if (w == nullptr || message->type != wmProtocols || message->data.data32[0] != wmDeleteWindow) return;
    const Window window = *w;
    report("delete " + window.label + " " + std::to_string(window.id));
    if (window.has("closes") || window.has("exits")) destroy(window.label);
    if (window.has("exits")) std::exit(0);
    if (window.has("asks")) {
        open({window.label + ".question", "Save changes to " + window.title + "?", {"net", "closes"}}, window.id);
    }
}

void command(const std::string& line) {
    std::istringstream in(line);
    std::string verb, label, flags;
    in >> verb >> label >> flags;
    if (verb == "quit") std::exit(0);
    if (verb == "destroy") destroy(label);
    if (const auto it = windows.find(label); verb == "protocols" && it != windows.end()) {
        takeDeleteWindow(it->second.id);
        it->second.flags.insert("delete");
        sync();
        report("protocols " + label);
    }
    if (verb != "open") return;
    Window w{label, "", {}};
    std::istringstream list(flags);
    for (std::string flag; std::getline(list, flag, ',');) w.flags.insert(flag);
    std::string title;
    std::getline(in >> std::ws, title);
    w.title = unescape(title);
    open(w);
}

}  // namespace

int main() {
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) return 1;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screenNumber > 0; --screenNumber) xcb_screen_next(&screens);
    screen = screens.data;
    const xcb_atom_t wmProtocols = atom("WM_PROTOCOLS");
    const xcb_atom_t wmDeleteWindow = atom("WM_DELETE_WINDOW");

    std::string pending;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            handle(event, wmProtocols, wmDeleteWindow);
            std::free(event);
        }
        if (xcb_connection_has_error(connection)) return 0;  // the server, or a window manager, ended us
        pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(connection), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[0].revents != 0) {
            char buffer[4096];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) return 0;
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                command(line);
            }
        }
    }
}

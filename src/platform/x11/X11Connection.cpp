#include "platform/x11/X11Connection.h"

#include <array>
#include <string_view>

#include "platform/PlatformError.h"

namespace tamberlyn {
namespace {

const char* describeConnectionError(int code) {
    switch (code) {
        case XCB_CONN_ERROR: return "the socket to the X server failed";
        case XCB_CONN_CLOSED_EXT_NOTSUPPORTED: return "an extension the program needs is not supported";
        case XCB_CONN_CLOSED_MEM_INSUFFICIENT: return "not enough memory";
        case XCB_CONN_CLOSED_REQ_LEN_EXCEED: return "a request was longer than the server accepts";
        case XCB_CONN_CLOSED_PARSE_ERR: return "the display name could not be parsed";
        case XCB_CONN_CLOSED_INVALID_SCREEN: return "the display has no such screen";
        case XCB_CONN_CLOSED_FDPASSING_FAILED: return "passing a file descriptor failed";
        default: return "unknown connection error";
    }
}

std::string describeConnection(int code) {
    return std::string(describeConnectionError(code)) + " (xcb error " + std::to_string(code) + ")";
}

}  // namespace

X11Connection::Connector X11Connection::to(const std::string& displayName) {
    return [displayName]() -> std::pair<xcb_connection_t*, int> {
        int screen = 0;
        xcb_connection_t* connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), &screen);
        return {connection, screen};
    };
}

X11Connection::X11Connection(Connector connect) : connect_(std::move(connect)) { reconnect(); }

X11Connection::~X11Connection() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

int X11Connection::fileDescriptor() const {
    return connection_ != nullptr ? xcb_get_file_descriptor(connection_) : -1;
}

void X11Connection::reconnect() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
    const auto [connection, screen] = connect_();
    connection_ = connection;
    if (const int code = connection_ != nullptr ? xcb_connection_has_error(connection_) : XCB_CONN_ERROR; code != 0) {
        if (connection_ != nullptr) xcb_disconnect(connection_);
        connection_ = nullptr;
        throw PlatformError("Cannot connect to the X server: " + describeConnection(code) + ".");
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen && roots.rem > 1; ++i) xcb_screen_next(&roots);
    root_ = roots.data->root;
    atoms_ = internAtoms();
    clientBits_ = ~xcb_get_setup(connection_)->resource_id_mask;
    // Only this screen's notification area: the windows of other screens are not scanned.
    const std::string tray = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const auto trayAtom = x11::take(connection_, xcb_intern_atom_reply,
                                    xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(tray.size()), tray.data()));
    traySelection_ = trayAtom ? trayAtom->atom : XCB_NONE;
}

bool X11Connection::broken() const {
    return connection_ == nullptr || xcb_connection_has_error(connection_) != 0;
}

void X11Connection::throwIfBroken() const {
    if (connection_ == nullptr) throw PlatformError("There is no connection to the X server.");
    if (const int code = xcb_connection_has_error(connection_); code != 0) {
        throw PlatformError("The connection to the X server is broken: " + describeConnection(code) + ".");
    }
}

X11Connection::Atoms X11Connection::internAtoms() {
    static constexpr std::array<std::string_view, 12> kNames = {
        "WM_STATE",   "WM_PROTOCOLS",        "WM_DELETE_WINDOW",
        "_NET_CLIENT_LIST", "_NET_WM_NAME", "UTF8_STRING",
        "COMPOUND_TEXT", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DESKTOP",
        "_NET_WM_WINDOW_TYPE_DOCK", "_NET_CLOSE_WINDOW", "MANAGER"};
    std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(kNames[i].size()), kNames[i].data());
    }
    std::array<xcb_atom_t, kNames.size()> atoms{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const auto reply = x11::take(connection_, xcb_intern_atom_reply, cookies[i]);
        if (!reply) {
            throwIfBroken();
            throw PlatformError("The X server did not name the atom " + std::string(kNames[i]) + ".");
        }
        atoms[i] = reply->atom;
    }
    return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4],  atoms[5],
            atoms[6], atoms[7], atoms[8], atoms[9], atoms[10], atoms[11]};
}

}  // namespace tamberlyn

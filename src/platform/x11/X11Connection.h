#pragma once
// The window services' own connection to the X server: connecting, the atoms they use, and
// telling a broken connection, which reconnect() replaces. Kept apart from the copy of the
// windows so that a lost server is one thing to replace, not state scattered through it.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace tamberlyn {
namespace x11 {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// Collects the reply to a request. An error (typically BadWindow for a window destroyed
// meanwhile) is consumed here and only says whether the window is gone.
template <class T, class Cookie>
Owned<T> take(xcb_connection_t* connection, T* (*replyOf)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
              Cookie cookie, bool* windowGone = nullptr) {
    xcb_generic_error_t* error = nullptr;
    Owned<T> reply{replyOf(connection, cookie, &error)};
    if (error != nullptr) {
        if (windowGone != nullptr && error->error_code == XCB_WINDOW) *windowGone = true;
        std::free(error);
    }
    return reply;
}

}  // namespace x11

class X11Connection {
public:
    // Opens a connection and names the screen to use on it; called again after a lost one.
    using Connector = std::function<std::pair<xcb_connection_t*, int>()>;

    struct Atoms {
        xcb_atom_t wmState, wmProtocols, wmDeleteWindow, netClientList, netWmName, utf8String, compoundText,
            netWmWindowType, netWmWindowTypeDesktop, netWmWindowTypeDock, netCloseWindow, manager;
    };

    // The display named (empty: $DISPLAY).
    static Connector to(const std::string& displayName);

    // Connects at once; throws PlatformError, saying why, when that fails.
    explicit X11Connection(Connector connect);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // Drops the connection there is and opens another; throws as the constructor.
    void reconnect();
    bool broken() const;
    void throwIfBroken() const;
    int fileDescriptor() const;  // -1 while there is none

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return root_; }
    const Atoms& atoms() const { return atoms_; }
    // The screen's notification area, _NET_SYSTEM_TRAY_S<screen>; none if not named.
    xcb_atom_t traySelection() const { return traySelection_; }
    // The part of a window id that names its client.
    std::uint32_t clientBits() const { return clientBits_; }

private:
    Atoms internAtoms();

    Connector connect_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    Atoms atoms_{};
    xcb_atom_t traySelection_ = XCB_NONE;
    std::uint32_t clientBits_ = 0;
};

}  // namespace tamberlyn

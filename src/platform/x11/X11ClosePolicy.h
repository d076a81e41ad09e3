#pragma once
// How a window is asked to close under X11, and whether that request is still pending. A
// window that takes WM_DELETE_WINDOW gets that client message; any other is handed to the
// window manager with _NET_CLOSE_WINDOW, which may end its client, so only after a grace.
// Apart from the copy of the windows: it decides from what the copy knows of a window, and
// keeps only what it asked, and when.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "platform/CloseRequests.h"
#include "platform/x11/X11Connection.h"

namespace tamberlyn {

class X11ClosePolicy {
public:
    using TimeSource = CloseRequests::TimeSource;

    // A window manager ends the client of a window that does not take WM_DELETE_WINDOW. A
    // program may say that it does only after showing its window (Xt programs such as xcalc
    // do), so such a window is handed to the manager only once it has been asked for this
    // long and still has not said so.
    static constexpr std::chrono::milliseconds kProtocolsGrace{500};

    X11ClosePolicy(const X11Connection& x11, TimeSource now);

    // managed: a window manager knows the window (WM_STATE, or its client list).
    void request(xcb_window_t window, bool takesDeleteWindow, bool managed);
    // showsQuestion: whether the window has a transient of its own, asked only past the grace.
    bool pending(WindowHandle window, const std::function<bool()>& showsQuestion);
    void forget(xcb_window_t window);
    void clear();

private:
    void sendClientMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                           xcb_atom_t type, std::uint32_t data0, std::uint32_t data1);

    const X11Connection& x11_;
    TimeSource now_;
    CloseRequests requests_;
    // When a close was first wanted for a window only the window manager can close.
    std::unordered_map<xcb_window_t, std::chrono::steady_clock::time_point> firstWantedByManager_;
};

}  // namespace tamberlyn

#pragma once
// The window services over XCB: top-level client windows, their titles, and polite
// close requests (WM_DELETE_WINDOW, else _NET_CLOSE_WINDOW to the window manager).

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/WindowServices.h"

namespace tamberlyn {

class X11WindowServices final : public WindowServices {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

    // X11 never says when a client has dealt with a close request. A request counts as
    // unanswered for this long, and for as long as the window shows a transient (a
    // question such as "Save changes?").
    static constexpr std::chrono::milliseconds kCloseGrace{1000};

    // The connection stays the caller's; it may be shared with a toolkit's event loop,
    // so only replies are ever read from it, never events.
    X11WindowServices(xcb_connection_t* connection, xcb_window_t root,
                      TimeSource now = std::chrono::steady_clock::now);

    void enumerateTopLevelWindows(EnumWindowsProc proc, HandleList& list) override;
    std::string readTitle(WindowHandle window, int maxCharacters) override;
    void requestClose(WindowHandle window) override;
    // Whether the window still exists is what the server said at the first question
    // after the last enumeration.
    bool closePending(WindowHandle window) override;
    WindowHandle ownerOf(WindowHandle window) override;
    bool isDesktopShell(WindowHandle window) override;

private:
    struct Atoms {
        xcb_atom_t wmState, wmProtocols, wmDeleteWindow, netClientList, netWmName, utf8String, compoundText,
            netWmWindowType, netWmWindowTypeDesktop, netWmWindowTypeDock, netCloseWindow;
    };
    struct Properties {
        std::string title;
        xcb_window_t transientFor = XCB_NONE;
        bool desktopShell = false;
        bool takesDeleteWindow = false;
        bool gone = false;  // the server answered BadWindow
    };

    void throwIfBroken() const;
    Atoms internAtoms();
    std::vector<xcb_window_t> topLevelClients();
    std::vector<Properties> readProperties(const std::vector<xcb_window_t>& windows);
    void fetchEnumeratedProperties();
    const Properties& propertiesOf(xcb_window_t window);
    bool exists(xcb_window_t window);
    bool hasTransient(xcb_window_t window) const;
    void sendClientMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                           xcb_atom_t type, std::uint32_t data0, std::uint32_t data1);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    TimeSource now_;
    Atoms atoms_;

    // What the last enumeration found. Their properties are fetched together, at the
    // first question about any of them: a few round trips per scan, whatever the count.
    std::vector<xcb_window_t> enumerated_;
    std::unordered_set<xcb_window_t> enumeratedSet_;
    bool propertiesFetched_ = false;
    std::unordered_map<xcb_window_t, Properties> properties_;

    std::unordered_map<xcb_window_t, std::chrono::steady_clock::time_point> closeRequests_;
};

}  // namespace tamberlyn

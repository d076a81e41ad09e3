#pragma once
// The window services over XCB: top-level client windows, their titles, and polite
// close requests (WM_DELETE_WINDOW, else _NET_CLOSE_WINDOW to the window manager).
//
// The services hold a connection of their own and a copy of what they need to know about
// the windows, which the server's events keep up to date: one full scan builds it, and
// after that a question while nothing changes sends nothing to the server.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/EventDrivenWindowServices.h"

namespace tamberlyn {

class X11WindowServices final : public EventDrivenWindowServices {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;
    // Opens a connection and names the screen to use on it; called again after a lost one.
    using Connector = std::function<std::pair<xcb_connection_t*, int>()>;

    // A window manager ends the client of a window that does not take WM_DELETE_WINDOW. A
    // program may say that it does only after showing its window (Xt programs such as xcalc
    // do), so such a window is handed to the manager only once it has been asked for this
    // long and still has not said so.
    static constexpr std::chrono::milliseconds kProtocolsGrace{500};

    // Connects to the display named (empty: $DISPLAY) and scans it once.
    explicit X11WindowServices(const std::string& displayName = {},
                               TimeSource now = std::chrono::steady_clock::now);
    X11WindowServices(Connector connect, TimeSource now);
    ~X11WindowServices() override;
    X11WindowServices(const X11WindowServices&) = delete;
    X11WindowServices& operator=(const X11WindowServices&) = delete;

    int fileDescriptor() const override;
    bool processEvents() override;

    std::uint64_t changeCount() override;
    HandleList topLevelWindows() override;
    std::string readTitle(WindowHandle window, int maxCharacters) override;
    void requestClose(WindowHandle window) override;
    bool closePending(WindowHandle window) override;
    WindowHandle ownerOf(WindowHandle window) override;
    bool isDesktopShell(WindowHandle window) override;

private:
    struct Atoms {
        xcb_atom_t wmState, wmProtocols, wmDeleteWindow, netClientList, netWmName, utf8String, compoundText,
            netWmWindowType, netWmWindowTypeDesktop, netWmWindowTypeDock, netCloseWindow, manager;
    };
    struct Properties {
        std::string title;
        xcb_window_t transientFor = XCB_NONE;
        bool desktopShell = false;
        bool takesDeleteWindow = false;
        bool operator==(const Properties&) const = default;
    };
    struct Window {
        xcb_window_t topLevel = XCB_NONE;  // the root's child that holds it (itself for one); none while unknown
        std::uint64_t seen = 0;            // windows are listed in the order they were first seen
        bool wmState = false;              // managed: a window manager put WM_STATE on it
        bool watchesStructure = false;     // its own destruction and moves reach us
        Properties properties;
    };
    // What the events asked to read again, gathered so that one round trip serves them all.
    enum Want : std::uint8_t { kTitle = 1, kTransientFor = 2, kType = 4, kProtocols = 8, kWmState = 16, kAll = 31 };
    struct Wanted {
        std::uint8_t properties = 0;
        bool watch = false;   // select our events on it first
        bool parent = false;  // find the root's child that holds it
    };

    void connect();
    void reconnect();
    bool broken() const;
    void throwIfBroken() const;
    void drainEvents();
    Atoms internAtoms();
    void rebuild();
    void findClientsBeneath(const std::vector<xcb_window_t>& topLevels);

    void handle(const xcb_generic_event_t* event);
    Window& track(xcb_window_t window, xcb_window_t topLevel);
    void forget(xcb_window_t window);
    void want(xcb_window_t window, std::uint8_t properties, bool watch = false, bool parent = false);
    void fetchWanted();
    void applyClientList(std::span<const std::uint32_t> windows);
    xcb_window_t topLevelAbove(xcb_window_t parent);
    void changed(bool viewToo);

    const std::vector<xcb_window_t>& view();
    const Window* find(WindowHandle window) const;
    bool hasTransient(xcb_window_t window);
    void sendClientMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                           xcb_atom_t type, std::uint32_t data0, std::uint32_t data1);

    xcb_window_t trayHost();

    Connector connect_;
    TimeSource now_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    Atoms atoms_{};
    // The notification area: whose windows hold it, asked again after any change.
    xcb_atom_t traySelection_ = XCB_NONE;
    std::uint32_t clientBits_ = 0;  // the part of an id that names its client
    xcb_window_t trayOwner_ = XCB_NONE;
    bool trayOwnerKnown_ = false;

    std::unordered_map<xcb_window_t, Window> windows_;
    std::vector<xcb_window_t> clientList_;  // as the window manager publishes it
    std::unordered_set<xcb_window_t> listed_;
    std::uint64_t nextSeen_ = 0;
    std::unordered_map<xcb_window_t, Wanted> wanted_;
    bool clientListWanted_ = false;

    std::uint64_t changes_ = 0;
    bool viewStale_ = true;
    std::vector<xcb_window_t> view_;
    std::uint64_t transientsAt_ = 0;
    bool transientsKnown_ = false;
    std::unordered_set<xcb_window_t> haveTransient_;

    std::unordered_map<xcb_window_t, std::chrono::steady_clock::time_point> closeRequests_;
    // When a close was first wanted for a window only the window manager can close.
    std::unordered_map<xcb_window_t, std::chrono::steady_clock::time_point> firstWantedByManager_;
};

}  // namespace tamberlyn

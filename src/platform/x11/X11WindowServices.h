#pragma once
// The window services over XCB: top-level client windows, their titles, and polite
// close requests.
//
// What lives here is the copy of what the services need to know about the windows, which
// the server's events keep up to date: one full scan builds it, and after that a question
// while nothing changes sends nothing to the server. The connection it is kept over
// (X11Connection) and the way a window is asked to close (X11ClosePolicy) live apart,
// each with its own reasons to change; the services compose the three.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/EventDrivenWindowServices.h"
#include "platform/x11/X11ClosePolicy.h"
#include "platform/x11/X11Connection.h"

namespace tamberlyn {

class X11WindowServices final : public EventDrivenWindowServices {
public:
    using TimeSource = X11ClosePolicy::TimeSource;
    using Connector = X11Connection::Connector;

    // Connects to the display named (empty: $DISPLAY) and scans it once.
    explicit X11WindowServices(const std::string& displayName = {},
                               TimeSource now = std::chrono::steady_clock::now);
    X11WindowServices(Connector connect, TimeSource now);

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

    void reconnect();
    void drainEvents();
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

    xcb_window_t trayHost();

    X11Connection x11_;
    X11ClosePolicy close_;
    // The notification area: whose windows hold it, asked again after any change.
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
};

}  // namespace tamberlyn

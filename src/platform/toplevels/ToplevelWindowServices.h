#pragma once
// Window services over a ToplevelTable: what the Wayland routes and GNOME's share once
// their connection has filled the table. A route keeps its connection, fills the table
// from its events, and says how a close request is sent and which windows are its own.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/EventDrivenWindowServices.h"
#include "platform/toplevels/ToplevelTable.h"

namespace tamberlyn {

class ToplevelWindowServices : public EventDrivenWindowServices {
public:
    using Toplevel = ToplevelTable::Toplevel;

    // After the connection is lost, these throw PlatformError saying why (closePending,
    // ownerOf and readTitle answer from the table).
    std::uint64_t changeCount() override;
    HandleList topLevelWindows() override;
    std::string readTitle(WindowHandle window, int maxCharacters) override;
    void requestClose(WindowHandle window) override;
    bool closePending(WindowHandle window) override;
    // See ToplevelTable::ownerOf.
    WindowHandle ownerOf(WindowHandle window) override;
    // Panels, docks and desktops are never toplevels on these routes (layer-shell surfaces
    // on Wayland, the shell's own actors on GNOME): no listed window is the desktop shell.
    bool isDesktopShell(WindowHandle window) override;

protected:
    explicit ToplevelWindowServices(ToplevelTable::TimeSource now) : table_(std::move(now)) {}

    // Sends the window system's close request for the toplevel of that key; a failure to
    // send is told with lose().
    virtual void sendClose(ToplevelTable::Key key) = 0;
    // Whether the window is the program's own, left out of the list.
    virtual bool isOwn(const Toplevel& toplevel) const = 0;

    // The first reason is kept: every later call throws it.
    void lose(std::string reason);
    void throwIfLost() const;
    bool lost() const { return lost_.has_value(); }

    ToplevelTable table_;

private:
    std::optional<std::string> lost_;
};

}  // namespace tamberlyn

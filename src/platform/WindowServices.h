#pragma once
// The window system as the scan cycle sees it.

#include <cstdint>
#include <string>
#include <vector>

namespace tamberlyn {

// A top-level window as the services name it: a Win32 handle (which keeps its meaning in
// 32 bits, sign-extended), an X11 window id, or a number a backend mints for a window of a
// protocol that has no global ids. Only positive values name a window.
using WindowHandle = std::int64_t;
using HandleList = std::vector<WindowHandle>;

// Called on the GUI thread. Failures of the window system itself (a lost connection, a
// refused enumeration) throw PlatformError, saying why; a single window that vanished
// meanwhile is not a failure. Handles are the window system's: nothing to free.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // Takes in what the window system has reported, and returns a number that stays the
    // same for as long as the windows and their titles do. Services that cannot tell
    // return a new number every time.
    virtual std::uint64_t changeCount() = 0;

    // Every top-level window once, hidden ones included, in the window system's order.
    virtual HandleList topLevelWindows() = 0;

    // The first maxCharacters characters of the title, UTF-8; empty for an untitled
    // window or one that no longer exists.
    virtual std::string readTitle(WindowHandle window, int maxCharacters) = 0;

    // Asks the window politely to close. Returns at once: a slow or hung window never
    // blocks the caller, and the request may go out later (with the next flush of a
    // connection). A window that no longer exists is not an error.
    virtual void requestClose(WindowHandle window) = 0;

    // True while an earlier close request to this window has not been answered yet
    // (the window may be asking the user a question about it).
    virtual bool closePending(WindowHandle window) = 0;

    // The window this one belongs to: its owner, or the window it is transient for; 0 for none.
    virtual WindowHandle ownerOf(WindowHandle window) = 0;

    // The desktop environment's own desktop or panel (task bar, dock) window.
    virtual bool isDesktopShell(WindowHandle window) = 0;
};

}  // namespace tamberlyn

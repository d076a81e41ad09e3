#pragma once
// The window system as the scan cycle sees it.

#include <cstdint>
#include <string>
#include <vector>

namespace tamberlyn {

// A top-level window as a signed 32-bit number: Win32 handles keep their meaning
// in 32 bits on 64-bit Windows, and X11 window ids are below 2^29.
using WindowHandle = std::int32_t;
using HandleList = std::vector<WindowHandle>;

// What an enumeration callback works with: the windows it keeps, and the caller's own main
// window, which a scan leaves out (0: none). The services only pass it through.
struct EnumContext {
    HandleList list;
    WindowHandle MainWindowHandle = 0;
};

// Called once per top-level window; a nonzero result goes on enumerating. What it throws
// ends the enumeration and leaves enumerateTopLevelWindows.
using EnumWindowsProc = int (*)(WindowHandle window, EnumContext& context);

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

    // Visits every top-level window once, hidden ones included, in the window system's order.
    virtual void enumerateTopLevelWindows(EnumWindowsProc proc, EnumContext& context) = 0;

    // The first maxCharacters characters of the title, UTF-8; empty for an untitled
    // window or one that no longer exists.
    virtual std::string readTitle(WindowHandle window, int maxCharacters) = 0;

    // Asks the window politely to close. Returns at once: a slow or hung window never
    // blocks the caller. A window that no longer exists is not an error.
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

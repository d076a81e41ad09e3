#pragma once
// The one place that chooses, at start, whose windows the Linux program sees: X11 windows
// through XCB, or every window of a Wayland session through the compositor's own protocol
// (on GNOME: through Tamberlyn's GNOME Shell extension).

#include <QByteArray>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/EventDrivenWindowServices.h"
#include "platform/Platform.h"
#include "platform/gnome/GnomeExtension.h"

namespace tamberlyn {

// Whose session the program runs in: a Wayland session's own windows may be out of reach.
enum class DesktopKind { X11, Wayland };

enum class WindowRoute {
    X11,      // the X display's windows (on a Wayland session: Xwayland's only)
    Wlroots,  // zwlr_foreign_toplevel_manager_v1: sway, Hyprland, river, labwc, wayfire
    Kde,      // org_kde_plasma_window_management: KWin
    Gnome,    // Tamberlyn's GNOME Shell extension, on the session bus
};

struct WindowSystemChoice {
    WindowRoute route = WindowRoute::X11;
    DesktopKind kind = DesktopKind::X11;
    QByteArray waylandDisplay;  // the compositor's socket, for a native route
    // What the user is told, once, when a Wayland session's own windows are out of reach.
    std::string notice;
};

// Which compositor the globals a Wayland registry offers belong to, and what follows. On
// GNOME (mutter offers gtk_shell1) what its shell says of Tamberlyn's extension decides,
// and runningExecutable is compared with the one program the extension answers.
// Pure, for the tests: the probe below feeds it the real registry and shell.
WindowSystemChoice ChooseWindowSystem(const std::vector<std::string>& waylandGlobals, const QByteArray& waylandDisplay,
                                      const std::optional<GnomeExtension>& gnome = {},
                                      const std::string& runningExecutable = {});

// Reads WAYLAND_DISPLAY's registry once, when it is set and can be reached, and chooses.
// Runs before QApplication: it needs nothing of Qt's.
WindowSystemChoice ChooseWindowSystem();

// The services of the chosen route. Needs a QGuiApplication on the xcb platform: the
// program's own window lives on the X display (Xwayland on a Wayland session). Throws
// std::runtime_error, saying what to do, when Qt runs elsewhere; PlatformError when the
// route cannot connect. A native route that fails later gives way to the X display's
// windows, and onFallback gets what to tell the user.
std::unique_ptr<EventDrivenWindowServices> MakeWindowServices(
    const WindowSystemChoice& choice, std::function<void(const std::string& notice)> onFallback = {});

// The application ids the program's own windows carry on a wlroots compositor: the X11
// class of its Xwayland windows, and its desktop file name.
std::set<std::string> OwnAppIds();

}  // namespace tamberlyn

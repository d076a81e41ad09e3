#include "platform/linux/WindowSystem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "platform/gnome/GnomeWindowServices.h"
#include "platform/linux/FallbackWindowServices.h"
#include "platform/PlatformError.h"
#include "platform/x11/X11WindowServices.h"
#include "platform/wayland/KdeWindowServices.h"
#include "platform/wayland/WlrootsWindowServices.h"

namespace tamberlyn {

namespace {

constexpr char kWlrootsGlobal[] = "zwlr_foreign_toplevel_manager_v1";
constexpr char kKdeGlobal[] = "org_kde_plasma_window_management";

bool Offers(const std::vector<std::string>& globals, std::string_view name) {
    return std::ranges::find(globals, name) != globals.end();
}

bool OffersPrefix(const std::vector<std::string>& globals, std::string_view prefix) {
    return std::ranges::any_of(globals, [&](const std::string& g) { return g.starts_with(prefix); });
}

// Known before QApplication is: the file KWin compares with the desktop entry's Exec.
std::string RunningExecutable() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString(); }

std::string X11Only(const std::string& why) {
    return why + " Until then Tamberlyn closes the windows of X11 programs only.";
}

struct Registry {
    std::vector<std::string> globals;
    bool done = false;
};

void Global(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
    static_cast<Registry*>(data)->globals.emplace_back(interface);
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{Global, GlobalRemove};

void Synced(void* data, wl_callback* callback, std::uint32_t) {
    static_cast<Registry*>(data)->done = true;
    wl_callback_destroy(callback);
}
constexpr wl_callback_listener kSyncListener{Synced};

// The globals the compositor offers this program, or the reason it could not be asked. A
// compositor that does not answer within a few seconds is taken as not there.
std::optional<std::vector<std::string>> ReadGlobals(const QByteArray& socket, std::string& problem) {
    wl_display* display = wl_display_connect(socket.constData());
    if (display == nullptr) {
        problem = "Tamberlyn cannot reach the Wayland compositor at " + socket.toStdString() + ": " +
                  std::strerror(errno) + ".";
        return std::nullopt;
    }
    Registry registry;
    wl_registry* globals = wl_display_get_registry(display);
    wl_registry_add_listener(globals, &kRegistryListener, &registry);
    wl_callback_add_listener(wl_display_sync(display), &kSyncListener, &registry);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    bool failed = false;
    while (!registry.done && !failed) {
        while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            failed = true;
        } else if (wl_display_read_events(display) != 0 || wl_display_dispatch_pending(display) < 0) {
            failed = true;
        }
    }
    wl_registry_destroy(globals);
    wl_display_disconnect(display);
    if (failed) {
        problem = "The Wayland compositor at " + socket.toStdString() + " did not answer Tamberlyn.";
        return std::nullopt;
    }
    return std::move(registry.globals);
}

// The X11 services keep a connection of their own, to the display Qt opened; Qt's only
// proves that the program runs on X11.
bool OnX11() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && x11->connection() != nullptr;
}

// What a GNOME user does to let Tamberlyn reach native windows; empty when it can.
std::string GnomeNotice(const std::optional<GnomeExtension>& gnome, const std::string& running) {
    const std::string enable = " enable it with the command \"gnome-extensions enable " +
                               (gnome ? gnome->uuid : std::string(TAMBERLYN_GNOME_UUID)) +
                               "\" or in the Extensions app.";
    const std::string start = "On GNOME, Tamberlyn reaches the windows of native Wayland programs through its GNOME Shell extension";
    if (!gnome) return X11Only(start + ", but GNOME Shell did not answer on the session bus.");
    switch (gnome->state) {
        case GnomeExtension::State::NotInstalled:
            return X11Only(start + ", which is not installed. Install Tamberlyn's package, log out and in, then" + enable);
        case GnomeExtension::State::NotLoaded:
            return X11Only(start + ". GNOME Shell loads a newly installed extension at the next log-in: log out and "
                                   "in, then" + enable);
        case GnomeExtension::State::Disabled: return X11Only(start + ", which is not enabled:" + enable);
        case GnomeExtension::State::Failed:
            return X11Only(start + ", which GNOME Shell could not start: " + gnome->error + ".");
        case GnomeExtension::State::Running:
            if (gnome->program == running) return {};
            return X11Only(start + ", which answers only the installed Tamberlyn (" + gnome->program +
                           "), not this one (" + running + "). Start the installed Tamberlyn.");
    }
    return {};
}

}  // namespace

WindowSystemChoice ChooseWindowSystem(const std::vector<std::string>& globals, const QByteArray& waylandDisplay,
                                      const std::optional<GnomeExtension>& gnome, const std::string& runningExecutable) {
    WindowSystemChoice choice;
    if (waylandDisplay.isEmpty()) return choice;
    choice.kind = DesktopKind::Wayland;
    choice.waylandDisplay = waylandDisplay;
    if (Offers(globals, kWlrootsGlobal)) {
        choice.route = WindowRoute::Wlroots;
    } else if (Offers(globals, kKdeGlobal)) {
        choice.route = WindowRoute::Kde;
    } else if (OffersPrefix(globals, "org_kde_kwin_")) {
        // KWin offers its window list only to a program its desktop entry vouches for.
        choice.notice = X11Only(
            "KDE Plasma shows Tamberlyn the windows of native Wayland programs only when Tamberlyn runs as "
            "installed: its menu entry must name the program file that runs (" +
            RunningExecutable() + "). Start the installed Tamberlyn.");
    } else if (Offers(globals, "gtk_shell1")) {
        choice.notice = GnomeNotice(gnome, runningExecutable);
        if (choice.notice.empty()) choice.route = WindowRoute::Gnome;
    } else {
        choice.notice =
            X11Only("This Wayland desktop shows no program the windows of other native Wayland programs.");
    }
    return choice;
}

WindowSystemChoice ChooseWindowSystem() {
    QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (wayland.isEmpty()) return {};
    // By path: the runtime folder that names it may be replaced for the rest of the run.
    if (!wayland.startsWith('/') && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        wayland = qgetenv("XDG_RUNTIME_DIR") + '/' + wayland;
    }
    std::string problem;
    const auto globals = ReadGlobals(wayland, problem);
    if (!globals) {
        return {.kind = DesktopKind::Wayland, .waylandDisplay = wayland, .notice = X11Only(problem)};
    }
    std::optional<GnomeExtension> gnome;
    if (Offers(*globals, "gtk_shell1")) gnome = ProbeGnomeExtension();
    return ChooseWindowSystem(*globals, wayland, gnome, RunningExecutable());
}

std::set<std::string> OwnAppIds() {
    return {QCoreApplication::applicationName().toStdString(), QGuiApplication::desktopFileName().toStdString()};
}

std::unique_ptr<EventDrivenWindowServices> MakeWindowServices(const WindowSystemChoice& choice,
                                                              std::function<void(const std::string&)> onFallback) {
    if (!OnX11()) throw std::runtime_error("Tamberlyn needs an X11 display: run it with QT_QPA_PLATFORM=xcb.");
    std::unique_ptr<EventDrivenWindowServices> native;
    const std::string socket = choice.waylandDisplay.toStdString();
    try {
        switch (choice.route) {
            case WindowRoute::Wlroots: native = std::make_unique<WlrootsWindowServices>(OwnAppIds(), socket); break;
            case WindowRoute::Kde: native = std::make_unique<KdeWindowServices>(socket); break;
            case WindowRoute::Gnome:
                native = std::make_unique<GnomeWindowServices>(QCoreApplication::applicationPid());
                break;
            case WindowRoute::X11: break;
        }
    } catch (const PlatformError& e) {
        // The compositor or its extension said yes to the probe and no now.
        if (onFallback) onFallback(X11Only(e.what()));
    }
    if (native == nullptr) return std::make_unique<X11WindowServices>();
    auto services = std::make_unique<FallbackWindowServices>(std::move(native),
                                                             [] { return std::make_unique<X11WindowServices>(); });
    services->onFallback = [onFallback = std::move(onFallback)](const std::string& why) {
        if (onFallback) onFallback(X11Only(why + " Start Tamberlyn again to reach them."));
    };
    return services;
}

}  // namespace tamberlyn

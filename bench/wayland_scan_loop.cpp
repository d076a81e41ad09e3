// Monitoring through the wlroots window services (or, with --gnome, GNOME's through the
// extension), as the Linux program does it but
// without its window: the connection's events are taken in as they come and a change
// scans at once, and a 100 ms tick scans as the safety net. For bench/wayland-idle-cost
// and bench/wayland-close-latency, under a compositor named by $WAYLAND_DISPLAY.
//
//   wayland_scan_loop [--gnome] <seconds> <fragment>...

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "monitor/ScanCycle.h"
#include "platform/qt/QtTextCase.h"
#include "platform/gnome/GnomeWindowServices.h"
#include "platform/wayland/WlrootsWindowServices.h"

using namespace tamberlyn;

int main(int argc, char** argv) {
    const bool gnome = argc > 1 && std::string_view(argv[1]) == "--gnome";
    argc -= gnome ? 1 : 0;
    argv += gnome ? 1 : 0;
    if (argc < 3) return std::fprintf(stderr, "usage: wayland_scan_loop <seconds> <fragment>...\n"), 2;
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(std::atoi(argv[1]));
    WatchList list;
    for (int i = 2; i < argc; ++i) list.add(argv[i]);
    try {
        const std::unique_ptr<EventDrivenWindowServices> route =
            gnome ? std::unique_ptr<EventDrivenWindowServices>(std::make_unique<GnomeWindowServices>(getpid()))
                  : std::make_unique<WlrootsWindowServices>(std::set<std::string>{"Tamberlyn"});
        EventDrivenWindowServices& services = *route;
        QtTextCase textCase;
        fakes::FakeEventLoop events;
        fakes::FakeMessageBoxes boxes;
        ErrorReports reports{boxes};
        ScanMemory memory;
        const auto cycle = [&] {
            RunScanCycle(list, {services, textCase, events, reports, memory, "Form1", "Timer1_Timer"});
        };
        auto tick = Clock::now();
        while (Clock::now() < end) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(tick - Clock::now()).count();
            pollfd fd{services.fileDescriptor(), POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(std::max<long long>(wait, 0))) > 0) {
                if (services.processEvents()) cycle();
                continue;
            }
            cycle();
            tick += std::chrono::milliseconds(100);
        }
        if (boxes.count() > 0) return std::fprintf(stderr, "wayland_scan_loop: the scan reported errors\n"), 1;
    } catch (const std::exception& e) {
        return std::fprintf(stderr, "wayland_scan_loop: %s\n", e.what()), 1;
    }
    return 0;
}

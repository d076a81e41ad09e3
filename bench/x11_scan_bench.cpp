// What the X11 window services cost for 10, 200 and 1,000 windows of another client: the
// full scan that builds their copy of the windows (at start, or after a lost connection),
// a tick when nothing changed, and, as a baseline, one round trip per window.
//
//   tests/linux/with-display -- build/linux/bench/x11_scan_bench

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/x11/X11WindowServices.h"

namespace {

using tamberlyn::WindowHandle;

// Windows of a separate connection, half of them unmapped, each with a title.
class OtherClient {
public:
    explicit OtherClient(int count) : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_)) return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        for (int i = 0; i < count; ++i) {
            const xcb_window_t w = xcb_generate_id(connection_);
            xcb_create_window(connection_, XCB_COPY_FROM_PARENT, w, root, 0, 0, 50, 50, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
            const std::string title = "Benchmark window " + std::to_string(i) + " — école";
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                                static_cast<std::uint32_t>(title.size()), title.data());
            if (i % 2 == 0) xcb_map_window(connection_, w);
        }
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~OtherClient() { xcb_disconnect(connection_); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;
    bool ok() const { return xcb_connection_has_error(connection_) == 0; }

private:
    xcb_connection_t* connection_;
};

// This benchmark's own connection, or null (and the run marked) without a display.
xcb_connection_t* connectFor(const OtherClient& windows, benchmark::State& state) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (windows.ok() && !xcb_connection_has_error(connection)) return connection;
    state.SkipWithError("no X display: run this under tests/linux/with-display");
    xcb_disconnect(connection);
    return nullptr;
}

// Connecting and the full scan: a few round trips, whatever the count.
void FullScan(benchmark::State& state) {
    const OtherClient windows(static_cast<int>(state.range(0)));
    xcb_connection_t* connection = connectFor(windows, state);
    if (!connection) return;
    xcb_disconnect(connection);
    for (auto _ : state) {
        tamberlyn::X11WindowServices services;
        benchmark::DoNotOptimize(services.topLevelWindows());
    }
    state.counters["windows"] = static_cast<double>(state.range(0));
}

// A scan when nothing changed: what every tick costs on an idle desktop.
void UnchangedTick(benchmark::State& state) {
    const OtherClient windows(static_cast<int>(state.range(0)));
    xcb_connection_t* connection = connectFor(windows, state);
    if (!connection) return;
    xcb_disconnect(connection);
    tamberlyn::X11WindowServices services;
    for (auto _ : state) {
        benchmark::DoNotOptimize(services.changeCount());
        for (const WindowHandle w : services.topLevelWindows()) {
            benchmark::DoNotOptimize(services.readTitle(w, 50));
            benchmark::DoNotOptimize(services.isDesktopShell(w));
        }
    }
    state.counters["windows"] = static_cast<double>(state.range(0));
}

// The baseline: the same titles, one blocking round trip per window.
void RoundTripPerWindow(benchmark::State& state) {
    const OtherClient windows(static_cast<int>(state.range(0)));
    xcb_connection_t* connection = connectFor(windows, state);
    if (!connection) return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (auto _ : state) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_property_reply_t* title = xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, children[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 2048),
                nullptr);
            benchmark::DoNotOptimize(title);
            std::free(title);
        }
        std::free(tree);
    }
    state.counters["windows"] = static_cast<double>(state.range(0));
    xcb_disconnect(connection);
}

BENCHMARK(FullScan)->Arg(10)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnchangedTick)->Arg(10)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RoundTripPerWindow)->Arg(10)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

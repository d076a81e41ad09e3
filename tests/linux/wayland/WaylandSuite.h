#pragma once
// What the suites under each compositor share: a watch list with one fragment, the core's
// scan over the services on a clock of the test's own, and waits for the compositor's news.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "TestWindowClient.h"
#include "monitor/ScanCycle.h"
#include "platform/qt/QtTextCase.h"

namespace tamberlyn::testing {

template <typename Services>
class WaylandSuite : public ::testing::Test {
protected:
    explicit WaylandSuite(std::unique_ptr<Services> made) : services(std::move(made)) { list.add("special offer"); }

    // The one listed window with this title; 0 for none or several.
    WindowHandle find(const std::string& title) {
        WindowHandle found = 0;
        for (const WindowHandle w : services->topLevelWindows()) {
            if (services->readTitle(w, 1 << 16) == title) found = found == 0 ? w : -1;
        }
        return std::max<WindowHandle>(found, 0);
    }
    // The same, once the compositor has told of it.
    WindowHandle listed(const std::string& title) {
        WindowHandle found = 0;
        eventually([&] { return (found = find(title)) != 0; });
        return found;
    }
    bool gone(WindowHandle window) {
        return eventually([&] { return std::ranges::count(services->topLevelWindows(), window) == 0; });
    }
    void cycle() { RunScanCycle(list, {*services, textCase, events, reports, memory, "Form1", "Timer1_Timer"}); }

    std::chrono::steady_clock::time_point now{};
    std::unique_ptr<Services> services;
    TestWindowClient client{{TAMBERLYN_WAYLAND_TEST_WINDOW}};
    WatchList list;
    QtTextCase textCase;
    fakes::FakeEventLoop events;
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    ScanMemory memory;
};

}  // namespace tamberlyn::testing

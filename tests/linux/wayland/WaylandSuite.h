#pragma once
// What the suites under each compositor share: a watch list with one fragment, the core's
// scan over the services on a clock of the test's own, and waits for the compositor's news.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // Cases every route must pass the same way.
    // A matching window is asked and closes, another stays, and a retitling is seen at once.
    void scansAskAMatchingWindowLeaveTheOthersAndSeeARetitlingAtOnce() {
        using namespace std::chrono_literals;
        client.open("offer", "closes", "Special Offer - Shop");
        client.open("editor", "closes", "Editor");
        const WindowHandle offer = listed("Special Offer - Shop");
        const WindowHandle editor = listed("Editor");
        ASSERT_NE(offer, 0);
        ASSERT_NE(editor, 0);
        cycle();
        client.waitFor("destroyed offer");
        EXPECT_TRUE(gone(offer));
        for (int i = 0; i < 20; ++i, now += 100ms) cycle();
        EXPECT_EQ(client.count("close editor"), 0);

        client.send("title editor Special offer after all");
        EXPECT_TRUE(eventually([&] { return services->processEvents(); })) << "told at once, not polled";
        EXPECT_EQ(services->readTitle(editor, 50), "Special offer after all");
        cycle();
        EXPECT_NO_THROW(client.waitFor("destroyed editor"));
    }
    // doc, asked once, shows its question: neither is asked while it is open, and doc is
    // asked again once the user cancels it.
    void questionStaysUntilTheUserAnswers() {
        using namespace std::chrono_literals;
        for (int i = 0; i < 30; ++i, now += 100ms) cycle();
        EXPECT_EQ(client.count("close doc "), 1) << "its question is open";
        EXPECT_EQ(client.count("close doc.question"), 0) << "the question is never asked to close";
        client.send("dismiss doc");
        client.waitFor("destroyed doc.question");
        EXPECT_TRUE(eventually([&] {
            cycle();
            return client.count("destroyed doc") == 1;
        })) << "asked again once the question is gone";
    }

    // A real toolkit's window: listed with its title, and it ends when asked.
    void westonTerminalIsListedAndClosesOnRequest() {
        const pid_t terminal = fork();
        if (terminal == 0) {
            execlp("weston-terminal", "weston-terminal", "--shell=/bin/sh", static_cast<char*>(nullptr));
            _exit(127);
        }
        const WindowHandle window = listed("Wayland Terminal");
        EXPECT_NE(window, 0);
        if (window != 0) services->requestClose(window);
        EXPECT_TRUE(eventually([&] { return waitpid(terminal, nullptr, WNOHANG) == terminal; }));
        if (kill(terminal, SIGKILL) == 0) waitpid(terminal, nullptr, 0);
        EXPECT_TRUE(gone(window));
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

// The KDE window services under a headless KWin (with-kwin): native windows of
// wayland_test_window, X11 windows on KWin's Xwayland, weston-terminal, and KWin's rule
// for who may see the windows: with-kwin shows KWin a desktop entry that names this
// executable, made from the package's own. The shared base's own rules (the grace) are
// tested once, under sway.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "WaylandSuite.h"
#include "platform/wayland/KdeWindowServices.h"

namespace tamberlyn {
namespace {

using testing::TestWindowClient;
using testing::eventually;
namespace fs = std::filesystem;

class KdeWindowServicesTest : public testing::WaylandSuite<KdeWindowServices> {
protected:
    KdeWindowServicesTest() : WaylandSuite(std::make_unique<KdeWindowServices>(std::string(), [this] { return now; })) {}
};

TEST_F(KdeWindowServicesTest, ScansAskAMatchingWindowWhichClosesLeaveTheOthersAndSeeARetitlingAtOnce) {
    scansAskAMatchingWindowLeaveTheOthersAndSeeARetitlingAtOnce();
}

TEST_F(KdeWindowServicesTest, AnAskingWindowKeepsItsQuestionUntilTheUserAnswers) {
    client.open("doc", "asks", "Special offer notes");
    const WindowHandle doc = listed("Special offer notes");
    ASSERT_NE(doc, 0);
    cycle();
    client.waitFor("window doc.question");
    // Past the grace before the question is seen: only KWin's parent_window ties it to doc.
    now += WaylandWindowServices::kCloseGrace;
    const WindowHandle question = listed("Save changes to Special offer notes?");
    ASSERT_NE(question, 0);
    EXPECT_EQ(services->ownerOf(question), doc);
    EXPECT_EQ(listed("Special offer notes - Save changes?"), doc);
    questionStaysUntilTheUserAnswers();
}

// The program's own window is an X11 one here, as the Qt program's is on Xwayland, and
// says its pid as Qt does (_NET_WM_PID): KWin tells X11 windows' pids from there only.
TEST_F(KdeWindowServicesTest, TheProgramsOwnWindowsAreNotListedAndXwaylandWindowsAreListedOnceAndClose) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(x), 0) << "no DISPLAY: run this under with-kwin";
    const std::string title = "Special offer - Tamberlyn";
    const xcb_window_t own = xcb_generate_id(x);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    xcb_create_window(x, XCB_COPY_FROM_PARENT, own, screen->root, 0, 0, 64, 64, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, own, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const std::string pidName = "_NET_WM_PID";
    auto* pidAtom = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(pidName.size()),
                                                             pidName.data()), nullptr);
    ASSERT_NE(pidAtom, nullptr);
    const auto pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, own, pidAtom->atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
    std::free(pidAtom);
    xcb_map_window(x, own);
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));  // mapped before the next

    TestWindowClient other({TAMBERLYN_X11_TEST_WINDOW});
    other.open("x", "net,closes", title + " (other)");
    const WindowHandle window = listed(title + " (other)");
    ASSERT_NE(window, 0) << "listed once";
    EXPECT_EQ(find(title), 0) << "the own window, shown before the other, is not listed";
    cycle();
    other.waitFor("destroyed x");
    EXPECT_TRUE(gone(window));
    EXPECT_EQ(xcb_connection_has_error(x), 0) << "KWin did not end the own window's client";
    xcb_disconnect(x);
}

TEST_F(KdeWindowServicesTest, WestonTerminalIsListedAndClosesOnRequest) { westonTerminalIsListedAndClosesOnRequest(); }

TEST(KdeWindowServicesPermission, TheEntryNamingThisProgramLetsItSeeTheWindowsAndACopyNoEntryNamesIsToldWhy) {
    EXPECT_NO_THROW(KdeWindowServices{});
    const fs::path folder = fs::temp_directory_path() / ("kde-permission-" + std::to_string(getpid()));
    const fs::path copy = folder / "unnamed-copy";
    fs::create_directories(folder);
    fs::copy_file(fs::read_symlink("/proc/self/exe"), copy);
    // The copy runs one test, whose fixture cannot make its services there.
    FILE* pipe = popen((copy.string() + " --gtest_filter=KdeWindowServicesTest.Scans* 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    pclose(pipe);
    fs::remove_all(folder);
    const auto at = output.find("does not offer org_kde_plasma_window_management to " + copy.string() + ": ");
    ASSERT_NE(at, std::string::npos) << output;
    EXPECT_NE(output.substr(at, output.find('\n', at) - at).find("X-KDE-Wayland-Interfaces.\" thrown"),
              std::string::npos) << "one line: " << output;
}

}  // namespace
}  // namespace tamberlyn

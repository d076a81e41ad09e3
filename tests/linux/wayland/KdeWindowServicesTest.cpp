// The KDE window services under a headless KWin (with-kwin): native windows of
// wayland_test_window, X11 windows on KWin's Xwayland, weston-terminal, and KWin's rule
// for who may see the windows. main() installs a desktop entry naming this executable,
// made from the one the package installs.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "TestWindowClient.h"
#include "monitor/ScanCycle.h"
#include "platform/PlatformError.h"
#include "platform/qt/QtTextCase.h"
#include "platform/wayland/KdeWindowServices.h"

namespace tamberlyn {
namespace {

using namespace std::chrono_literals;
using testing::TestWindowClient;
using testing::eventually;
namespace fs = std::filesystem;

// Only connects, and says what came of it: what a copy of this program is run for.
constexpr const char* kConnectOnly = "--connect-only";

class KdeWindowServicesTest : public ::testing::Test {
protected:
    KdeWindowServicesTest() { list.add("special offer"); }

    // The one listed window with this title; 0 for none or several.
    WindowHandle find(const std::string& title) {
        WindowHandle found = 0;
        for (const WindowHandle w : services->topLevelWindows()) {
            if (services->readTitle(w, 1000) == title) found = found == 0 ? w : -1;
        }
        return std::max<WindowHandle>(found, 0);
    }
    WindowHandle listed(const std::string& title) {
        WindowHandle found = 0;
        eventually([&] { return (found = find(title)) != 0; });
        return found;
    }
    bool gone(WindowHandle window) {
        return eventually([&] { return std::ranges::count(services->topLevelWindows(), window) == 0; });
    }
    void cycle() { RunScanCycle(list, {*services, textCase, events, boxes, memory}); }

    std::chrono::steady_clock::time_point now{};
    std::unique_ptr<KdeWindowServices> services =
        std::make_unique<KdeWindowServices>(std::string(), [this] { return now; });
    TestWindowClient client{{TAMBERLYN_WAYLAND_TEST_WINDOW}};
    ListView list{"ListView1", {}, 0, ""};
    QtTextCase textCase;
    fakes::FakeEventLoop events;
    fakes::FakeMessageBoxes boxes;
    ScanMemory memory;
};

TEST_F(KdeWindowServicesTest, ScansAskAMatchingWindowWhichClosesAndLeaveTheOthers) {
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
    EXPECT_EQ(listed("Editor"), editor);
}

TEST_F(KdeWindowServicesTest, AWindowThatStaysIsAskedAgainOnlyAfterTheGrace) {
    client.open("stubborn", "-", "Special offer: stays");
    ASSERT_NE(listed("Special offer: stays"), 0);
    cycle();
    client.waitFor("close stubborn ");
    now += WaylandWindowServices::kCloseGrace - 1ms;
    cycle();
    EXPECT_EQ(client.count("close stubborn "), 0) << "within the grace";
    now += 1ms;
    cycle();
    EXPECT_NO_THROW(client.waitFor("close stubborn ")) << "after the grace";
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
    for (int i = 0; i < 20; ++i, now += 100ms) cycle();
    EXPECT_EQ(client.count("close doc "), 1) << "its question is open";
    EXPECT_EQ(client.count("close doc.question"), 0);

    client.send("dismiss doc");  // the user cancels
    client.waitFor("destroyed doc.question");
    EXPECT_TRUE(eventually([&] {
        cycle();
        return client.count("destroyed doc") == 1;
    })) << "asked again once the question is gone";
}

TEST_F(KdeWindowServicesTest, ATitleThatChangesToMatchIsAskedAtOnce) {
    client.open("plain", "closes", "Before");
    const WindowHandle window = listed("Before");
    ASSERT_NE(window, 0);
    cycle();
    client.send("title plain Special offer after all");
    client.waitFor("titled plain");
    EXPECT_TRUE(eventually([&] { return services->processEvents(); }));
    EXPECT_EQ(services->readTitle(window, 50), "Special offer after all");
    cycle();
    EXPECT_NO_THROW(client.waitFor("destroyed plain"));
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

TEST_F(KdeWindowServicesTest, WestonTerminalIsListedAndClosesOnRequest) {
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

// What a run of program with kConnectOnly prints, and its exit status.
std::pair<std::string, int> connectOnly(const fs::path& program) {
    FILE* pipe = popen((program.string() + " " + kConnectOnly + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {"popen failed", -1};
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    const int status = pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(KdeWindowServicesPermission, TheEntryNamingThisProgramLetsItSeeTheWindowsAndACopyNoEntryNamesIsToldWhy) {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const auto [allowed, allowedStatus] = connectOnly(self);
    EXPECT_EQ(allowedStatus, 0) << allowed;

    const fs::path folder = fs::temp_directory_path() / ("kde-permission-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path copy = folder / "unnamed-copy";
    fs::copy_file(self, copy);
    const auto [refused, refusedStatus] = connectOnly(copy);
    fs::remove_all(folder);
    EXPECT_EQ(refusedStatus, 1) << refused;
    EXPECT_EQ(std::ranges::count(refused, '\n'), 1) << "one line: " << refused;
    EXPECT_NE(refused.find("org_kde_plasma_window_management"), std::string::npos) << refused;
    EXPECT_NE(refused.find(copy.string() + ":"), std::string::npos) << "names the executable: " << refused;
}

// Installs a desktop entry that names this executable, from the package's own template.
bool installDesktopEntry() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data == nullptr) return false;  // never the user's own entries
    std::ifstream in(TAMBERLYN_DESKTOP_ENTRY_TEMPLATE);
    std::stringstream text;
    text << in.rdbuf();
    std::string entry = text.str();
    const std::string placeholder = "@TAMBERLYN_EXEC@";
    const auto at = entry.find(placeholder);
    if (at == std::string::npos) return false;
    entry.replace(at, placeholder.size(), fs::read_symlink("/proc/self/exe").string());
    fs::create_directories(fs::path(data) / "applications");
    std::ofstream(fs::path(data) / "applications" / "tamberlyn-kde-test.desktop") << entry;
    return true;
}

}  // namespace
}  // namespace tamberlyn

int main(int argc, char** argv) {
    using namespace tamberlyn;
    if (argc == 2 && std::string(argv[1]) == kConnectOnly) {
        try {
            KdeWindowServices services;
            std::puts("bound");
            return 0;
        } catch (const PlatformError& e) {
            std::puts(e.what());
            return 1;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (!installDesktopEntry()) {
        std::fprintf(stderr, "no XDG_DATA_HOME or no desktop entry template: run this under with-kwin\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}

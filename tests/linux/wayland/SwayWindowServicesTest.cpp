// The wlroots window services under a headless sway (with-sway): native windows of
// wayland_test_window, an X11 window on sway's Xwayland, and weston-terminal.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include "WaylandSuite.h"
#include "platform/PlatformError.h"
#include "platform/wayland/WlrootsWindowServices.h"

namespace tamberlyn {
namespace {

using namespace std::chrono_literals;
using testing::TestWindowClient;
using testing::eventually;

class SwayWindowServicesTest : public testing::WaylandSuite<WlrootsWindowServices> {
protected:
    // The real program's: on Xwayland its WM_CLASS class, natively its desktop file name.
    SwayWindowServicesTest() : WaylandSuite(std::make_unique<WlrootsWindowServices>(
                                     std::set<std::string>{"Tamberlyn", "example.quillmark.Tamberlyn"}, std::string(),
                                     [this] { return now; })) {}
};

TEST_F(SwayWindowServicesTest, ScansAskAMatchingWindowWhichClosesAndLeaveTheOthers) {
    client.open("offer", "closes", "Special Offer - Shop");
    client.open("editor", "closes", "Editor");
    const WindowHandle offer = listed("Special Offer - Shop");
    const WindowHandle editor = listed("Editor");
    ASSERT_TRUE(offer != 0 && editor != 0);
    cycle();
    client.waitFor("destroyed offer");
    EXPECT_TRUE(gone(offer));
    for (int i = 0; i < 20; ++i, now += 100ms) cycle();
    EXPECT_EQ(client.count("close editor"), 0);
    EXPECT_EQ(listed("Editor"), editor);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(SwayWindowServicesTest, AWindowIsAskedAgainOnlyAfterTheGraceAndNeverWhileItsQuestionIsOpen) {
    client.open("stubborn", "-", "Special offer: stays");
    client.open("doc", "asks", "Special offer notes");
    const WindowHandle doc = listed("Special offer notes");
    ASSERT_TRUE(listed("Special offer: stays") != 0 && doc != 0);
    cycle();
    client.waitFor("window doc.question");
    const WindowHandle question = listed("Save changes to Special offer notes?");
    EXPECT_EQ(services->ownerOf(question), doc);
    EXPECT_EQ(services->readTitle(doc, 50), "Special offer notes - Save changes?");
    for (int i = 0; i < 9; ++i, now += 100ms) cycle();
    now = std::chrono::steady_clock::time_point{} + WaylandWindowServices::kCloseGrace - 1ms;
    cycle();
    EXPECT_EQ(client.count("close stubborn "), 1) << "within the grace";
    now += 1ms;
    cycle();
    EXPECT_NO_THROW(client.waitFor("close stubborn ")) << "asked again after the grace";
    questionStaysUntilTheUserAnswers();
}

TEST_F(SwayWindowServicesTest, ATitleThatChangesIsSeenAtOnce) {
    client.open("plain", "-", "Before");
    const WindowHandle window = listed("Before");
    cycle();
    const std::uint64_t changes = services->changeCount();
    client.send("title plain Special offer after all");
    EXPECT_TRUE(eventually([&] { return services->processEvents(); }));
    EXPECT_NE(services->changeCount(), changes);
    EXPECT_EQ(services->readTitle(window, 50), "Special offer after all");
    cycle();
    EXPECT_NO_THROW(client.waitFor("close plain")) << "the scan sees the change";
}

TEST_F(SwayWindowServicesTest, TheProgramsOwnWindowsAreNotListed) {
    client.open("own", "app=example.quillmark.Tamberlyn", "Special offer - Tamberlyn");
    client.open("other", "-", "Other");
    ASSERT_NE(listed("Other"), 0);  // the compositor tells of the windows in order
    EXPECT_EQ(find("Special offer - Tamberlyn"), 0);
    cycle();
    EXPECT_EQ(client.count("close own"), 0);
}

TEST_F(SwayWindowServicesTest, AnXwaylandWindowIsListedOnceAndClosesOnRequest) {
    const std::string uid = std::getenv("TAMBERLYN_SWAY_UID");  // sway's user, when the test runs as root
    TestWindowClient x11(getuid() != 0 ? std::vector<std::string>{TAMBERLYN_X11_TEST_WINDOW}
                                       : std::vector<std::string>{"setpriv", "--reuid=" + uid, "--regid=" + uid,
                                                                  "--clear-groups", TAMBERLYN_X11_TEST_WINDOW});
    x11.open("x", "net,closes", "Special offer (X11)");
    const WindowHandle window = listed("Special offer (X11)");
    ASSERT_NE(window, 0) << "listed once";
    services->requestClose(window);
    x11.waitFor("destroyed x");
    EXPECT_TRUE(gone(window));
}

TEST_F(SwayWindowServicesTest, WestonTerminalIsListedAndClosesOnRequest) { westonTerminalIsListedAndClosesOnRequest(); }

TEST_F(SwayWindowServicesTest, BadTitlesAreDecodedAndCutSafely) {
    // A Wayland message holds at most 4 KiB here: about the longest title that can come.
    std::string accents;
    for (int i = 0; i < 1900; ++i) accents += "é";
    client.open("long", "-", "\\xff" + accents + "\\xc3");
    client.open("broken", "-", "Caf\\xe9 \\xed\\xa0\\x80 ok");
    EXPECT_NE(listed("Caf\uFFFD \uFFFD\uFFFD\uFFFD ok"), 0);
    const WindowHandle longest = listed("\uFFFD" + accents + "\uFFFD");
    ASSERT_NE(longest, 0);
    EXPECT_EQ(services->readTitle(longest, 3), "\uFFFDéé");
}

// Ends the compositor: run alone, with a sway of its own.
TEST_F(SwayWindowServicesTest, ACompositorThatGoesAwayIsAPlatformError) {
    client.open("plain", "-", "Plain");
    ASSERT_NE(listed("Plain"), 0);
    kill(std::atoi(std::getenv("TAMBERLYN_SWAY_PID")), SIGKILL);
    std::string reason;
    EXPECT_TRUE(eventually([&] {
        try {
            services->processEvents();
        } catch (const PlatformError& e) {
            reason = e.what();
        }
        return !reason.empty();
    }));
    EXPECT_NE(reason.find("Wayland compositor"), std::string::npos) << reason;
    EXPECT_THROW(services->topLevelWindows(), PlatformError);
    EXPECT_THROW(services->changeCount(), PlatformError);
    try {
        WlrootsWindowServices again({});
        ADD_FAILURE() << "connected to a compositor that is gone";
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find(std::getenv("WAYLAND_DISPLAY")), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tamberlyn

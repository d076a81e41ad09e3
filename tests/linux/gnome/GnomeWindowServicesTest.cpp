// The GNOME route under a headless GNOME Shell (with-gnome-shell) with the extension as
// `cmake --install` puts it, made to answer this executable: native windows of
// wayland_test_window and weston-terminal, and the extension's rule for who may ask.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/PlatformError.h"
#include "platform/gnome/GnomeExtension.h"
#include "platform/gnome/GnomeWindowServices.h"
#include "wayland/WaylandSuite.h"

namespace tamberlyn {
namespace {

using testing::TestWindowClient;
using testing::eventually;
namespace fs = std::filesystem;

std::string Output(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    pclose(pipe);
    return output;
}

class GnomeWindowServicesTest : public testing::WaylandSuite<GnomeWindowServices> {
protected:
    GnomeWindowServicesTest() : WaylandSuite(std::make_unique<GnomeWindowServices>(getpid(), [this] { return now; })) {}
};

TEST_F(GnomeWindowServicesTest, ScansAskAMatchingWindowWhichClosesLeaveTheOthersAndSeeARetitlingAtOnce) {
    scansAskAMatchingWindowLeaveTheOthersAndSeeARetitlingAtOnce();
}

TEST_F(GnomeWindowServicesTest, AnAskingWindowKeepsItsQuestionUntilTheUserAnswers) {
    client.open("doc", "asks", "Special offer notes");
    const WindowHandle doc = listed("Special offer notes");
    ASSERT_NE(doc, 0);
    cycle();
    client.waitFor("window doc.question");
    now += GnomeWindowServices::kCloseGrace;  // only the shell's transient parent ties it to doc
    const WindowHandle question = listed("Save changes to Special offer notes?");
    ASSERT_NE(question, 0);
    // The shell tells of the parent with the window's first content, just after its title.
    EXPECT_TRUE(eventually([&] {
        services->processEvents();
        return services->ownerOf(question) == doc;
    }));
    questionStaysUntilTheUserAnswers();
}

TEST_F(GnomeWindowServicesTest, TheWindowsOfTheProgramsOwnPidAreNotListed) {
    TestWindowClient own({TAMBERLYN_WAYLAND_TEST_WINDOW});
    own.open("own", "closes", "Special offer - Tamberlyn");
    client.open("other", "closes", "Special offer - other");
    ASSERT_NE(listed("Special offer - other"), 0);
    GnomeWindowServices asOwn(own.pid(), [this] { return now; });
    EXPECT_NE(find("Special offer - Tamberlyn"), 0) << "listed by the pid the shell tells of";
    const HandleList seen = asOwn.topLevelWindows();
    EXPECT_EQ(std::ranges::count_if(seen, [&](WindowHandle w) { return asOwn.readTitle(w, 50) == "Special offer - Tamberlyn"; }), 0);
    EXPECT_EQ(std::ranges::count_if(seen, [&](WindowHandle w) { return asOwn.readTitle(w, 50) == "Special offer - other"; }), 1);
}

TEST_F(GnomeWindowServicesTest, WestonTerminalIsListedAndClosesOnRequest) { westonTerminalIsListedAndClosesOnRequest(); }

TEST(GnomeExtensionPermission, OnlyTheProgramItNamesMayListOrCloseNeitherACopyNorAnotherProgram) {
    EXPECT_NO_THROW(GnomeWindowServices{getpid()});
    const fs::path folder = fs::temp_directory_path() / ("gnome-permission-" + std::to_string(getpid()));
    const fs::path copy = folder / "copy";
    fs::create_directories(folder);
    fs::copy_file(fs::read_symlink("/proc/self/exe"), copy);
    // The copy runs one test, whose fixture cannot make its services there.
    const std::string output = Output(copy.string() + " --gtest_filter=GnomeWindowServicesTest.Scans*");
    fs::remove_all(folder);
    EXPECT_NE(output.find("may see and close windows through this extension, not " + copy.string() + "."),
              std::string::npos) << output;
    for (const char* method : {"List", "Close 1"}) {
        EXPECT_NE(Output(std::string("gdbus call --session --dest example.quillmark.Tamberlyn.Shell --object-path "
                                     "/example/quillmark/Tamberlyn/Shell --method example.quillmark.Tamberlyn.Windows1.") +
                         method)
                      .find("example.quillmark.Tamberlyn.Error.AccessDenied"),
                  std::string::npos) << method;
    }
}

// Last: it takes the extension away, and brings it back.
TEST(GnomeExtensionGone, DisabledItEndsTheServicesWithAReasonAndTheNextStartHearsSo) {
    GnomeWindowServices services(getpid());
    const std::optional<GnomeExtension> extension = ProbeGnomeExtension();
    ASSERT_TRUE(extension && extension->state == GnomeExtension::State::Running);
    EXPECT_EQ(extension->program, fs::read_symlink("/proc/self/exe").string()) << "what the choice compares";
    const std::string uuid = extension->uuid;
    ASSERT_EQ(std::system(("gnome-extensions disable " + uuid).c_str()), 0);
    std::string reason;
    EXPECT_TRUE(eventually([&] {
        try {
            services.processEvents();
            return false;
        } catch (const PlatformError& e) {
            reason = e.what();
            return true;
        }
    }));
    EXPECT_NE(reason.find("extension stopped"), std::string::npos) << reason;
    EXPECT_THROW(services.requestClose(1), PlatformError);
    EXPECT_EQ(ProbeGnomeExtension()->state, GnomeExtension::State::Disabled) << "told what to do at the next start";
    EXPECT_EQ(std::system(("gnome-extensions enable " + uuid).c_str()), 0);
}

}  // namespace
}  // namespace tamberlyn

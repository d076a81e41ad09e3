#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeEventLoop.h"
#include "FakeTray.h"
#include "tray/cSysTray.h"

namespace tamberlyn {
namespace {

class TrayTest : public ::testing::Test {
protected:
    fakes::TrayLog log;
    fakes::FakeNotifyIcon shell{log};
    fakes::FakeTrayHook hook{log};
    fakes::FakeEventLoop events;
    cSysTray tray{shell, hook, events};
    const Picture icon{PictureType::Icon, 0x51};
};

TEST_F(TrayTest, AddGivesTipAndIconOnlyWhenSetAndRemoveUndoesInOrder) {
    tray.setInTray(true);
    EXPECT_EQ(shell.last().icon, 0u);
    EXPECT_EQ(shell.last().tip, std::nullopt) << "an empty tip is no tip";
    EXPECT_EQ(hook.installedOn, 77);
    tray.setInTray(false);
    tray.setTrayTip("tip");
    tray.setTrayIcon(icon);
    tray.setInTray(true);
    EXPECT_EQ(shell.last().icon, 0x51u);
    EXPECT_EQ(shell.last().tip, "tip");
    tray.setInTray(false);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"install", "add", "delete", "remove", "install", "add", "delete",
                                                   "remove"}));
}

TEST_F(TrayTest, AssigningTheCurrentValueSendsNothing) {
    tray.setInTray(false);
    EXPECT_TRUE(log.calls.empty());
    tray.setInTray(true);
    tray.setInTray(true);
    EXPECT_EQ(log.calls.size(), 2u);
}

TEST_F(TrayTest, TipAndIconChangesWhilePresentAndWhatIsIgnored) {
    tray.setTrayIcon(icon);
    tray.setInTray(true);
    tray.setTrayTip("");
    EXPECT_EQ(shell.last().what, "tip");
    EXPECT_EQ(shell.last().tip, "") << "an empty tip takes the old one away";
    tray.setTrayIcon({PictureType::Icon, 0x52});
    EXPECT_EQ(shell.last().what, "icon");
    EXPECT_EQ(shell.last().icon, 0x52u);
    const std::size_t sent = shell.sent.size();
    tray.setTrayIcon({PictureType::Bitmap, 0x99});
    tray.setTrayIcon({});
    EXPECT_EQ(shell.sent.size(), sent);
    EXPECT_EQ(tray.TrayIcon().handle, 0x52u);
}

TEST_F(TrayTest, TextsAreCutToTheirFields) {
    tray.setInTray(true);
    tray.setTrayTip(std::string(200, 't'));
    EXPECT_EQ(shell.last().tip, std::string(127, 't'));
    std::string accented;
    for (int i = 0; i < 300; ++i) accented += "é";
    tray.ShowBalloon(accented, std::string(80, 'T'), 0, false);
    EXPECT_EQ(shell.last().title, std::string(63, 'T'));
    EXPECT_EQ(shell.last().text.size(), 255u * 2);  // 255 characters of two bytes each
    EXPECT_EQ(tray.TrayTip().size(), 200u);
}

TEST_F(TrayTest, BalloonOnceGateAndItsWait) {
    tray.setInTray(true);
    tray.ShowBalloon("a", "t", 5, true);
    ASSERT_EQ(shell.sent.size(), 3u);
    EXPECT_EQ(shell.sent[1].text, "a");
    EXPECT_EQ(shell.sent[1].timeoutMs, 5000u);
    ASSERT_EQ(shell.last().what, "balloon");
    EXPECT_EQ(shell.last().title + shell.last().text, "");  // waited the full time, then taken down
    EXPECT_EQ(shell.last().timeoutMs, 5000u) << "taken down with the time it went up with";
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::seconds(5));

    tray.ShowBalloon("b", "t", 5, true);
    EXPECT_EQ(shell.sent.size(), 3u);
    tray.ShowBalloon("c", "t", 0, false);  // no wait, no taking down
    EXPECT_EQ(shell.sent.size(), 4u);
    EXPECT_EQ(shell.last().text, "c");
    EXPECT_EQ(tray.onceCount(), 1);
}

TEST_F(TrayTest, AClickOnTheBalloonEndsTheWaitEarlyAndLeavesItToTheTray) {
    tray.setInTray(true);
    events.onWait = [&] { hook.deliver(TrayEvent::BalloonClicked); };
    tray.ShowBalloon("a", "t", 5, false);
    EXPECT_EQ(shell.last().text, "a");
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::milliseconds(100));
    EXPECT_FALSE(tray.balloonShowing());
}

TEST_F(TrayTest, BalloonWithoutIconStillWaitsItsFullTime) {
    tray.ShowBalloon("a", "t", 3, false);
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::seconds(3));
}

TEST_F(TrayTest, ANegativeTimeShowsTheBalloonForTheTraysOwnTimeWithoutWaiting) {
    tray.setInTray(true);
    const std::size_t sent = shell.sent.size();
    tray.ShowBalloon("a", "t", -3, false);
    ASSERT_EQ(shell.sent.size(), sent + 1) << "shown, never taken down";
    EXPECT_EQ(shell.last().text, "a");
    EXPECT_EQ(shell.last().timeoutMs, 0u);
    EXPECT_EQ(events.waits + events.passes, 0);
    EXPECT_EQ(events.now(), Clock::time_point{});
    EXPECT_TRUE(tray.balloonShowing());
}

TEST_F(TrayTest, ATimeBeyondTheMillisecondRangeFailsBeforeAnythingIsSent) {
    tray.setInTray(true);
    const std::size_t sent = shell.sent.size();
    EXPECT_THROW(tray.ShowBalloon("a", "t", 2147484, true), std::overflow_error);
    EXPECT_EQ(shell.sent.size(), sent);
    EXPECT_FALSE(tray.balloonShowing());
    EXPECT_EQ(tray.onceCount(), 0);

    // The largest time that fits, ended early by a click; the once gate is still open.
    events.onWait = [&] { hook.deliver(TrayEvent::BalloonClicked); };
    tray.ShowBalloon("b", "t", 2147483, true);
    EXPECT_EQ(shell.last().text, "b");
    EXPECT_EQ(shell.last().timeoutMs, 2147483000u);
}

TEST_F(TrayTest, TrayEventsBecomeMouseEventsOrEndTheBalloon) {
    std::vector<std::string> raised;
    tray.MouseMove = [&](std::int32_t id) { raised.push_back("move " + std::to_string(id)); };
    tray.MouseDown = [&](std::int16_t b, std::int32_t) { raised.push_back("down " + std::to_string(b)); };
    tray.MouseUp = [&](std::int16_t b, std::int32_t) { raised.push_back("up " + std::to_string(b)); };
    tray.MouseDblClick = [&](std::int16_t b, std::int32_t) { raised.push_back("dbl " + std::to_string(b)); };
    for (TrayEvent event : {TrayEvent::MouseMove, TrayEvent::LeftButtonDown, TrayEvent::LeftButtonUp,
                            TrayEvent::LeftDoubleClick, TrayEvent::RightButtonDown, TrayEvent::RightButtonUp,
                            TrayEvent::RightDoubleClick, TrayEvent::MiddleButtonDown, TrayEvent::MiddleButtonUp,
                            TrayEvent::MiddleDoubleClick})
        tray.HandleTrayMessage(event, 4);
    EXPECT_EQ(raised, (std::vector<std::string>{"move 4", "down 1", "up 1", "dbl 1", "down 2", "up 2", "dbl 2"}));

    for (TrayEvent ending : {TrayEvent::BalloonHidden, TrayEvent::BalloonTimedOut, TrayEvent::BalloonClicked}) {
        tray.ShowBalloon("x", "t", 0, false);
        tray.HandleTrayMessage(TrayEvent::BalloonShown, 0);
        EXPECT_TRUE(tray.balloonShowing());
        tray.HandleTrayMessage(ending, 0);
        EXPECT_FALSE(tray.balloonShowing()) << static_cast<int>(ending);
    }
}

TEST_F(TrayTest, DestructionLeavesTheTray) {
    {
        cSysTray second{shell, hook, events};
        second.setInTray(true);
    }
    EXPECT_EQ(log.calls, (std::vector<std::string>{"install", "add", "delete", "remove"}));
}

}  // namespace
}  // namespace tamberlyn

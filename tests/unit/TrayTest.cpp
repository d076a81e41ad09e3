#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeEventLoop.h"
#include "FakeTray.h"
#include "tray/cSysTray.h"

namespace tamberlyn {
namespace {

class TrayTest : public ::testing::Test {
protected:
    fakes::FakeNotifyIcon shell;
    fakes::FakeEventLoop events;
    cSysTray tray{shell, events};
    const Picture icon{PictureType::Icon, 0x51};
};

TEST_F(TrayTest, AddGivesTipAndIconOnlyWhenSetAndRemoveUndoesInOrder) {
    tray.setInTray(true);
    EXPECT_EQ(shell.last().icon, 0u);
    EXPECT_EQ(shell.last().tip, std::nullopt) << "an empty tip is no tip";
    tray.setInTray(false);
    tray.setTrayTip("tip");
    tray.setTrayIcon(icon);
    tray.setInTray(true);
    EXPECT_EQ(shell.last().icon, 0x51u);
    EXPECT_EQ(shell.last().tip, "tip");
    tray.setInTray(false);
    EXPECT_EQ(shell.calls(), (std::vector<std::string>{"add", "delete", "add", "delete"}));
}

TEST_F(TrayTest, AssigningTheCurrentValueSendsNothing) {
    tray.setInTray(false);
    EXPECT_TRUE(shell.sent.empty());
    tray.setInTray(true);
    tray.setInTray(true);
    EXPECT_EQ(shell.sent.size(), 1u);
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
    events.onWait = [&] { shell.deliver(TrayIntent::BalloonClicked); };
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
    events.onWait = [&] { shell.deliver(TrayIntent::BalloonClicked); };
    tray.ShowBalloon("b", "t", 2147483, true);
    EXPECT_EQ(shell.last().text, "b");
    EXPECT_EQ(shell.last().timeoutMs, 2147483000u);
}

TEST_F(TrayTest, ClicksRaiseMouseUpAndTheBalloonsEndClearsItsFlagWhileTheIconIsIn) {
    std::vector<std::pair<int, int>> raised;  // button and id
    tray.MouseUp = [&](std::int16_t button, std::int32_t id) { raised.emplace_back(button, id); };
    tray.setInTray(true);
    shell.deliver(TrayIntent::Activated);
    shell.deliver(TrayIntent::ContextActivated);
    EXPECT_EQ(raised, (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}}));

    for (TrayIntent ending : {TrayIntent::BalloonGone, TrayIntent::BalloonClicked}) {
        tray.ShowBalloon("x", "t", 0, false);
        EXPECT_TRUE(tray.balloonShowing());
        shell.deliver(ending);
        EXPECT_FALSE(tray.balloonShowing()) << static_cast<int>(ending);
    }
    tray.setInTray(false);
    shell.deliver(TrayIntent::Activated);  // late, about the icon just deleted
    EXPECT_EQ(raised.size(), 2u);
}

TEST_F(TrayTest, DestructionLeavesTheTray) {
    {
        cSysTray second{shell, events};
        second.setInTray(true);
    }
    EXPECT_EQ(shell.calls(), (std::vector<std::string>{"add", "delete"}));
    EXPECT_FALSE(shell.intentArrived) << "the tray no longer tells a control that is gone";
}

}  // namespace
}  // namespace tamberlyn

#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeEventLoop.h"
#include "FakeTray.h"
#include "tray/cSysTray.h"
#include "tray/mSysTray.h"

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

TEST_F(TrayTest, AddSendsTipAndIconOnlyWhenSetAndRemoveUndoesInOrder) {
    tray.setInTray(true);
    EXPECT_EQ(shell.last().uFlags, kNifMessage);
    tray.setInTray(false);
    tray.setTrayTip("tip");
    tray.setTrayIcon(icon);
    tray.setInTray(true);
    EXPECT_EQ(shell.last().uFlags, kNifMessage | kNifIcon | kNifTip);
    EXPECT_EQ(shell.last().hWnd, 77);
    tray.setInTray(false);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"install", "add", "delete", "remove", "install", "add", "delete",
                                                   "remove"}));
    EXPECT_EQ(shell.last().uFlags, 0u);
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
    EXPECT_EQ(shell.last().uFlags, kNifTip);
    EXPECT_EQ(shell.last().szTip, "");
    const std::size_t sent = shell.sent.size();
    tray.setTrayIcon({PictureType::Bitmap, 0x99});
    tray.setTrayIcon({});
    EXPECT_EQ(shell.sent.size(), sent);
    EXPECT_EQ(tray.TrayIcon().handle, 0x51u);
}

TEST_F(TrayTest, TextsAreCutToTheirFields) {
    tray.setInTray(true);
    tray.setTrayTip(std::string(200, 't'));
    EXPECT_EQ(shell.last().szTip, std::string(127, 't'));
    std::string accented;
    for (int i = 0; i < 300; ++i) accented += "é";
    tray.ShowBalloon(accented, std::string(80, 'T'), 0, false);
    EXPECT_EQ(shell.last().szInfoTitle, std::string(63, 'T'));
    EXPECT_EQ(shell.last().szInfo.size(), 255u * 2);  // 255 characters of two bytes each
    EXPECT_EQ(tray.TrayTip().size(), 200u);
}

TEST_F(TrayTest, BalloonOnceGateAndItsWait) {
    tray.setInTray(true);
    tray.ShowBalloon("a", "t", 5, true);
    ASSERT_EQ(shell.last().uFlags, kNifInfo);
    EXPECT_EQ(shell.last().szInfo, "");  // waited the full time, then cleared
    EXPECT_EQ(shell.last().uTimeout, 5000u);
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::seconds(5));

    const std::size_t sent = shell.sent.size();
    tray.ShowBalloon("b", "t", 5, true);
    EXPECT_EQ(shell.sent.size(), sent);
    tray.ShowBalloon("c", "t", 0, false);  // no wait, no clearing
    EXPECT_EQ(shell.sent.size(), sent + 1);
    EXPECT_EQ(shell.last().szInfo, "c");
    EXPECT_EQ(tray.onceCount(), 1);
}

TEST_F(TrayTest, AClickOnTheBalloonEndsTheWaitEarlyWithoutClearing) {
    tray.setInTray(true);
    events.onWait = [&] { hook.deliver(NIN_BALLOONUSERCLICK_CODE); };
    tray.ShowBalloon("a", "t", 5, false);
    EXPECT_EQ(shell.last().szInfo, "a");
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::milliseconds(100));
    EXPECT_FALSE(tray.balloonShowing());
}

TEST_F(TrayTest, BalloonWithoutIconStillWaitsItsFullTime) {
    tray.ShowBalloon("a", "t", 3, false);
    EXPECT_EQ(events.now(), Clock::time_point{} + std::chrono::seconds(3));
}

TEST_F(TrayTest, ANegativeTimeShowsTheBalloonForTheShellsOwnTimeWithoutWaiting) {
    tray.setInTray(true);
    const std::size_t sent = shell.sent.size();
    tray.ShowBalloon("a", "t", -3, false);
    ASSERT_EQ(shell.sent.size(), sent + 1) << "shown, never cleared";
    EXPECT_EQ(shell.last().szInfo, "a");
    EXPECT_EQ(shell.last().uTimeout, 0u);
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
    events.onWait = [&] { hook.deliver(NIN_BALLOONUSERCLICK_CODE); };
    tray.ShowBalloon("b", "t", 2147483, true);
    EXPECT_EQ(shell.last().szInfo, "b");
    EXPECT_EQ(shell.last().uTimeout, 2147483000u);
}

TEST_F(TrayTest, NotificationsBecomeEventsOrClearTheBalloon) {
    std::vector<std::string> events_;
    tray.MouseMove = [&](std::int32_t id) { events_.push_back("move " + std::to_string(id)); };
    tray.MouseDown = [&](std::int16_t b, std::int32_t) { events_.push_back("down " + std::to_string(b)); };
    tray.MouseUp = [&](std::int16_t b, std::int32_t) { events_.push_back("up " + std::to_string(b)); };
    tray.MouseDblClick = [&](std::int16_t b, std::int32_t) { events_.push_back("dbl " + std::to_string(b)); };
    for (std::int32_t code : {0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207, 0x208, 0x209})
        tray.HandleTrayMessage(code, 0);
    EXPECT_EQ(events_, (std::vector<std::string>{"move 0", "down 1", "up 1", "dbl 1", "down 2", "up 2", "dbl 2"}));

    for (std::int32_t code : {0x403, 0x404, 0x405}) {
        tray.ShowBalloon("x", "t", 0, false);
        tray.HandleTrayMessage(NIN_BALLOONSHOW_CODE, 0);
        EXPECT_TRUE(tray.balloonShowing());
        tray.HandleTrayMessage(code, 0);
        EXPECT_FALSE(tray.balloonShowing()) << code;
    }
}

TEST_F(TrayTest, DestructionLeavesTheTray) {
    {
        cSysTray second{shell, hook, events};
        second.setInTray(true);
    }
    EXPECT_EQ(log.calls, (std::vector<std::string>{"install", "add", "delete", "remove"}));
}

// The window procedure while hooked.
struct ProcedureHost : WindowProcedureHost {
    TrayMessageSink* sink = nullptr;
    std::vector<std::uint32_t> passedOn;
    TrayMessageSink* instanceOf(WindowHandle) override { return sink; }
    std::intptr_t callPrevious(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t lParam) override {
        passedOn.push_back(message);
        return lParam * 2;
    }
};

TEST_F(TrayTest, TheHookedProcedureRaisesTheEventThenPassesEveryMessageOn) {
    ProcedureHost host;
    host.sink = &tray;
    std::vector<std::string> order;
    tray.MouseUp = [&](std::int16_t b, std::int32_t) {
        order.push_back("up " + std::to_string(b) + " before " + std::to_string(host.passedOn.size()));
    };
    EXPECT_EQ(TrayWindowProc(host, 77, 1125, 0, 0x205), 0x205 * 2);
    EXPECT_EQ(TrayWindowProc(host, 77, 0x0010, 0, 21), 42);
    EXPECT_EQ(order, std::vector<std::string>{"up 2 before 0"});
    EXPECT_EQ(host.passedOn, (std::vector<std::uint32_t>{1125, 0x0010}));

    tray.MouseUp = [](std::int16_t, std::int32_t) { throw std::runtime_error("a handler failed"); };
    EXPECT_NO_THROW(TrayWindowProc(host, 77, 1125, 0, 0x202));
    host.sink = nullptr;  // after remove: nothing raised
    EXPECT_EQ(TrayWindowProc(host, 77, 1125, 0, 0x202), 0x202 * 2);
}

}  // namespace
}  // namespace tamberlyn

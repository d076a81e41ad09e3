#include "FormFixture.h"

namespace tamberlyn {
namespace {

using testing::FormTest;

int BalloonsShown(const fakes::FakeNotifyIcon& icon) {
    int n = 0;
    for (const fakes::TrayRequest& r : icon.sent) n += (r.what == "balloon" && !r.text.empty());
    return n;
}

class ResidencyTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        start();
        form->window.focusRequested = [this] { ++focused; };
    }
    void minimize() {
        form->window.setState(WindowState::Minimized);
        form->Form_Resize();
    }
    int balloons() const { return BalloonsShown(fake.notifyIcon); }
    int focused = 0;
};

TEST_F(ResidencyTest, MinimizeHidesWithABalloonTheFirstTimeOnly) {
    minimize();
    EXPECT_FALSE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_TRUE(form->MinimizedToTray);
    ASSERT_EQ(balloons(), 1);
    const fakes::TrayRequest& shown = fake.notifyIcon.sent[fake.notifyIcon.sent.size() - 2];
    EXPECT_EQ(shown.title, "Tamberlyn");
    EXPECT_EQ(shown.text, std::string("has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for "
                                        "Quillmark) to bring the software back."));
    EXPECT_EQ(shown.timeoutMs, 5000u);

    fake.notifyIcon.deliver(TrayIntent::ContextActivated);  // the right button restores as the left one does
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(focused, 1);
    EXPECT_FALSE(form->MinimizedToTray);
    minimize();
    EXPECT_FALSE(form->window.visible());
    EXPECT_EQ(balloons(), 1);
}

TEST_F(ResidencyTest, AClickWhileShownOnlyFocuses) {
    fake.notifyIcon.deliver(TrayIntent::Activated);
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(focused, 1);
    form->Form_Resize();  // a resize in the normal state does nothing
    EXPECT_TRUE(form->window.visible());
}

TEST_F(ResidencyTest, RestoredDuringTheBalloonAndMinimizedAgainWithoutASecondBalloon) {
    int step = 0;
    fake.events.onWait = [&] {
        ++step;
        if (step == 1) fake.notifyIcon.deliver(TrayIntent::Activated);
        if (step == 2) minimize();
    };
    minimize();
    EXPECT_FALSE(form->window.visible());
    EXPECT_TRUE(form->MinimizedToTray);
    EXPECT_EQ(balloons(), 1);
}

TEST_F(ResidencyTest, WithoutANotificationAreaTheWindowJustStaysMinimized) {
    fake.notifyIcon.available = false;
    minimize();
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Minimized);
    EXPECT_FALSE(form->MinimizedToTray);
    EXPECT_EQ(balloons(), 0);
}

TEST_F(ResidencyTest, ATrayThatEndsLeavesTheWindowMinimizedAndTheNextOneTakesItBack) {
    minimize();
    fake.notifyIcon.setAvailable(false);  // the panel ended, and the icon in it
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Minimized);
    EXPECT_FALSE(form->MinimizedToTray);
    form->Form_Resize();  // as the view reports the minimized window: it stays so
    EXPECT_TRUE(form->window.visible());

    fake.notifyIcon.setAvailable(true);  // the panel is back
    EXPECT_FALSE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_TRUE(form->MinimizedToTray);
    EXPECT_EQ(balloons(), 1) << "said once already";
    fake.notifyIcon.deliver(TrayIntent::Activated);
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);

    // A window on screen stays as it is.
    fake.notifyIcon.setAvailable(false);
    fake.notifyIcon.setAvailable(true);
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_FALSE(form->MinimizedToTray);
}

class StartInTrayTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        fake.settings.set("Windows Startup", "On");
        fake.settings.set("Minimized", "On");
    }
};

TEST_F(StartInTrayTest, StartsHiddenWithoutABalloonAndTheIconBringsTheWindowBack) {
    start();
    EXPECT_FALSE(form->window.visible());
    EXPECT_TRUE(form->MinimizedToTray);
    EXPECT_TRUE(fake.notifyIcon.iconShown);
    EXPECT_EQ(fake.notifyIcon.calls(), std::vector<std::string>{"add"}) << "no balloon";

    int focused = 0;
    form->window.focusRequested = [&] { ++focused; };
    fake.notifyIcon.deliver(TrayIntent::Activated);
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_EQ(focused, 1);
    EXPECT_FALSE(form->MinimizedToTray);

    // Minimized by the user later, the window says where it went.
    form->window.setState(WindowState::Minimized);
    form->Form_Resize();
    EXPECT_FALSE(form->window.visible());
    EXPECT_EQ(BalloonsShown(fake.notifyIcon), 1);
}

TEST_F(StartInTrayTest, WhereNoIconCanBringItBackTheWindowStartsMinimized) {
    fake.notifyIcon.available = false;
    start();
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Minimized);
    EXPECT_FALSE(form->MinimizedToTray);
    form->Form_Resize();  // as the view reports the minimized window: it stays so
    EXPECT_TRUE(form->window.visible());
    fake.notifyIcon.setAvailable(true);  // a panel starts later: the window goes into it
    EXPECT_FALSE(form->window.visible());
    EXPECT_TRUE(form->MinimizedToTray);
    EXPECT_EQ(BalloonsShown(fake.notifyIcon), 1);

    fake.notifyIcon.available = true;  // a tray, but the icon could not be put into it
    fake.notifyIcon.failAdd = true;
    start();
    EXPECT_EQ(reportedLines(), std::vector<std::string>{"Form1.Form_Load:152"});
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Minimized);
}

// A second start of the program brings this one forward, wherever its window was.
TEST_F(ResidencyTest, AnotherStartBringsTheWindowBackFromTheTrayOrTheTaskbar) {
    minimize();
    form->AnotherStart();
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_EQ(focused, 1);
    EXPECT_FALSE(form->MinimizedToTray);
    minimize();  // and it can go back into the tray, without a second balloon
    EXPECT_FALSE(form->window.visible());
    EXPECT_EQ(balloons(), 1);

    form->AnotherStart();
    fake.notifyIcon.available = false;  // no tray: the window was only minimized
    minimize();
    form->AnotherStart();
    EXPECT_TRUE(form->window.visible());
    EXPECT_EQ(form->window.state(), WindowState::Normal);
    EXPECT_EQ(focused, 3);
}

TEST_F(ResidencyTest, MonitoringGoesOnWhileHidden) {
    form->Text1.setText("pop");
    form->PushButton1_Click();
    form->PushButton2_Click();
    minimize();
    fake.windows.open(10, "Popup");
    form->Timer1_Timer();
    EXPECT_EQ(fake.windows.closeRequests, std::vector<WindowHandle>{10});
}

}  // namespace
}  // namespace tamberlyn

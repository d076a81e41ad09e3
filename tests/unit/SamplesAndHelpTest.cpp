#include "FormFixture.h"
#include "form/SamplesAndHelp.h"
#include "platform/linux/LinuxTexts.h"

namespace tamberlyn {
namespace {

using testing::FormTest;

class SamplesTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        start();
    }
};

TEST_F(SamplesTest, AnsweredNoAddsAndStoresOnly) {
    fake.messages.answers = {MessageResult::No};
    form->PushButton6_Click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Calculator", "Notepad"}));
    EXPECT_EQ(fake.messages.last().text,
              "Would you like to run Calculator and Notepad now to see that software works?");
    EXPECT_TRUE(fake.launcher.started.empty());
    EXPECT_FALSE(form->Timer1.enabled());
    EXPECT_EQ(storedList(), JoinWatchList(rows()));

    fake.messages.answers = {MessageResult::No};
    form->PushButton6_Click();
    EXPECT_EQ(rows().size(), 4u);
}

TEST_F(SamplesTest, AnsweredYesStartsBothWaitsASecondThenStartsMonitoring) {
    fake.messages.answers = {MessageResult::Yes};
    bool monitoringDuringPause = true;
    fake.events.onWait = [&] { monitoringDuringPause = monitoringDuringPause && form->Timer1.enabled(); };
    const Clock::time_point before = fake.events.now();
    form->PushButton6_Click();
    EXPECT_EQ(fake.launcher.started, (std::vector<std::string>{"calc in C:\\", "notepad in C:\\"}));
    EXPECT_FALSE(monitoringDuringPause);
    EXPECT_GE(fake.events.now() - before, std::chrono::seconds(1));
    EXPECT_TRUE(form->Timer1.enabled());
    EXPECT_EQ(form->PushButton2.caption(), "Stop Monitoring");
    EXPECT_EQ(stored("StartStopState"), "On");
}

TEST_F(SamplesTest, AnsweredYesWhileMonitoringClosesTheDemosThenSwitchesOff) {
    form->Text1.setText("x");
    form->PushButton1_Click();
    form->PushButton2_Click();
    fake.launcher.onStart = [&](const std::string& name) {
        fake.windows.open(name == "calc" ? 20 : 21, name == "calc" ? "Calculator" : "Untitled - Notepad");
    };
    fake.events.onWait = [&] { form->Timer1_Timer(); };  // ticks keep coming during the pause
    fake.messages.answers = {MessageResult::Yes};
    form->PushButton6_Click();
    EXPECT_EQ(fake.windows.closeRequestsTo(20), 1);
    EXPECT_EQ(fake.windows.closeRequestsTo(21), 1);
    EXPECT_FALSE(form->Timer1.enabled());  // the Start/Stop acts like a click
}

TEST_F(SamplesTest, ASecondClickDuringThePauseRunsInsideTheFirstAndTheLastSaveHasEverything) {
    fake.messages.answers = {MessageResult::Yes, MessageResult::No};
    bool nested = false;
    fake.events.onWait = [&] {
        if (nested) return;
        nested = true;
        form->PushButton6_Click();
    };
    form->PushButton6_Click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Calculator", "Notepad", "Calculator", "Notepad"}));
    EXPECT_EQ(storedList(), JoinWatchList(rows()));
}

TEST_F(SamplesTest, WaitRunsEventsUntilTheDeadlineAndZeroReturnsAtOnce) {
    form->Wait(0);
    form->Wait(-1);
    EXPECT_EQ(fake.events.waits, 0);

    int ran = 0;
    fake.events.post([&] { ++ran; });
    const Clock::time_point before = fake.events.now();
    form->Wait(1);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(fake.events.now() - before, std::chrono::seconds(1));
}

TEST_F(SamplesTest, HelpTextIsEightParagraphsJoinedByTwoCarriageReturns) {
    form->PushButton5_Click();
    ASSERT_EQ(fake.messages.count(), 1);
    EXPECT_EQ(fake.messages.last().text,
              "This program will automatically close a window if it contains the letters (name) you add.\r\r"
              "Please try the following demo:\r\r"
              "Add the word\r\r"
              "calc\r\r"
              "to this program.\r\r"
              "Click \"Start Monitoring\"\r\r"
              "Go to Start > Run and type in calc and hit enter.\r\r"
              "The Microsoft Calculator will open and be immediately closed by this program.");
    EXPECT_EQ(fake.messages.last().buttons, MessageButtons::Ok);
    EXPECT_EQ(fake.messages.last().title, "Tamberlyn");
    EXPECT_EQ(HelpText(kLinuxTexts).find("Start > Run"), std::string::npos);
}

}  // namespace
}  // namespace tamberlyn

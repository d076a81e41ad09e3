#include <gtest/gtest.h>

#include "FakeMessageBoxes.h"
#include "FakeSettingsStore.h"
#include "form/MonitoringSwitch.h"

namespace tamberlyn {
namespace {

class MonitoringSwitchTest : public ::testing::Test {
protected:
    void click() {
        ErrorTrap trap{reports, "Form1", "PushButton2_Click"};
        StartStop({button, timer, list}, settings, boxes, "Tamberlyn", trap);
    }
    void restore() {
        ErrorTrap trap{reports, "Form1", "Form_Load"};
        RestoreMonitoring({button, timer, list}, settings, trap);
    }

    fakes::FakeSettingsStore settings;
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    PushButton button{"PushButton2", "Start Monitoring", {}, 3};
    Timer timer{100};
    WatchList list;
};

TEST_F(MonitoringSwitchTest, StartingWithAnEmptyListOnlyAsksForAKeyword) {
    click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Please add a keyword to monitor");
    EXPECT_EQ(boxes.last().title, "Tamberlyn");
    EXPECT_EQ(boxes.last().icon, MessageIcon::None);
    EXPECT_EQ(boxes.last().buttons, MessageButtons::Ok);
    EXPECT_FALSE(timer.enabled());
    EXPECT_EQ(button.caption(), "Start Monitoring");
    EXPECT_TRUE(settings.writes.empty());
}

TEST_F(MonitoringSwitchTest, TimerThenCaptionThenSettingChangeTogether) {
    list.add("x");
    std::vector<std::string> order;
    timer.onChange = [&] { order.push_back(timer.enabled() ? "timer on" : "timer off"); };
    button.onChange = [&] { order.push_back(button.caption()); };
    click();
    order.push_back(settings.writes.back());
    EXPECT_EQ(order, (std::vector<std::string>{"timer on", "Stop Monitoring", "StartStopState=On"}));

    list.clear();  // stopping does not look at the list
    click();
    EXPECT_FALSE(timer.enabled());
    EXPECT_EQ(button.caption(), "Start Monitoring");
    EXPECT_EQ(settings.get("StartStopState"), "Off");
}

TEST_F(MonitoringSwitchTest, AFailedSaveIsReportedAfterTheSwitchHasHappened) {
    list.add("x");
    settings.failWrites = true;
    click();
    EXPECT_TRUE(timer.enabled());
    EXPECT_EQ(button.caption(), "Stop Monitoring");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Application Error");
    EXPECT_NE(boxes.last().text.find("Form1.PushButton2_Click at line 108"), std::string::npos);
}

TEST_F(MonitoringSwitchTest, RestoreTurnsMonitoringOnOnlyForOnWithFragments) {
    struct Case {
        std::optional<std::string> stored;
        bool fragments;
        bool on;
    };
    for (const Case& c : {Case{std::nullopt, true, false}, Case{"Off", true, false}, Case{"On", true, true},
                          Case{"On", false, false}, Case{"on", true, false}, Case{"ON ", true, false}}) {
        settings.values.clear();
        if (c.stored) settings.set("StartStopState", *c.stored);
        list.clear();
        if (c.fragments) list.add("x");
        timer.setEnabled(false);
        button.setCaption("Start Monitoring");
        restore();
        SCOPED_TRACE(c.stored.value_or("(absent)"));
        EXPECT_EQ(timer.enabled(), c.on);
        EXPECT_EQ(button.caption(), c.on ? "Stop Monitoring" : "Start Monitoring");
        EXPECT_EQ(settings.get("StartStopState"), c.stored);  // never rewritten
    }
}

}  // namespace
}  // namespace tamberlyn

#include "FormFixture.h"

namespace tamberlyn {
namespace {

using testing::FormTest;
const std::string S = kEntrySeparator;

TEST_F(FormTest, FirstStartWithAnEmptyStore) {
    Form1& f = start();
    EXPECT_EQ(f.window.caption(), "Tamberlyn");
    EXPECT_EQ(f.AppTitle, "Tamberlyn");
    EXPECT_EQ(f.PushButton2.caption(), "Start Monitoring");
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_EQ(f.Check6.value(), 0);
    EXPECT_EQ(f.Check8.value(), 0);
    EXPECT_FALSE(f.Check8.visible());
    EXPECT_EQ(f.ListView1.columnHeader(), " Windows Titles To Monitor and Close");
    EXPECT_EQ(f.ListView1.columnWidth(), 7000);
    EXPECT_EQ(f.MainWindowHandle, 1);
    EXPECT_FALSE(f.Loading);
    EXPECT_TRUE(fake.settings.writes.empty());  // "Minimized" is not written either
    EXPECT_TRUE(fake.logonEntry.calls.empty());
    EXPECT_EQ(fake.messages.count(), 0);

    // The icon is in the tray with its tip, registered after the hook.
    EXPECT_EQ(fake.trayLog.calls, (std::vector<std::string>{"install", "add"}));
    const fakes::TrayRequest& add = fake.notifyIcon.last();
    EXPECT_EQ(add.tip, "Tamberlyn");
    EXPECT_EQ(add.icon, 0x51u);
}

TEST_F(FormTest, RestoresListAndMonitoring) {
    fake.settings.set("Listview", "Calculator" + S + "Notepad" + S);
    fake.settings.set("StartStopState", "On");
    Form1& f = start();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Calculator", "Notepad"}));
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(f.PushButton2.caption(), "Stop Monitoring");
}

TEST_F(FormTest, StoredOnWithAnEmptyListOrAnOddValueRestoresNothing) {
    for (const char* state : {"On", "on"}) {
        fake.settings.values.clear();
        fake.settings.set("StartStopState", state);
        if (std::string(state) == "on") fake.settings.set("Listview", "x" + S);
        Form1& f = start();
        EXPECT_FALSE(f.Timer1.enabled()) << state;
        EXPECT_EQ(f.PushButton2.caption(), "Start Monitoring");
        EXPECT_EQ(stored("StartStopState"), state);
    }
}

struct StartupCase {
    const char* windowsStartup;
    const char* minimized;
    const char* startStop;
    bool list;
    // After start-up:
    int check6;
    int check8;
    bool check8Visible;
    const char* storedMinimized;
    bool monitoring;
    bool windowShown;
};

class StartupCombinations : public FormTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupCombinations, EndStateAfterLoad) {
    const StartupCase& c = GetParam();
    fake.settings.set("Windows Startup", c.windowsStartup);
    fake.settings.set("Minimized", c.minimized);
    fake.settings.set("StartStopState", c.startStop);
    if (c.list) fake.settings.set("Listview", "Calculator" + S);
    Form1& f = start();
    EXPECT_EQ(f.Check6.value(), c.check6);
    EXPECT_EQ(f.Check8.value(), c.check8);
    EXPECT_EQ(f.Check8.visible(), c.check8Visible);
    EXPECT_EQ(stored("Minimized"), c.storedMinimized);
    EXPECT_EQ(f.Timer1.enabled(), c.monitoring);
    EXPECT_EQ(f.PushButton2.caption(), c.monitoring ? "Stop Monitoring" : "Start Monitoring");
    EXPECT_EQ(stored("StartStopState"), c.startStop) << "start-up leaves the stored state alone";
    EXPECT_EQ(f.window.visible(), c.windowShown);
    EXPECT_EQ(f.window.state(), WindowState::Normal);
    EXPECT_EQ(f.MinimizedToTray, !c.windowShown);
    EXPECT_EQ(fake.messages.count(), 0);
    EXPECT_TRUE(fake.logonEntry.calls.empty());  // start-up never touches the log-on entry
    EXPECT_FALSE(f.Loading);
}

INSTANTIATE_TEST_SUITE_P(
    FormLoad, StartupCombinations,
    ::testing::Values(
        // Start in tray without log-on: the option is cleared, hidden and stored as off.
        StartupCase{"Off", "On", "Off", true, 0, 0, false, "Off", false, true},
        // Both on: hidden in the tray, monitoring as it was, on or off.
        StartupCase{"On", "On", "On", true, 1, 1, true, "On", true, false},
        StartupCase{"On", "On", "Off", true, 1, 1, true, "On", false, false},
        // Both on, empty list: nothing to watch, nothing asked.
        StartupCase{"On", "On", "On", false, 1, 1, true, "On", false, false},
        // Log-on only: Check8 shown, clear, nothing else happens.
        StartupCase{"On", "Off", "On", true, 1, 0, true, "Off", true, true}));

TEST_F(FormTest, LoadRestoresListMonitoringTrayAndOptionsInThatOrder) {
    fake.settings.set("Listview", "Calculator" + S + "Notepad" + S);
    fake.settings.set("StartStopState", "On");
    fake.settings.set("Windows Startup", "On");
    // What the load has done so far, whenever it reads a setting.
    std::vector<std::string> seen;
    fake.settings.beforeRead = [&](const std::string& key) {
        const Form1& f = *form;
        std::string state = key + ": " + f.window.caption() + ", " + std::to_string(f.ListView1.count()) + " rows";
        if (!f.ListView1.columnHeader().empty()) state += ", header";
        if (f.Timer1.enabled()) state += ", monitoring";
        for (const std::string& call : fake.trayLog.calls) state += ", tray " + call;
        if (f.MainWindowHandle != 0) state += ", handle";
        if (f.Check6.value() == 1) state += ", log-on ticked";
        if (!f.Loading) state += ", not loading";
        seen.push_back(state);
    };
    start();
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Listview: Tamberlyn, 0 rows",
                        "StartStopState: Tamberlyn, 2 rows, header",
                        "Windows Startup: Tamberlyn, 2 rows, header, monitoring, tray install, tray add, handle",
                        "Minimized: Tamberlyn, 2 rows, header, monitoring, tray install, tray add, handle, "
                        "log-on ticked",
                    }));
    EXPECT_FALSE(form->Loading);
}

TEST_F(FormTest, HomePageOpensOnlyOnSeven) {
    for (double fraction : {0.06, 0.0599, 0.07, 0.99}) {
        fake.launcher.pages.clear();
        fake.random.fraction = fraction;
        start();
        const std::vector<std::string> expected =
            fraction == 0.06 ? std::vector<std::string>{kHomePage} : std::vector<std::string>{};
        EXPECT_EQ(fake.launcher.pages, expected) << fraction;
    }
}

TEST_F(FormTest, FailingStepsAreReportedInLoadOrderAndTheRestStillRuns) {
    fake.files.files = {"C:\\Apps\\Tamberlyn\\x\\o.cjs", "C:\\Apps\\Tamberlyn\\HAND-M.CUR"};
    fake.skin.failLoad = true;
    fake.desktop.failCursor = true;
    fake.settings.failReads = true;
    Form1& f = start();
    // The settings fail at 112, 136, 156 and 158 alike: one box says so.
    EXPECT_EQ(reportedLines(),
              (std::vector<std::string>{"Form1.Form_Load:100", "Form1.Form_Load:110", "Form1.Form_Load:112"}));
    EXPECT_TRUE(f.cSysTray1.iconPresent());
    EXPECT_EQ(f.MainWindowHandle, 1);
    EXPECT_FALSE(f.Loading);
}

TEST_F(FormTest, CloseStopsMonitoringRemovesTheIconAndKeepsTheStoredState) {
    fake.settings.set("Listview", "a" + S);
    fake.settings.set("StartStopState", "On");
    Form1& f = start();
    bool timerOffDuringPump = false;
    fake.events.post([&] { timerOffDuringPump = !f.Timer1.enabled() && !fake.notifyIcon.iconShown; });
    f.Form_QueryUnload();
    EXPECT_TRUE(timerOffDuringPump);
    EXPECT_EQ(fake.events.passes, 2);
    EXPECT_EQ(fake.desktop.ended, 1);
    EXPECT_EQ(fake.trayLog.calls.back(), "remove");
    EXPECT_EQ(stored("StartStopState"), "On");
}

}  // namespace
}  // namespace tamberlyn

// Hiding in the notification area, at a minimize or from the start, and coming back through the icon.
//
// Under Wine on a bare X display (no tray host), Explorer keeps Shell_TrayWnd and shows the
// icons in a small window of its own, "Wine System Tray", where a click on the icon reaches
// the program as the shell's callback message. The tests click it there with xdotool, and
// also post that callback (0x465 with WM_LBUTTONUP) to the control window as the shell does.

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

constexpr UINT kTrayCallback = 0x465;

bool Restored(HWND window) { return Visible(window) && !IsIconic(window); }

TEST_F(ProgramTest, MinimizingHidesInTheTrayWhereMonitoringGoesOn) {
    StoreSetting(L"Listview", L"notepad||||||||---|||");
    StoreSetting(L"StartStopState", L"On");
    Program program;
    ASSERT_TRUE(program.start());

    program.minimize();
    ASSERT_TRUE(WaitUntil([&] { return !Visible(program.window()); }));
    EXPECT_TRUE(TrayIconPresent(program.trayControl()));
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));

    ASSERT_TRUE(Xdotool(L"search --sync --onlyvisible --name \"Wine System Tray\" mousemove --window %1 8 10 click 1"));
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));

    program.minimize();
    ASSERT_TRUE(WaitUntil([&] { return !Visible(program.window()); }));
    PostMessageW(program.trayControl(), kTrayCallback, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));
    EXPECT_TRUE(TrayIconPresent(program.trayControl())) << "the icon stays while the program runs";
}

TEST_F(ProgramTest, StartsHiddenInTheTrayWhenAskedAndMonitorsAsBefore) {
    StoreSetting(L"Listview", L"notepad||||||||---|||");
    StoreSetting(L"StartStopState", L"On");
    StoreSetting(L"Windows Startup", L"On");
    StoreSetting(L"Minimized", L"On");
    Program program;
    ASSERT_TRUE(program.launch());
    ASSERT_TRUE(program.waitForLoad());
    EXPECT_TRUE(program.checked(program.button(L"Start in system tray")));
    EXPECT_NE(program.button(L"Stop Monitoring"), nullptr);
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));
    EXPECT_FALSE(Visible(program.window()));
    EXPECT_EQ(StoredSetting(L"StartStopState"), L"On");

    PostMessageW(program.trayControl(), kTrayCallback, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));
}

}  // namespace
}  // namespace tamberlyn::programtest

// Hiding in the notification area, at a minimize or from the start, and coming back through the icon.
//
// Under Wine on a bare X display (no tray host), Explorer keeps Shell_TrayWnd and shows the
// icons in a small window of its own, "Wine System Tray", where a click on the icon reaches
// the program as the shell's callback message. The tests click it there with xdotool, and
// also post that callback (0x465 with WM_LBUTTONUP) to the control window as the shell does.

#include "ProgramDriver.h"

#include <chrono>
#include <thread>

namespace tamberlyn::programtest {
namespace {

constexpr UINT kTrayCallback = 0x465;

bool Restored(HWND window) { return Visible(window) && !IsIconic(window); }

// The active window of the program's thread holds the keyboard focus, itself or in a child.
bool Focused(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return false;
    return thread.hwndActive == window && (thread.hwndFocus == window || IsChild(window, thread.hwndFocus));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A click on the icon in Explorer's "Wine System Tray" window: button 1 left, 3 right.
bool ClickTrayIcon(int button) {
    return Xdotool(L"search --sync --onlyvisible --name \"Wine System Tray\" mousemove --window %1 8 10 click " +
                   std::to_wstring(button));
}

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

    ASSERT_TRUE(ClickTrayIcon(1));
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));

    program.minimize();
    ASSERT_TRUE(WaitUntil([&] { return !Visible(program.window()); }));
    PostMessageW(program.trayControl(), kTrayCallback, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));
    EXPECT_TRUE(TrayIconPresent(program.trayControl())) << "the icon stays while the program runs";
}

TEST_F(ProgramTest, MinimizingThenARightClickOnTheIconBringsTheWindowBackWhereItWas) {
    Program program;
    ASSERT_TRUE(program.start());
    // Moved by the user away from where the program placed it.
    SetWindowPos(program.window(), nullptr, 123, 87, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT before = WindowRect(program.window());
    ASSERT_EQ(before.left, 123);

    program.minimize();
    ASSERT_TRUE(WaitUntil([&] { return !Visible(program.window()); }));
    ASSERT_TRUE(ClickTrayIcon(3));
    EXPECT_TRUE(WaitUntil([&] { return Restored(program.window()); }));
    EXPECT_TRUE(WaitUntil([&] { return Focused(program.window()); }));
    EXPECT_TRUE(WindowRect(program.window()) == before);
}

TEST_F(ProgramTest, MinimizingThenRestoredDuringTheBalloonTheWindowStaysShownAndFocused) {
    Program program;
    ASSERT_TRUE(program.start());
    ASSERT_TRUE(WaitUntil([&] { return Focused(program.window()); }));
    const RECT before = WindowRect(program.window());

    // The minimize box sends this and waits for it: user32's minimize ends long before the
    // program's 5 s wait for its first balloon.
    const auto minimized = std::chrono::steady_clock::now();
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(program.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_NORMAL, 3000, &result), 0)
        << "the minimize lasted as long as the balloon's wait";
    ASSERT_TRUE(WaitUntil([&] { return !Visible(program.window()); }));
    // The program waits 5 s for its first balloon; the user clicks the icon meanwhile.
    PostMessageW(program.trayControl(), kTrayCallback, 0, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return Restored(program.window()); }));
    EXPECT_LT(std::chrono::steady_clock::now() - minimized, std::chrono::seconds(4)) << "restored after the wait";

    // Past the balloon's wait: the minimize is long over, and nothing took the window away.
    std::this_thread::sleep_until(minimized + std::chrono::seconds(7));
    EXPECT_TRUE(Restored(program.window()));
    EXPECT_TRUE(Focused(program.window()));
    EXPECT_EQ(GetForegroundWindow(), program.window());
    EXPECT_TRUE(WindowRect(program.window()) == before);
}

TEST_F(ProgramTest, StartsHiddenInTheTrayWhenAskedAndMonitorsAsBefore) {
    StoreLogOnStartInTray();
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

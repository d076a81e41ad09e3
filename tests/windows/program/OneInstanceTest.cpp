// One Tamberlyn per user: a second start brings the running one forward and ends.

#include "ProgramDriver.h"

#include <sddl.h>

#include <memory>

namespace tamberlyn::programtest {
namespace {

bool Restored(HWND window) { return Visible(window) && !IsIconic(window); }

::testing::AssertionResult HandsOver(Program& second) {
    if (!second.waitForExit()) return ::testing::AssertionFailure() << "the second start still runs";
    if (second.exitCode() != 0) return ::testing::AssertionFailure() << "exit status " << second.exitCode();
    return ::testing::AssertionSuccess();
}

TEST_F(ProgramTest, ASecondStartBringsTheFirstBackFromTheTrayAndEnds) {
    // As the log-on start leaves it: hidden in the tray, monitoring.
    StoreLogOnStartInTray();
    Program first;
    ASSERT_TRUE(first.launch());
    ASSERT_TRUE(first.waitForLoad());
    ASSERT_FALSE(Visible(first.window()));

    {
        Program second;
        ASSERT_TRUE(second.launch());
        EXPECT_TRUE(HandsOver(second));
    }
    EXPECT_TRUE(WaitUntil([&] { return Restored(first.window()); }));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.window(); }));

    // Minimized into the tray by the user, and started again from the Start menu.
    first.minimize();
    ASSERT_TRUE(WaitUntil([&] { return !Visible(first.window()); }));
    {
        Program second;
        ASSERT_TRUE(second.launch());
        EXPECT_TRUE(HandsOver(second));
    }
    EXPECT_TRUE(WaitUntil([&] { return Restored(first.window()); }));
    EXPECT_TRUE(TrayIconPresent(first.trayControl())) << "one icon, the first's, stays";

    // The one instance still watches, alone.
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));
    EXPECT_FALSE(first.exited());
}

TEST_F(ProgramTest, ASecondStartBringsForwardAWindowBehindOthers) {
    Program first;
    ASSERT_TRUE(first.start());
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    ASSERT_TRUE(notepad.showed());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != first.window(); }));
    {
        Program second;
        ASSERT_TRUE(second.launch());
        EXPECT_TRUE(HandsOver(second));
    }
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.window(); }));
}

TEST_F(ProgramTest, ASecondStartBringsForwardTheBoxTheFirstWaitsOn) {
    StoreSetting(L"Listview", L"notepad||||||||---|||");
    Program first;
    ASSERT_TRUE(first.start());
    Program::Click(first.button(L"Clear List"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = first.messageBox()) != nullptr; }));
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    ASSERT_TRUE(notepad.showed());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != box; }));
    {
        Program second;
        ASSERT_TRUE(second.launch());
        EXPECT_TRUE(HandsOver(second));
    }
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
    EXPECT_FALSE(IsWindowEnabled(first.window())) << "the box still waits for its answer";
}

// Asked while its load sequence waits on a report, it comes forward once the load is over,
// past the load's own hiding in the tray.
TEST_F(ProgramTest, ASecondStartDuringTheLoadTakesEffectAfterIt) {
    StoreSetting(L"Windows Startup", L"On");
    StoreSetting(L"Minimized", L"On");
    Program first(SkinnedProgram(L"C:\\Misskinned", "Window = blue\r\n"));
    ASSERT_TRUE(first.launch());
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (report = first.messageBox()) != nullptr; }));
    {
        Program second;
        ASSERT_TRUE(second.launch());
        EXPECT_TRUE(HandsOver(second));
    }
    EXPECT_TRUE(IsWindow(report));
    first.answer(report, IDOK);
    ASSERT_TRUE(first.waitForLoad());
    EXPECT_TRUE(WaitUntil([&] { return Restored(first.window()); }));
}

TEST_F(ProgramTest, AKilledInstanceDoesNotStopTheNextStart) {
    {
        Program first;
        ASSERT_TRUE(first.start());
        first.kill();
    }
    Program next;
    ASSERT_TRUE(next.start());
    EXPECT_FALSE(next.exited());
}

// ---- An instance still starting: the lock is taken, the window not there yet -------------

std::wstring UserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<unsigned char[]>(size);
    GetTokenInformation(token, TokenUser, buffer.get(), size, &size);
    CloseHandle(token);
    wchar_t* text = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text);
    std::wstring sid = text;
    LocalFree(text);
    return sid;
}

// What a starting instance holds first: the per-user lock.
class HeldLock {
public:
    HeldLock()
        : mutex_(CreateMutexW(nullptr, TRUE, (L"Local\\Quillmark.Tamberlyn." + UserSid()).c_str())),
          created_(mutex_ && GetLastError() != ERROR_ALREADY_EXISTS) {}
    ~HeldLock() {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool held() const { return created_; }

private:
    HANDLE mutex_;
    bool created_;
};

// A main window as the starting instance makes it, late; it counts the starts handed to it.
class LateWindow {
public:
    LateWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TamberlynMainWindow";
        RegisterClassW(&windowClass);
        hwnd_ = CreateWindowW(L"TamberlynMainWindow", L"Tamberlyn", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    }
    ~LateWindow() {
        DestroyWindow(hwnd_);
        UnregisterClassW(L"TamberlynMainWindow", GetModuleHandleW(nullptr));
    }
    LateWindow(const LateWindow&) = delete;
    LateWindow& operator=(const LateWindow&) = delete;

    static inline int starts = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == RegisterWindowMessageW(L"Quillmark.Tamberlyn.AnotherStart")) {
            ++starts;
            return 0x54414D42;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND hwnd_;
};

void PumpFor(std::chrono::milliseconds time) {
    WaitUntil(
        [] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            return false;
        },
        time);
}

TEST_F(ProgramTest, AStartWaitsForTheWindowOfAnInstanceStillStarting) {
    HeldLock lock;
    ASSERT_TRUE(lock.held());
    Program second;
    ASSERT_TRUE(second.launch());
    PumpFor(std::chrono::milliseconds(2000));
    EXPECT_FALSE(second.exited()) << "it gave up on an instance that is only slow";
    EXPECT_FALSE(second.hasMainWindow()) << "never a second instance of its own";

    LateWindow::starts = 0;
    LateWindow window;
    EXPECT_TRUE(WaitUntil([&] {
        PumpFor(std::chrono::milliseconds(50));
        return second.exited();
    }));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_EQ(LateWindow::starts, 1);
}

TEST_F(ProgramTest, AnInstanceThatNeverAnswersIsReportedNotDoubled) {
    HeldLock lock;
    ASSERT_TRUE(lock.held());
    const Finished finished = RunToEnd(L"");
    ASSERT_TRUE(finished.ended);
    EXPECT_EQ(finished.exitCode, 1u);
    EXPECT_EQ(finished.err,
              "Tamberlyn is already running but does not answer. End it in Task Manager, then start Tamberlyn "
              "again.\r\n");
}

}  // namespace
}  // namespace tamberlyn::programtest

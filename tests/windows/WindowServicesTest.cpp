// Win32WindowServices against real windows: those of test_windows.exe, windows of this
// thread, and Wine's notepad.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "FakeMessageBoxes.h"
#include "TestWindows.h"
#include "monitor/ScanCycle.h"
#include "platform/EventLoop.h"
#include "platform/win32/Win32TextCase.h"
#include "platform/win32/Win32WindowServices.h"

namespace tamberlyn {
namespace {

using namespace std::chrono_literals;
using wintest::PumpFor;
using wintest::TestWindows;
using wintest::ToHwnd;
using wintest::WaitUntil;

const wchar_t* const kLongTitle = L"Ma belle école — привет, Tamberlyn sees this whole long window title";
const char* const kLongTitleCut = "Ma belle école — привет, Tamberlyn sees this whole";
const char* const kLongTitleWhole = "Ma belle école — привет, Tamberlyn sees this whole long window title";
// U+1F600 takes the 50th and 51st UTF-16 units: the cut leaves half of it, which must go.
const wchar_t* const kSplitTitle = L"Smiles xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\U0001F600 and more after the cut";
const char* const kSplitTitleCut = "Smiles xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

HandleList TopLevelWindows(WindowServices& windows) { return windows.topLevelWindows(); }

bool Exists(WindowHandle window) { return IsWindow(ToHwnd(window)) != FALSE; }

// The pump the scan cycle ends with, as the program has it.
class MessagePump final : public EventLoop {
public:
    void processPendingEvents() override { WaitUntil([] { return true; }); }
    void waitForEventsUntil(Clock::time_point deadline) override {
        WaitUntil([&] { return Clock::now() >= deadline; });
    }
    Clock::time_point now() const override { return Clock::now(); }
};

// The answer a message box of test_windows.exe gets, as if clicked.
void Answer(WindowHandle box, int button) {
    PostMessageW(ToHwnd(box), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

class WindowServicesTest : public ::testing::Test {
protected:
    void scan(std::initializer_list<const char*> fragments) {
        WatchList list;
        for (const char* fragment : fragments) list.add(fragment);
        RunScanCycle(list, {services, textCase, pump, reports, memory, "Form1", "Timer1_Timer"});
    }

    Win32WindowServices services;
    Win32TextCase textCase;
    MessagePump pump;
    fakes::FakeMessageBoxes boxes;  // the error report, which none of these scans may show
    ErrorReports reports{boxes};
    ScanMemory memory;
};

TEST_F(WindowServicesTest, EnumeratesEveryTopLevelWindowOnceWithItsUnicodeTitle) {
    TestWindows other;
    ASSERT_TRUE(other.start({{L"closes", kLongTitle}, {L"hidden", kSplitTitle}, {L"closes", L""}}));
    const WindowHandle longTitle = other[0], splitTitle = other[1], untitled = other[2];

    const HandleList all = TopLevelWindows(services);
    for (const WindowHandle window : {longTitle, splitTitle, untitled}) {
        EXPECT_EQ(std::count(all.begin(), all.end(), window), 1) << "window " << window;
    }
    // The handles are whole: they work again when handed back.
    for (const WindowHandle window : all) EXPECT_TRUE(Exists(window)) << "window " << window;

    EXPECT_EQ(services.readTitle(longTitle, kTitleCharacters), kLongTitleCut);
    EXPECT_EQ(services.readTitle(longTitle, 200), kLongTitleWhole);
    EXPECT_EQ(services.readTitle(splitTitle, kTitleCharacters), kSplitTitleCut);
    EXPECT_EQ(services.readTitle(untitled, kTitleCharacters), "");
    EXPECT_EQ(services.readTitle(longTitle, 0), "");

    EXPECT_EQ(services.ownerOf(longTitle), 0);
    EXPECT_FALSE(services.isDesktopShell(longTitle));
    EXPECT_FALSE(services.closePending(longTitle));

    other.terminate();
    ASSERT_TRUE(WaitUntil([&] { return !Exists(longTitle); }));
    EXPECT_EQ(services.readTitle(longTitle, kTitleCharacters), "");
    const HandleList after = TopLevelWindows(services);
    EXPECT_EQ(std::count(after.begin(), after.end(), longTitle), 0);
}

TEST_F(WindowServicesTest, AWindowThatAgreesClosesAndIsNoLongerPending) {
    TestWindows other;
    ASSERT_TRUE(other.start({{L"closes", L"Closes at once"}, {L"hidden", L"Closes unseen"}}));

    services.requestClose(other[0]);
    services.requestClose(other[1]);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(other[0]) && !Exists(other[1]); }));
    EXPECT_TRUE(WaitUntil([&] { return !services.closePending(other[0]) && !services.closePending(other[1]); }));
    EXPECT_EQ(other.events("close", other[0]), 1);
    EXPECT_EQ(other.events("close", other[1]), 1);

    // Windows that are gone are no error, and nothing waits for them.
    services.requestClose(other[0]);
    EXPECT_FALSE(services.closePending(other[0]));
    services.requestClose(0);
    EXPECT_FALSE(services.closePending(0));
}

TEST_F(WindowServicesTest, AWindowAskingAQuestionIsAskedOnceAndFreeAgainOnceAnswered) {
    TestWindows other;
    ASSERT_TRUE(other.start({{L"asks", L"Draft — École Привет"}}));
    const WindowHandle asking = other[0];

    // The scan matches the window and, later, its question, which has the same title.
    scan({"école привет"});
    WindowHandle question = 0;
    ASSERT_TRUE(WaitUntil([&] {
        const auto owned = wintest::OwnedWindows(asking);
        question = owned.empty() ? 0 : owned.front();
        return question != 0;
    }));
    EXPECT_EQ(services.ownerOf(question), asking);
    EXPECT_TRUE(services.closePending(asking));
    EXPECT_FALSE(services.closePending(question));
    EXPECT_TRUE(CloseRequestPending(services, asking));
    EXPECT_TRUE(CloseRequestPending(services, question));

    for (int i = 0; i < 5; ++i) {
        scan({"école привет"});
        PumpFor(100ms);
    }
    EXPECT_EQ(other.events("close", asking), 1);
    EXPECT_EQ(wintest::OwnedWindows(asking).size(), 1u);
    EXPECT_TRUE(services.closePending(asking));

    Answer(question, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !services.closePending(asking); }));
    EXPECT_EQ(other.answers(asking), std::vector<int>{IDCANCEL});
    EXPECT_TRUE(Exists(asking));
    EXPECT_FALSE(CloseRequestPending(services, asking));

    // Free again: the next scan asks once more, and this time the answer is yes.
    scan({"école привет"});
    ASSERT_TRUE(WaitUntil([&] { return wintest::OwnedWindows(asking).size() == 1; }));
    EXPECT_EQ(other.events("close", asking), 2);
    Answer(wintest::OwnedWindows(asking).front(), IDYES);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(asking) && !services.closePending(asking); }));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(WindowServicesTest, AHungWindowBlocksNothingAndStaysPendingWhileItExists) {
    TestWindows other;
    ASSERT_TRUE(other.start({{L"hung", L"Hung window"}, {L"closes", L"Next in line"}}));
    const WindowHandle hung = other[0], next = other[1];

    // Both titles are read without the hung one holding anything up.
    EXPECT_EQ(services.readTitle(hung, kTitleCharacters), "Hung window");
    services.requestClose(hung);
    services.requestClose(next);
    EXPECT_TRUE(services.closePending(hung));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(next); }));

    PumpFor(500ms);
    EXPECT_TRUE(services.closePending(hung));
    EXPECT_TRUE(CloseRequestPending(services, hung));
    EXPECT_TRUE(Exists(hung));

    // This thread still answers messages sent from elsewhere.
    const HWND own = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    std::atomic<bool> answered{false};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(own, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
    });
    WaitUntil([&] { return answered.load(); });
    sender.join();
    EXPECT_TRUE(answered);
    DestroyWindow(own);

    // A window that goes without ever answering frees its entry: its handle may come back.
    other.terminate();
    ASSERT_TRUE(WaitUntil([&] { return !Exists(hung); }));
    EXPECT_FALSE(services.closePending(hung));
}

// A window of this very thread, like the program's own boxes: the request is handled
// inside the call, and a scan run meanwhile must not ask again.
struct OwnWindow {
    Win32WindowServices* services = nullptr;
    int closeRequests = 0;
    bool pendingWhileHandling = false;
    bool closes = false;
};

LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        auto& own = *reinterpret_cast<OwnWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        ++own.closeRequests;
        const WindowHandle self = wintest::ToHandle(hwnd);
        own.pendingWhileHandling = own.services->closePending(self);
        own.services->requestClose(self);  // as a scan from inside a modal loop would
        if (own.closes) DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowServicesTest, AWindowOfThisThreadIsAskedOnceAndNotPendingAfterwards) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = OwnWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TamberlynOwnWindow";
    RegisterClassW(&windowClass);

    for (const bool closes : {false, true}) {
        OwnWindow own{&services, 0, false, closes};
        const HWND hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"Own window", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                          100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(hwnd, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&own));
        const WindowHandle self = wintest::ToHandle(hwnd);

        services.requestClose(self);
        EXPECT_EQ(own.closeRequests, 1) << "closes: " << closes;
        EXPECT_TRUE(own.pendingWhileHandling) << "closes: " << closes;
        EXPECT_FALSE(services.closePending(self)) << "closes: " << closes;
        EXPECT_EQ(IsWindow(hwnd) != FALSE, !closes);

        // Asked and answered: a later request goes through again.
        if (!closes) {
            services.requestClose(self);
            EXPECT_EQ(own.closeRequests, 2);
            DestroyWindow(hwnd);
        }
    }
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

TEST_F(WindowServicesTest, TheDesktopAndTaskBarAreShellAndOtherWindowsAreNot) {
    const HWND shell = GetShellWindow();
    if (shell) {
        EXPECT_TRUE(services.isDesktopShell(wintest::ToHandle(shell)));
    } else {
        std::printf("Wine has no shell window here; only the shell window classes are checked.\n");
    }

    TestWindows other;
    ASSERT_TRUE(other.start({{L"class:Shell_TrayWnd", L""},
                             {L"class:Progman", L"Program Manager"},
                             {L"class:WorkerW", L""},
                             {L"class:Shell_SecondaryTrayWnd", L""},
                             {L"class:NotifyIconOverflowWindow", L"Notification Overflow"},
                             {L"class:TopLevelWindowForOverflowXamlIsland", L"System tray overflow window."},
                             {L"class:Shell_TrayWndLookalike", L""},
                             {L"closes", L"Program Manager"}}));
    for (std::size_t i = 0; i < 6; ++i) EXPECT_TRUE(services.isDesktopShell(other[i])) << wintest::ClassOf(other[i]);
    EXPECT_FALSE(services.isDesktopShell(other[6]));
    EXPECT_FALSE(services.isDesktopShell(other[7]));
    EXPECT_FALSE(services.isDesktopShell(0));
}

// Wine's notepad in a process of its own, ended at the end of the test if still running.
class Notepad {
public:
    Notepad() {
        wchar_t commandLine[] = L"notepad.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
    }
    ~Notepad() {
        if (!started_) return;
        if (!exited()) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    bool started() const { return started_; }
    bool exited() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // Its main window, once shown with its title.
    WindowHandle window(WindowServices& services) const {
        for (const WindowHandle candidate : TopLevelWindows(services)) {
            DWORD process = 0;
            GetWindowThreadProcessId(ToHwnd(candidate), &process);
            if (process == process_.dwProcessId && IsWindowVisible(ToHwnd(candidate)) &&
                services.readTitle(candidate, kTitleCharacters) == "Untitled - Notepad")
                return candidate;
        }
        return 0;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

TEST_F(WindowServicesTest, NotepadIsFoundByItsTitleAndClosesOnRequest) {
    Notepad notepad;
    if (!notepad.started()) GTEST_SKIP() << "Wine has no notepad.exe here";
    WindowHandle window = 0;
    ASSERT_TRUE(WaitUntil([&] { return (window = notepad.window(services)) != 0; }));
    services.requestClose(window);
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));
    EXPECT_TRUE(WaitUntil([&] { return !services.closePending(window); }));
}

TEST_F(WindowServicesTest, NotepadWithUnsavedTextKeepsItsQuestionOpenUntilTheUserAnswers) {
    Notepad notepad;
    if (!notepad.started()) GTEST_SKIP() << "Wine has no notepad.exe here";
    WindowHandle window = 0;
    ASSERT_TRUE(WaitUntil([&] { return (window = notepad.window(services)) != 0; }));
    const HWND edit = FindWindowExW(ToHwnd(window), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Unsaved words"));
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);

    const auto question = [&]() -> WindowHandle {
        const auto owned = wintest::OwnedWindows(window);
        return owned.empty() ? 0 : owned.front();
    };
    // The question is titled "Notepad" too: scans must leave it to the user.
    scan({"notepad"});
    WindowHandle asked = 0;
    ASSERT_TRUE(WaitUntil([&] { return (asked = question()) != 0; }));
    for (int i = 0; i < 5; ++i) {
        scan({"notepad"});
        PumpFor(100ms);
    }
    EXPECT_EQ(question(), asked);
    EXPECT_TRUE(Exists(asked));
    EXPECT_TRUE(CloseRequestPending(services, window));
    EXPECT_TRUE(CloseRequestPending(services, asked));

    // Cancelled: notepad stays, and the next scan asks again.
    PostMessageW(ToHwnd(asked), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !services.closePending(window); }));
    EXPECT_FALSE(notepad.exited());
    scan({"notepad"});
    ASSERT_TRUE(WaitUntil([&] { return (asked = question()) != 0; }));

    // "Don't save" ends it.
    PostMessageW(ToHwnd(asked), WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));
    EXPECT_EQ(boxes.count(), 0);
}

}  // namespace
}  // namespace tamberlyn

// The program's own Win32 adapters, in this process, on real windows.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "FakeEventLoop.h"
#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32NotifyRecord.h"
#include "platform/win32/Win32ProgramFiles.h"
#include "platform/win32/Win32SkinEngine.h"
#include "ProgramDriver.h"
#include "tray/cSysTray.h"

namespace tamberlyn::programtest {
namespace {

using namespace std::chrono_literals;

// A scratch folder of this test program's own, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"tamberlyn-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        std::wstring from = path_ + L'\0';
        SHFILEOPSTRUCTW remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = from.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationW(&remove);
    }
    std::wstring file(const std::wstring& name, const std::string& bytes, DWORD attributes = 0) const {
        const std::wstring path = path_ + L"\\" + name;
        const HANDLE handle =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        if (attributes) SetFileAttributesW(path.c_str(), attributes);
        return path;
    }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

// A plain top-level window whose procedure counts what it receives.
struct CountingWindow {
    static inline std::vector<UINT> received;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= WM_APP) received.push_back(message);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // A message-only window hears no broadcasts: only what a test sends it.
    explicit CountingWindow(bool messageOnly = false) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TamberlynCountingWindow";
        RegisterClassW(&windowClass);
        received.clear();
        hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                               messageOnly ? HWND_MESSAGE : nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~CountingWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

// ---- The shell's record and the notify icon ---------------------------

TEST(NotifyRecordTest, TextsAreCutToTheirFieldsNeverInsideACharacter) {
    NOTIFYICONDATAW record = ShellNotifyRecord(nullptr, 3);
    EXPECT_EQ(record.cbSize, offsetof(NOTIFYICONDATAW, guidItem)) << "the shell 5.0 layout";
#ifdef _WIN64
    EXPECT_EQ(record.cbSize, 952u);
#endif
    SetTip(record, std::string(200, 'a'));
    // A character outside the BMP, two UTF-16 units, that would straddle the field's end.
    SetBalloon(record, std::string(62, 'b') + "\xF0\x9F\x98\x80", "Gr\xC3\xB6\xC3\x9F" "e", 0);
    EXPECT_EQ(std::wstring(record.szTip), std::wstring(127, L'a'));
    EXPECT_EQ(std::wstring(record.szInfo), L"Gr\u00F6\u00DFe");
    EXPECT_EQ(std::wstring(record.szInfoTitle), std::wstring(62, L'b'));
}

// What reaches Shell_NotifyIconW, kept for a look afterwards.
struct ShellCalls {
    struct Call {
        DWORD operation;
        NOTIFYICONDATAW record;
    };
    std::vector<Call> calls;
    Win32NotifyIcon::ShellCall recorder() {
        return [this](DWORD operation, NOTIFYICONDATAW& record) { calls.push_back({operation, record}); };
    }
};

TEST(NotifyIconTest, TheTrayControlsRequestsReachTheShellAsItsRecords) {
    ShellCalls shell;
    Win32NotifyIcon icon(GetModuleHandleW(nullptr), shell.recorder());
    const HWND control = icon.window();
    fakes::FakeEventLoop events;
    {
        cSysTray tray(icon, events);
        tray.setInTray(true);  // neither tip nor icon yet
        tray.setTrayTip("Tamberlyn");
        tray.setTrayIcon({PictureType::Icon, 0x51});
        tray.ShowBalloon("text", "title", 5, false);  // up for 5 s, then taken down
        tray.setInTray(false);
        tray.setInTray(true);
    }
    ASSERT_EQ(shell.calls.size(), 8u);
    for (const ShellCalls::Call& call : shell.calls) {
        EXPECT_EQ(call.record.cbSize, kNotifyRecordSize);
        EXPECT_EQ(call.record.hWnd, control);
        EXPECT_EQ(call.record.uID, 0u);
    }
    const auto flagsAt = [&](std::size_t i) {
        return std::make_pair(shell.calls[i].operation, shell.calls[i].record.uFlags);
    };
    EXPECT_EQ(flagsAt(0), std::make_pair(DWORD{NIM_ADD}, UINT{NIF_MESSAGE})) << "no NIF_TIP for an empty tip";
    EXPECT_EQ(shell.calls[0].record.uCallbackMessage, 1125u);
    EXPECT_EQ(flagsAt(1), std::make_pair(DWORD{NIM_MODIFY}, UINT{NIF_TIP}));
    EXPECT_EQ(std::wstring(shell.calls[1].record.szTip), L"Tamberlyn");
    EXPECT_EQ(flagsAt(2), std::make_pair(DWORD{NIM_MODIFY}, UINT{NIF_ICON}));
    EXPECT_EQ(IconOf(shell.calls[2].record), 0x51u);

    const NOTIFYICONDATAW& shown = shell.calls[3].record;
    EXPECT_EQ(flagsAt(3), std::make_pair(DWORD{NIM_MODIFY}, UINT{NIF_INFO}));
    EXPECT_EQ(std::wstring(shown.szInfoTitle) + L"|" + shown.szInfo, L"title|text");
    EXPECT_EQ(shown.uTimeout, 5000u);
    const NOTIFYICONDATAW& takenDown = shell.calls[4].record;
    EXPECT_EQ(flagsAt(4), std::make_pair(DWORD{NIM_MODIFY}, UINT{NIF_INFO}));
    EXPECT_EQ(std::wstring(takenDown.szInfoTitle) + takenDown.szInfo, L"");
    EXPECT_EQ(takenDown.uTimeout, 5000u) << "the clearing call keeps the time";

    EXPECT_EQ(flagsAt(5), std::make_pair(DWORD{NIM_DELETE}, UINT{0}));
    EXPECT_EQ(flagsAt(6), std::make_pair(DWORD{NIM_ADD}, UINT{NIF_MESSAGE | NIF_ICON | NIF_TIP}));
    EXPECT_EQ(shell.calls[6].record.uCallbackMessage, 1125u);
    EXPECT_EQ(IconOf(shell.calls[6].record), 0x51u);
    EXPECT_EQ(std::wstring(shell.calls[6].record.szTip), L"Tamberlyn");
    EXPECT_EQ(flagsAt(7), std::make_pair(DWORD{NIM_DELETE}, UINT{0}));
}

TEST(NotifyIconTest, ANewTaskBarGetsBackEveryIconNotDeletedAsChangedSince) {
    ShellCalls shell;
    Win32NotifyIcon icon(GetModuleHandleW(nullptr), [&shell](DWORD operation, NOTIFYICONDATAW& record) {
        shell.calls.push_back({operation, record});
        Win32NotifyIcon::CallShell(operation, record);
    });
    const HWND control = icon.window();
    // Top-level (TaskbarCreated is broadcast to those only), hidden and untitled.
    EXPECT_EQ(GetAncestor(control, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(Visible(control));
    EXPECT_EQ(GetWindowTextLengthW(control), 0);
    EXPECT_TRUE(icon.trayAvailable()) << "Wine's Explorer keeps a Shell_TrayWnd";

    icon.addIcon(0, 0, std::nullopt);
    ASSERT_TRUE(TrayIconPresent(control));
    icon.changeTip(0, "Tamberlyn");
    icon.showBalloon(0, "title", "text", 0);

    RemoveTrayIcon(control);  // the task bar went away, and its icons with it
    ASSERT_FALSE(TrayIconPresent(control));
    shell.calls.clear();
    SendMessageW(control, icon.taskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(TrayIconPresent(control));
    ASSERT_EQ(shell.calls.size(), 1u);
    const NOTIFYICONDATAW& again = shell.calls[0].record;
    EXPECT_EQ(shell.calls[0].operation, DWORD{NIM_ADD});
    EXPECT_EQ(again.uFlags, UINT{NIF_MESSAGE | NIF_TIP}) << "the tip given since, not the balloon";
    EXPECT_EQ(again.uCallbackMessage, 1125u);
    EXPECT_EQ(std::wstring(again.szTip), L"Tamberlyn");

    icon.deleteIcon(0);
    ASSERT_FALSE(TrayIconPresent(control));
    SendMessageW(control, icon.taskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(TrayIconPresent(control)) << "a deleted icon stays deleted";
}

TEST(NotifyIconTest, TheShellsReportsOnAClickOrTheBalloonArriveAsIntentsAndNothingElseDoes) {
    Win32NotifyIcon icon(GetModuleHandleW(nullptr), [](DWORD, NOTIFYICONDATAW&) {});
    std::vector<std::pair<TrayIntent, std::int32_t>> told;
    bool fail = false;
    icon.intentArrived = [&](TrayIntent intent, std::int32_t id) {
        told.emplace_back(intent, id);
        if (fail) throw std::runtime_error("a handler failed");
    };
    for (LPARAM report : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                          WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_CONTEXTMENU, NIN_BALLOONSHOW,
                          NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
        SendMessageW(icon.window(), kTrayCallbackMessage, 7, report);
    EXPECT_EQ(told, (std::vector<std::pair<TrayIntent, std::int32_t>>{{TrayIntent::Activated, 7},
                                                                      {TrayIntent::ContextActivated, 7},
                                                                      {TrayIntent::BalloonGone, 7},
                                                                      {TrayIntent::BalloonGone, 7},
                                                                      {TrayIntent::BalloonClicked, 7}}));
    SendMessageW(icon.window(), WM_APP, 0, WM_LBUTTONUP);
    EXPECT_EQ(told.size(), 5u) << "only the tray callback";

    fail = true;  // nothing of a failing handler reaches the window procedure
    EXPECT_NO_THROW(SendMessageW(icon.window(), kTrayCallbackMessage, 7, WM_LBUTTONUP));
    EXPECT_EQ(told.size(), 6u);
}

// ---- The tray icon at the screen's DPI -------------------------------------------------

int IconWidth(IconHandle handle) {
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(static_cast<std::uintptr_t>(handle)), &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The sizes of the images in an icon resource's directory (a width of 0 is 256).
std::vector<int> ImageSizes(HMODULE module, int id) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    const auto* directory = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!directory) return {};
    std::vector<int> sizes;
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    for (WORD i = 0; i < count; ++i) sizes.push_back(directory[6 + 14 * i] ? directory[6 + 14 * i] : 256);
    return sizes;
}

// The program's icon in the tray, as the program puts it there: from the built exe's own
// resources, on windows of a per-monitor DPI aware thread, as the exe's manifest makes the
// program's.
class ProgramTrayIcon {
public:
    ProgramTrayIcon()
        : awareness_(SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)),
          exe_(LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)),
          desktop(exe_, 1),
          icon(GetModuleHandleW(nullptr)) {
        icon.drawIconsWith([this](IconHandle picture, UINT dpi) { return desktop.iconForDpi(picture, dpi); });
        icon.addIcon(0, desktop.applicationIcon().handle, std::nullopt);
    }
    ~ProgramTrayIcon() {
        icon.deleteIcon(0);
        if (exe_) FreeLibrary(exe_);
        SetThreadDpiAwarenessContext(awareness_);
    }
    ProgramTrayIcon(const ProgramTrayIcon&) = delete;
    ProgramTrayIcon& operator=(const ProgramTrayIcon&) = delete;

    HWND control() const { return icon.window(); }
    HMODULE exe() const { return exe_; }
    // The width of the icon that the shell was given.
    int shownWidth() const { return IconWidth(icon.shellIcon(0)); }
    void dpiChanged(UINT dpi) const {
        RECT suggested{0, 0, 0, 0};
        SendMessageW(control(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }

private:
    DPI_AWARENESS_CONTEXT awareness_;
    HMODULE exe_;

public:
    Win32Desktop desktop;
    Win32NotifyIcon icon;
};

TEST(TrayIconDpiTest, TheSmallIconSizeOfTheDpiAt96AndAgainWhenTheDpiChanges) {
    ProgramTrayIcon tray;
    // Drawn at each small-icon size from 100 % to 200 % scale, never scaled from another.
    EXPECT_EQ(ImageSizes(tray.exe(), 1), (std::vector<int>{16, 20, 24, 32, 40, 48}));
    ASSERT_EQ(tray.icon.dpi(), 96u);
    EXPECT_EQ(IconWidth(tray.desktop.applicationIcon().handle), 16);
    EXPECT_EQ(tray.shownWidth(), 16);
    ASSERT_TRUE(TrayIconPresent(tray.control()));

    tray.dpiChanged(144);  // 150 %
    EXPECT_EQ(tray.shownWidth(), 24);
    tray.dpiChanged(120);
    EXPECT_EQ(tray.shownWidth(), 20);
    EXPECT_TRUE(TrayIconPresent(tray.control()));

    RemoveTrayIcon(tray.control());  // a new task bar gets the icon for the DPI of now
    SendMessageW(tray.control(), tray.icon.taskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(TrayIconPresent(tray.control()));
    EXPECT_EQ(tray.shownWidth(), 20);
}

TEST(TrayIconDpiTest, At144DpiTheIconIs24PixelsFromTheStart) {
    // Wine reads the screen's DPI when a process starts: this test program again, at 144 dpi.
    ScreenDpi dpi(144);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=" +
                               L"TrayIconDpiTest.InAProgramStartedAtTheScreensDpi";
    SetEnvironmentVariableW(L"TAMBERLYN_TEST_DPI", L"144");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process) != FALSE;
    SetEnvironmentVariableW(L"TAMBERLYN_TEST_DPI", nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the checks at 144 dpi, above";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(TrayIconDpiTest, InAProgramStartedAtTheScreensDpi) {
    const char* dpi = std::getenv("TAMBERLYN_TEST_DPI");
    if (!dpi) GTEST_SKIP() << "started by At144DpiTheIconIs24PixelsFromTheStart";
    ProgramTrayIcon tray;
    ASSERT_EQ(tray.icon.dpi(), static_cast<UINT>(std::atoi(dpi)));
    EXPECT_EQ(tray.shownWidth(), GetSystemMetricsForDpi(SM_CXSMICON, tray.icon.dpi()));
    EXPECT_EQ(tray.shownWidth(), 24);
    EXPECT_EQ(IconWidth(tray.desktop.applicationIcon().handle), 24) << "the caption's small icon too";
}

// ---- The event pump ------------------------------------------------------------------

// On a thread of their own with a message-only window, nothing but the test's own
// messages reaches the waits: no broadcast, nothing left over from earlier tests.
template <class Body>
void OnQuietThread(Body body) {
    std::thread([&] {
        CountingWindow window(true);
        body(window.hwnd);
    }).join();
}

TEST(EventLoopTest, AWaitEndsWithTheFirstEventAndRunsIt) {
    OnQuietThread([](HWND window) {
        Win32EventLoop events({});
        std::thread poster([&] {
            std::this_thread::sleep_for(200ms);
            PostMessageW(window, WM_APP + 1, 0, 0);
        });
        const auto deadline = events.now() + 30s;
        events.waitForEventsUntil(deadline);
        poster.join();
        EXPECT_LT(events.now(), deadline);
        EXPECT_EQ(CountingWindow::received, std::vector<UINT>{WM_APP + 1});
    });
}

TEST(EventLoopTest, AWaitWithoutEventsLastsToTheDeadline) {
    OnQuietThread([](HWND) {
        Win32EventLoop events({});
        const auto deadline = events.now() + 300ms;
        events.waitForEventsUntil(deadline);
        EXPECT_GE(events.now() + 20ms, deadline) << "the system's timer may round a little";
        EXPECT_TRUE(CountingWindow::received.empty());
    });
}

TEST(EventLoopTest, TabMovesTheFocusThroughTheDialogWindowsControls) {
    CountingWindow window;
    const auto instance = GetModuleHandleW(nullptr);
    const HWND first = CreateWindowExW(0, WC_BUTTONW, L"first", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 80, 20,
                                       window.hwnd, nullptr, instance, nullptr);
    const HWND second = CreateWindowExW(0, WC_BUTTONW, L"second", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 30, 80, 20,
                                        window.hwnd, nullptr, instance, nullptr);
    ShowWindow(window.hwnd, SW_SHOW);
    SetForegroundWindow(window.hwnd);
    SetFocus(first);
    ASSERT_EQ(GetFocus(), first);
    Win32EventLoop events([&] { return window.hwnd; });
    PostMessageW(first, WM_KEYDOWN, VK_TAB, 1);
    events.processPendingEvents();
    EXPECT_EQ(GetFocus(), second);
}

// ---- Files, cursors, programs --------------------------------------------------------

TEST(ProgramFilesTest, OrdinaryFilesAreNeitherFoldersNorHiddenNorSystemFiles) {
    ScratchFolder folder;
    Win32ProgramFiles files;
    const auto utf8 = [](const std::wstring& path) { return ToUtf8(path); };
    EXPECT_TRUE(files.isOrdinaryFile(utf8(folder.file(L"Gr\u00FC\u00DFe.cjs", "x"))));
    const std::wstring hidden = folder.file(L"hidden.cjs", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(files.isOrdinaryFile(utf8(hidden)));
    EXPECT_TRUE(files.modificationTimeReadable(utf8(hidden)));
    EXPECT_FALSE(files.isOrdinaryFile(utf8(folder.file(L"system.cjs", "x", FILE_ATTRIBUTE_SYSTEM))));
    EXPECT_FALSE(files.isOrdinaryFile(utf8(folder.path())));
    EXPECT_FALSE(files.isOrdinaryFile(utf8(folder.path() + L"\\missing.cjs")));
    EXPECT_FALSE(files.modificationTimeReadable(utf8(folder.path() + L"\\missing.cjs")));

    const std::string self = files.executablePath();
    EXPECT_EQ(self.substr(self.rfind(files.separator()) + 1), "program_adapter_tests.exe");
    EXPECT_TRUE(files.modificationTimeReadable(self));
}

// A 32 x 32 monochrome cursor file with its hot spot in the middle.
std::string CursorFileBytes() {
    std::string bytes;
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(0, 2), put(2, 2), put(1, 2);                            // a cursor file with one image
    put(32, 1), put(32, 1), put(2, 1), put(0, 1);               // 32 x 32, two colours
    put(16, 2), put(16, 2), put(40 + 8 + 128 + 128, 4), put(22, 4);  // hot spot, size, offset
    put(40, 4), put(32, 4), put(64, 4), put(1, 2), put(1, 2);   // BITMAPINFOHEADER: XOR and AND halves
    put(0, 4), put(256, 4), put(0, 4), put(0, 4), put(2, 4), put(0, 4);
    put(0x000000, 4), put(0xFFFFFF, 4);                         // black, white
    for (int row = 0; row < 32; ++row) put(row % 2 ? 0xFFFFFFFF : 0, 4);  // XOR
    for (int row = 0; row < 32; ++row) put(0, 4);                         // AND: all opaque
    return bytes;
}

TEST(DesktopTest, LoadsACursorFileAndReportsAnythingElseWithTheReason) {
    ScratchFolder folder;
    Win32Desktop desktop(GetModuleHandleW(nullptr), 1);
    const int id = desktop.loadCursorFile(ToUtf8(folder.file(L"HAND-M.CUR", CursorFileBytes())));
    EXPECT_NE(desktop.cursor(id), nullptr);
    EXPECT_EQ(desktop.cursor(id + 1), nullptr);
    EXPECT_THROW(desktop.loadCursorFile(ToUtf8(folder.file(L"text.cur", "not a cursor"))), PlatformError);
    try {
        desktop.loadCursorFile(ToUtf8(folder.path() + L"\\missing.cur"));
        ADD_FAILURE() << "a missing file loaded";
    } catch (const PlatformError& e) {
        EXPECT_STRNE(e.what(), "");
    }
}

// ---- The skin engine -----------------------------------------------------------------

struct SkinnedWindow {
    SkinnedWindow() {
        const auto instance = GetModuleHandleW(nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 100, window.hwnd,
                               nullptr, instance, nullptr);
        check = CreateWindowExW(0, WC_BUTTONW, L"box", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 0, 110, 200, 20,
                                window.hwnd, nullptr, instance, nullptr);
    }
    CountingWindow window;
    HWND list;
    HWND check;
};

COLORREF BrushColour(LRESULT brush) {
    LOGBRUSH logical{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof logical, &logical);
    return logical.lbColor;
}

TEST(SkinEngineTest, ColoursTheListAndTheCheckBoxesOfTheWindow) {
    ScratchFolder folder;
    SkinnedWindow skinned;
    Win32SkinEngine skin;
    skin.loadSkin(ToUtf8(folder.file(L"o.cjs", "[Tamberlyn Skin]\nList = #102030\nListText = 255,255,0\n"
                                               "CheckBox = #405060\nText = #708090\n")),
                  "");
    skin.setApplyColors(true);
    skin.applyWindow(HandleOf(skinned.window.hwnd));
    EXPECT_EQ(ListView_GetBkColor(skinned.list), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(ListView_GetTextColor(skinned.list), RGB(255, 255, 0));

    const HDC dc = GetDC(skinned.check);
    const LRESULT brush = SendMessageW(skinned.window.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(skinned.check));
    EXPECT_EQ(BrushColour(brush), RGB(0x40, 0x50, 0x60));
    EXPECT_EQ(GetTextColor(dc), RGB(0x70, 0x80, 0x90));
    ReleaseDC(skinned.check, dc);
}

}  // namespace
}  // namespace tamberlyn::programtest

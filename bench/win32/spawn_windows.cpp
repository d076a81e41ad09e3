// Holds N top-level windows titled "Window <i> - Editor" in one process, as a load for
// measuring how much a title scan costs per tick.
//
//   spawn_windows.exe [--count N] [--hidden] [--ready-file PATH] [--canary]
//
// Windows are shown (small, cascaded) unless --hidden. WM_CLOSE destroys the window it
// is sent to. Once all N windows exist and EnumWindows lists them, it prints "ready N" on
// standard output and, with --ready-file, writes the same line to PATH. It keeps running
// until its standard input reaches end of file (or fails), or until it is killed, or all
// of its windows are closed: hold it with a pipe or fifo (/dev/null ends it at once). Without
// a usable standard input handle it runs until killed.
// --canary makes one window titled "Bench Canary Window" and ignores standard input: the
// process ends exactly when something closes that window, which shows a monitor is live.
//
// Build: x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -municode -mwindows
//            -o spawn_windows.exe spawn_windows.cpp   (wine-idle-cost builds it itself)

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kClassName[] = L"TamberlynBenchSpawnedWindow";
constexpr UINT kStdinClosed = WM_APP + 1;

DWORD g_mainThread = 0;
long g_liveWindows = 0;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (--g_liveWindows == 0) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// Blocks on stdin so the caller can end us by closing the pipe, with no busy polling.
DWORD WINAPI WatchStdin(void*) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return 0;
    char buffer[256];
    DWORD read = 0;
    BOOL ok;
    while ((ok = ReadFile(input, buffer, sizeof buffer, &read, nullptr)) && read > 0) {
    }
    if (!ok && GetLastError() == ERROR_INVALID_HANDLE) return 0;  // no usable stdin: run until killed
    PostThreadMessageW(g_mainThread, kStdinClosed, 0, 0);
    return 0;
}

long CountOwnTitledWindows() {
    struct Count {
        DWORD process;
        long found;
    } count{GetCurrentProcessId(), 0};
    EnumWindows(
        [](HWND hwnd, LPARAM context) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t title[64] = L"";
            if (owner == c.process && GetWindowTextW(hwnd, title, 64) > 0 &&
                (wcsstr(title, L" - Editor") || wcscmp(title, L"Bench Canary Window") == 0)) {
                ++c.found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

void Announce(const std::wstring& readyFile, long count) {
    char line[64];
    const int length = std::snprintf(line, sizeof line, "ready %ld\n", count);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (output && output != INVALID_HANDLE_VALUE) WriteFile(output, line, length, &written, nullptr);
    if (readyFile.empty()) return;
    const HANDLE file = CreateFileW(readyFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
}

int Usage() {
    const char text[] = "usage: spawn_windows.exe [--count N] [--hidden] [--ready-file PATH]\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, sizeof text - 1, &written, nullptr);
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    long count = 100;
    bool shown = true;
    bool canary = false;
    std::wstring readyFile;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--count" && i + 1 < argc) {
            count = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--hidden") {
            shown = false;
        } else if (arg == L"--shown") {
            shown = true;
        } else if (arg == L"--canary") {
            canary = true;
            count = 1;
        } else if (arg == L"--ready-file" && i + 1 < argc) {
            readyFile = argv[++i];
        } else {
            return Usage();
        }
    }
    LocalFree(argv);
    if (count <= 0) return Usage();

    g_mainThread = GetCurrentThreadId();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return 1;

    for (long i = 1; i <= count; ++i) {
        const std::wstring title =
            canary ? std::wstring(L"Bench Canary Window") : L"Window " + std::to_wstring(i) + L" - Editor";
        // Cascade small windows so a shown set stays on a 1280x1024 screen.
        const int x = static_cast<int>((i * 7) % 1000);
        const int y = static_cast<int>((i * 5) % 900);
        const HWND hwnd = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 240, 80, nullptr,
                                          nullptr, instance, nullptr);
        if (!hwnd) return 1;
        ++g_liveWindows;
        if (shown) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }

    // Let creation and show messages drain, then confirm EnumWindows lists all of them.
    MSG message;
    for (int tries = 0; tries < 600; ++tries) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (CountOwnTitledWindows() >= count) break;
        Sleep(50);
    }
    Announce(readyFile, CountOwnTitledWindows());

    if (!canary) CloseHandle(CreateThread(nullptr, 0, WatchStdin, nullptr, 0, nullptr));
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kStdinClosed) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

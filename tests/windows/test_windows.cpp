// Top-level windows for the tests to find, read and ask to close, in a process of their own.
//
//   test_windows REPORT KIND TITLE [KIND TITLE]...
//
// KIND is one of
//   closes       a shown window that closes on WM_CLOSE
//   hidden       the same, never shown
//   asks         a shown window that on WM_CLOSE asks "Save changes?" (Yes, No, Cancel) in an
//                owned message box titled like itself; Yes closes it, No and Cancel keep it
//   hung         a shown window whose thread stops handling messages once it exists
//   class:NAME   a hidden window of window class NAME that closes on WM_CLOSE
//
// Every window has a thread of its own, so a hung one holds up no other. REPORT receives,
// one line each: "window INDEX HANDLE" per window in order, then "ready"; afterwards
// "close HANDLE" per WM_CLOSE received, "answer HANDLE ID" per question answered and
// "destroy HANDLE". The program ends once every window has closed, so never while it has
// a hung one.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

HANDLE report = INVALID_HANDLE_VALUE;
std::mutex reportLock;

void Report(const std::string& line) {
    const std::lock_guard<std::mutex> hold(reportLock);
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(report, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string HandleText(HWND hwnd) {
    return std::to_string(static_cast<long long>(reinterpret_cast<std::intptr_t>(hwnd)));
}

LRESULT CALLBACK ClosesProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Report("close " + HandleText(hwnd));
        break;  // DefWindowProc destroys it
    case WM_DESTROY:
        Report("destroy " + HandleText(hwnd));
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK AsksProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Report("close " + HandleText(hwnd));
        wchar_t title[256] = L"";
        GetWindowTextW(hwnd, title, static_cast<int>(std::size(title)));
        const int answer = MessageBoxW(hwnd, L"Save changes?", title, MB_YESNOCANCEL | MB_ICONQUESTION);
        Report("answer " + HandleText(hwnd) + " " + std::to_string(answer));
        if (answer == IDYES) DestroyWindow(hwnd);
        return 0;
    }
    return ClosesProc(hwnd, message, wParam, lParam);
}

struct Window {
    std::wstring kind;
    std::wstring className;
    std::wstring title;
    HWND hwnd = nullptr;
    HANDLE created = nullptr;
    std::thread thread;
};

void Register(const std::wstring& className, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        std::fprintf(stderr, "cannot register a window class (%lu)\n", GetLastError());
        std::exit(2);
    }
}

void Run(Window& window) {
    window.hwnd = CreateWindowExW(0, window.className.c_str(), window.title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    const bool shown = window.kind == L"closes" || window.kind == L"asks" || window.kind == L"hung";
    if (window.hwnd && shown) ShowWindow(window.hwnd, SW_SHOWNOACTIVATE);
    SetEvent(window.created);
    if (!window.hwnd) return;
    if (window.kind == L"hung") {
        Sleep(INFINITE);  // never handles another message; the test ends the process
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: test_windows REPORT KIND TITLE [KIND TITLE]...\n");
        return 2;
    }
    report = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (report == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot write the report (%lu)\n", GetLastError());
        return 2;
    }
    Register(L"TamberlynTestWindow", ClosesProc);
    Register(L"TamberlynTestQuestion", AsksProc);

    std::vector<Window> windows(static_cast<std::size_t>(argc - 2) / 2);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        Window& window = windows[i];
        window.kind = argv[2 + 2 * i];
        window.title = argv[3 + 2 * i];
        if (window.kind.rfind(L"class:", 0) == 0) {
            window.className = window.kind.substr(6);
            Register(window.className, ClosesProc);
        } else if (window.kind == L"asks") {
            window.className = L"TamberlynTestQuestion";
        } else if (window.kind == L"closes" || window.kind == L"hidden" || window.kind == L"hung") {
            window.className = L"TamberlynTestWindow";
        } else {
            std::fprintf(stderr, "unknown kind of window: %ls\n", window.kind.c_str());
            return 2;
        }
    }

    for (std::size_t i = 0; i < windows.size(); ++i) {
        Window& window = windows[i];
        window.created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        window.thread = std::thread(Run, std::ref(window));
        WaitForSingleObject(window.created, INFINITE);
        if (!window.hwnd) {
            std::fprintf(stderr, "cannot create window %zu (%lu)\n", i, GetLastError());
            return 2;
        }
        Report("window " + std::to_string(i) + " " + HandleText(window.hwnd));
    }
    Report("ready");

    for (Window& window : windows) window.thread.join();
    return 0;
}

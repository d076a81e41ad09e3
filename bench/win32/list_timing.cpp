// A long watch list in the Windows program: the form and its native window over the real
// registry settings, as WinMain puts them together (only the log-on entry, the launcher and
// the random draw are stand-ins, so that nothing starts). Run it under Wine:
//   tests/windows/with-wine build/windows/wineprefix/bench build/windows/bench/win32_list_timing.exe [--runs=R] [N...]
//
// For each N (default 1000 and 10000) it prints, in milliseconds, the median of R runs (3) of:
// start (the window made and its load sequence run: the list read from the registry and
// filled), show (from there until the window is painted), add ("Add To List Below" clicked),
// delete (Delete pressed on a selected row in the middle), save (the list written to the
// registry) and clear (the list emptied in one go). Every command ends with the list saved and
// the window repainted.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FakeDesktopServices.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32SkinEngine.h"
#include "platform/win32/WindowsTexts.h"
#include "platform/win32/Win32TextCase.h"
#include "platform/win32/Win32ProgramFiles.h"
#include "platform/win32/Win32WindowServices.h"
#include "platform/win32/resources/resource.h"
#include "form/Form1.h"
#include "common/Settings.h"
#include "watchlist/WatchListStore.h"
#include "../BlockList.h"

using namespace tamberlyn;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Every message waiting, then whatever is left to paint.
void Pump(HWND window) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Win32EventLoop::Dispatch(msg, window);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

struct Program {
    explicit Program(HINSTANCE instance)
        : messages([this] { return hwnd; }),
          events([this] { return hwnd; }),
          notifyIcon(instance),
          desktop(instance, IDI_TAMBERLYN),
          platform{kWindowsTexts, windows, textCase, settings, messages, events, logonEntry,
                   files, launcher, skin, notifyIcon, desktop, random},
          form(platform),
          view(form, desktop, instance, IDI_TAMBERLYN) {
        hwnd = view.hwnd();
    }

    HWND hwnd = nullptr;
    Win32WindowServices windows;
    Win32TextCase textCase;
    RegistrySettingsStore settings;
    Win32MessageBoxes messages;
    Win32EventLoop events;
    fakes::FakeLogonEntry logonEntry;
    Win32ProgramFiles files;
    fakes::FakeLauncher launcher;
    Win32SkinEngine skin;
    Win32NotifyIcon notifyIcon;
    Win32Desktop desktop;
    fakes::FakeRandom random;
    Platform platform;
    Form1 form;
    Win32MainWindow view;
};

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text) {
    HWND child = FindWindowExW(parent, nullptr, className, text);
    if (!child) {
        std::fprintf(stderr, "no %ls control\n", className);
        std::exit(1);
    }
    return child;
}

struct Times {
    std::vector<double> start, show, add, remove, save, clear;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Run(HINSTANCE instance, long count, Times& times) {
    const std::vector<std::string> fragments = BlockListFragments(count);
    {
        RegistrySettingsStore settings;
        settings.write(kApplicationName, kSectionName, kKeyListview, JoinWatchList(fragments));
    }

    Clock::time_point begin = Clock::now();
    auto program = std::make_unique<Program>(instance);
    program->view.load(SW_SHOWNORMAL);
    times.start.push_back(Milliseconds(Clock::now() - begin));
    begin = Clock::now();
    Pump(program->hwnd);
    times.show.push_back(Milliseconds(Clock::now() - begin));
    Form1& form = program->form;
    if (form.ListView1.count() != count) {
        std::fprintf(stderr, "%d of %ld fragments loaded\n", form.ListView1.count(), count);
        std::exit(1);
    }

    const HWND edit = Child(program->hwnd, WC_EDITW, nullptr);
    const HWND add = Child(program->hwnd, WC_BUTTONW, L"Add To List Below");
    const HWND list = Child(program->hwnd, WC_LISTVIEWW, nullptr);

    begin = Clock::now();
    SetWindowTextW(edit, L"Another special offer");
    SendMessageW(add, BM_CLICK, 0, 0);
    Pump(program->hwnd);
    times.add.push_back(Milliseconds(Clock::now() - begin));

    const int middle = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) / 2;
    ListView_EnsureVisible(list, middle, FALSE);
    Pump(program->hwnd);
    begin = Clock::now();
    ListView_SetItemState(list, middle, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    Pump(program->hwnd);
    times.remove.push_back(Milliseconds(Clock::now() - begin));
    if (form.ListView1.count() != count) {
        std::fprintf(stderr, "Delete removed no row\n");
        std::exit(1);
    }

    begin = Clock::now();
    SaveWatchList(program->settings, form.ListView1.watchList());
    times.save.push_back(Milliseconds(Clock::now() - begin));

    begin = Clock::now();
    form.ListView1.clear();
    Pump(program->hwnd);
    times.clear.push_back(Milliseconds(Clock::now() - begin));

    program->form.Timer1.setEnabled(false);
    program.reset();
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<long> counts;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.starts_with(L"--runs=")) {
            runs = std::max(1, static_cast<int>(std::wcstol(argument.c_str() + 7, nullptr, 10)));
        } else {
            counts.push_back(std::wcstol(argv[i], nullptr, 10));
        }
    }
    if (counts.empty()) counts = {1000, 10000};

    std::printf("| fragments | start | show | add | delete | save | clear |\n");
    std::printf("| ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n");
    for (const long count : counts) {
        Times times;
        for (int run = 0; run < runs; ++run) Run(GetModuleHandleW(nullptr), count, times);
        std::printf("| %ld | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f |\n", count, Median(times.start),
                    Median(times.show), Median(times.add), Median(times.remove), Median(times.save),
                    Median(times.clear));
        std::fflush(stdout);
    }
    return 0;
}

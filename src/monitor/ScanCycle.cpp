#include "monitor/ScanCycle.h"

#include "shell/ErrorTrap.h"

namespace tamberlyn {

WindowHandle MainWindowHandle = 0;

int EnumChildProc(WindowHandle window, HandleList& list) {
    if (window != MainWindowHandle) list.push_back(window);
    return 1;
}

bool TitleHoldsFragment(std::string_view upperTitle, std::string_view upperFragment) {
    if (upperTitle.empty()) return false;
    return upperTitle.find(upperFragment) != std::string_view::npos;
}

bool WindowToClose(std::string title, const ListView& list, const TextCase& textCase, MessageBoxes& boxes) {
    ErrorTrap trap{boxes, "Form1", "WindowToClose"};
    int count = 0;
    trap.step(100, [&] { count = list.count(); });
    std::string upperTitle;
    trap.step(102, [&] { upperTitle = textCase.toUpper(title); });
    for (int i = 1; i <= count; ++i) {
        std::string upperFragment;
        bool fragmentRead = false;
        trap.step(104, [&] {
            upperFragment = textCase.toUpper(list.text(i));
            fragmentRead = true;
        });
        // A fragment that could not be read matches nothing: no window closes by mistake.
        if (fragmentRead && TitleHoldsFragment(upperTitle, upperFragment)) return true;
    }
    return false;
}

bool CloseRequestPending(WindowServices& windows, WindowHandle window) {
    // Owner chains are short; the bound keeps a malformed one (a cycle) from looping.
    constexpr int kMaxOwnerDepth = 16;
    WindowHandle current = window;
    for (int depth = 0; current > 0 && depth < kMaxOwnerDepth; ++depth) {
        if (windows.closePending(current)) return true;
        current = windows.ownerOf(current);
    }
    return false;
}

void RunScanCycle(const ListView& list, const ScanServices& services) {
    ErrorTrap trap{services.boxes, "Form1", "Timer1_Timer"};
    HandleList handles;
    trap.step(100, [&] { services.windows.enumerateTopLevelWindows(EnumChildProc, handles); });
    for (const WindowHandle window : handles) {
        if (window <= 0) continue;
        std::string title;
        trap.step(102, [&] { title = services.windows.readTitle(window, kTitleCharacters); });
        bool matches = false;
        trap.step(104, [&] { matches = WindowToClose(title, list, services.textCase, services.boxes); });
        if (!matches) continue;
        trap.step(106, [&] {
            if (services.windows.isDesktopShell(window)) return;  // never the user's desktop or panel
            if (CloseRequestPending(services.windows, window)) return;
            services.windows.requestClose(window);
        });
    }
    handles.clear();
    trap.step(108, [&] { services.events.processPendingEvents(); });
}

}  // namespace tamberlyn

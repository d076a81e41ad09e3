#include "monitor/ScanCycle.h"

#include <utility>

#include "common/ErrorTrap.h"

namespace tamberlyn {

int EnumChildProc(WindowHandle window, EnumContext& context) {
    if (window != context.MainWindowHandle) context.list.push_back(window);
    return 1;
}

bool WindowToClose(std::string title, const WatchList& list, MatchCache& cache, const TextCase& textCase,
                   ErrorReports& reports) {
    ErrorTrap trap{reports, "Form1", "WindowToClose"};
    int count = 0;
    trap.step(100, [&] { count = list.count(); });
    if (count == 0) return false;
    cache.prepare(list, textCase, trap);
    if (const auto known = cache.remembered(title)) return *known;
    std::string upperTitle;
    bool upperCased = false;
    trap.step(102, [&] {
        upperTitle = UpperCase(textCase, title);
        upperCased = true;
    });
    // A title that could not be upper-cased matches nothing: no window closes by mistake.
    const bool matches = upperCased && cache.match(upperTitle);
    if (upperCased) {
        cache.remember(title, matches);
    } else {
        cache.noteFailure();
    }
    return matches;
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

namespace {

// Returns whether the step failed.
bool AskToClose(WindowServices& windows, WindowHandle window, ErrorTrap& trap) {
    const int failuresBefore = trap.failures();
    trap.step(106, [&] {
        if (windows.isDesktopShell(window)) return;  // never the user's desktop or panel
        if (CloseRequestPending(windows, window)) return;
        windows.requestClose(window);
    });
    return trap.failures() != failuresBefore;
}

}  // namespace

void RunScanCycle(const WatchList& list, const ScanServices& services) {
    ErrorTrap trap{services.reports, services.form, services.procedure};
    ScanMemory& memory = services.memory;
    const bool wasRunning = std::exchange(memory.running, true);
    EnumContext handles{{}, services.MainWindowHandle};
    std::uint64_t changes = 0;
    bool unchanged = false;
    trap.step(100, [&] {
        changes = services.windows.changeCount();
        unchanged = memory.settled && memory.changeCount == changes && memory.listRevision == list.rowsRevision();
        if (unchanged) return;
        for (const WindowHandle window : services.windows.topLevelWindows()) EnumChildProc(window, handles);
    });
    if (unchanged) {
        for (const WindowHandle window : memory.matches) AskToClose(services.windows, window, trap);
    } else {
        const std::uint64_t matchFailures = memory.matching.failures();
        int closeFailures = 0;
        HandleList matches;
        for (const WindowHandle window : handles.list) {
            if (window <= 0) continue;
            std::string title;
            trap.step(102, [&] { title = services.windows.readTitle(window, kTitleCharacters); });
            bool found = false;
            trap.step(104, [&] {
                found = WindowToClose(title, list, memory.matching, services.textCase, services.reports);
            });
            if (!found) continue;
            matches.push_back(window);
            if (AskToClose(services.windows, window, trap)) ++closeFailures;
        }
        memory.matching.endPass();
        // Only failures of the close requests leave the matching itself sound.
        memory.settled = trap.failures() == closeFailures && memory.matching.failures() == matchFailures;
        memory.changeCount = changes;
        memory.listRevision = list.rowsRevision();
        memory.matches = std::move(matches);
    }
    handles.list.clear();
    trap.step(108, [&] { services.events.processPendingEvents(); });
    memory.running = wasRunning;
}

}  // namespace tamberlyn

#pragma once
// One tick of the monitor: every top-level window whose title holds a fragment of the
// watch list is asked to close.

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/MatchCache.h"
#include "platform/EventLoop.h"
#include "common/ErrorTrap.h"
#include "platform/TextCase.h"
#include "platform/WindowServices.h"
#include "watchlist/WatchList.h"

namespace tamberlyn {

// Only the start of a title takes part in matching.
constexpr int kTitleCharacters = 50;

// The windows one cycle works on, and the program's own main window, which it leaves out
// (0: none).
struct EnumContext {
    HandleList list;
    WindowHandle MainWindowHandle = 0;
};

// Called for each top-level window: collects every window but the context's main window.
int EnumChildProc(WindowHandle window, EnumContext& context);

// True when the title contains at least one fragment of the list, ignoring letter case.
bool WindowToClose(std::string title, const WatchList& list, MatchCache& cache, const TextCase& textCase,
                   ErrorReports& reports);

// Whether a close request now would pile onto one still unanswered: the window's own,
// or that of a window it belongs to (its question must stay open for the user).
bool CloseRequestPending(WindowServices& windows, WindowHandle window);

// What one cycle leaves for the next. While neither the windows nor the list change, the
// windows that matched last time are the ones that match now: a tick asks them again
// without enumerating, reading or matching anything.
struct ScanMemory {
    MatchCache matching;
    bool settled = false;  // the fields below come from a full pass without failures
    std::uint64_t changeCount = 0;
    std::uint64_t listRevision = 0;
    HandleList matches;
    bool running = false;  // a cycle is under way: its last step lets other events run
};

struct ScanServices {
    WindowServices& windows;
    const TextCase& textCase;
    EventLoop& events;
    ErrorReports& reports;
    ScanMemory& memory;
    // Where a failed step is reported from: the caller's form and procedure.
    std::string form;
    std::string procedure;
    WindowHandle MainWindowHandle = 0;  // never asked to close; 0 before the window exists
};

// One scan cycle over the fragments of list; ends with one pass over pending events.
void RunScanCycle(const WatchList& list, const ScanServices& services);

}  // namespace tamberlyn

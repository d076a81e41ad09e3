#pragma once
// One tick of the monitor: every top-level window whose title holds a fragment of the
// watch list is asked to close.

#include <string>
#include <string_view>

#include "platform/EventLoop.h"
#include "platform/MessageBoxes.h"
#include "platform/TextCase.h"
#include "platform/WindowServices.h"
#include "watchlist/ListView.h"

namespace tamberlyn {

// The main window, which the cycle never asks to close. Set once at start-up.
extern WindowHandle MainWindowHandle;

// Only the start of a title takes part in matching.
constexpr int kTitleCharacters = 50;

// The enumeration callback: collects every window but the main window.
int EnumChildProc(WindowHandle window, HandleList& list);

// Whether an upper-cased title holds an upper-cased fragment. Nothing is found in an
// empty title; an empty fragment is found in every other one.
bool TitleHoldsFragment(std::string_view upperTitle, std::string_view upperFragment);

// True when the title contains at least one fragment of the list, ignoring letter case.
bool WindowToClose(std::string title, const ListView& list, const TextCase& textCase, MessageBoxes& boxes);

// Whether a close request now would pile onto one still unanswered: the window's own,
// or that of a window it belongs to (its question must stay open for the user).
bool CloseRequestPending(WindowServices& windows, WindowHandle window);

struct ScanServices {
    WindowServices& windows;
    const TextCase& textCase;
    EventLoop& events;
    MessageBoxes& boxes;
};

// One scan cycle over the fragments of list; ends with one pass over pending events.
void RunScanCycle(const ListView& list, const ScanServices& services);

}  // namespace tamberlyn

#include "platform/win32/Win32WindowServices.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"
#include "platform/win32/Win32Handles.h"

namespace tamberlyn {

namespace {

// Close answers come back on the thread that asked, so the services that may be waiting
// for one are those of this thread. An answer for services already destroyed finds none.
thread_local std::vector<Win32WindowServices*> liveServices;
thread_local std::uint64_t lastRequest = 0;

struct Enumeration {
    HandleList windows;
    bool failed = false;
};

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM context) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(context);
    // Nothing may unwind through user32's frames.
    try {
        enumeration.windows.push_back(HandleOf(hwnd));
        return TRUE;
    } catch (...) {
        enumeration.failed = true;
        return FALSE;
    }
}

// The task bars, the desktop, and the notification area's overflow of hidden icons (a
// top-level window of its own: Windows 7 to 10, then Windows 11's).
bool IsShellClass(const wchar_t* name, int length) {
    for (const wchar_t* shellClass : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"Progman", L"WorkerW",
                                      L"NotifyIconOverflowWindow", L"TopLevelWindowForOverflowXamlIsland"}) {
        if (CompareStringOrdinal(name, length, shellClass, -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
}

}  // namespace

struct CloseAnswers {
    static void CALLBACK Delivered(HWND hwnd, UINT, ULONG_PTR request, LRESULT) {
        for (Win32WindowServices* services : liveServices) services->answered(HandleOf(hwnd), request);
    }
};

Win32WindowServices::Win32WindowServices() { liveServices.push_back(this); }

Win32WindowServices::~Win32WindowServices() { std::erase(liveServices, this); }

HandleList Win32WindowServices::topLevelWindows() {
    forgetVanishedWindows();
    Enumeration enumeration;
    SetLastError(ERROR_SUCCESS);
    const BOOL finished = EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&enumeration));
    if (enumeration.failed) throw PlatformError("There is not enough memory to list the windows.");
    if (!finished) {
        const DWORD code = GetLastError();
        if (code != ERROR_SUCCESS) throw PlatformError(Win32ErrorText(code));
    }
    return std::move(enumeration.windows);
}

std::string Win32WindowServices::readTitle(WindowHandle window, int maxCharacters) {
    if (maxCharacters <= 0) return {};
    // Far beyond any title; keeps the terminator's room from overflowing.
    maxCharacters = std::min(maxCharacters, 1 << 20);
    std::wstring title(static_cast<std::size_t>(maxCharacters) + 1, L'\0');
    // Another process's window answers from the system's copy of its text, without a
    // message, so a hung window cannot hold this up.
    const int length = GetWindowTextW(HwndOf(window), title.data(), maxCharacters + 1);
    if (length <= 0) return {};
    title.resize(static_cast<std::size_t>(std::min(length, maxCharacters)));
    // The cut may fall inside a surrogate pair.
    if (IS_HIGH_SURROGATE(title.back())) title.pop_back();
    return ToUtf8(title);
}

void Win32WindowServices::requestClose(WindowHandle window) {
    const HWND hwnd = HwndOf(window);
    if (!IsWindow(hwnd)) return;
    if (closePending(window)) return;  // still unanswered: never a second one on top
    const std::uint64_t request = ++lastRequest;
    // Recorded before sending: a window of this thread handles the message inside the
    // call, may ask about it meanwhile, and is answered before the call returns.
    pending_[window] = request;
    if (!SendMessageCallbackW(hwnd, WM_CLOSE, 0, 0, &CloseAnswers::Delivered, static_cast<ULONG_PTR>(request))) {
        // Gone in between, or out of reach: there is no answer to wait for.
        answered(window, request);
    }
}

bool Win32WindowServices::closePending(WindowHandle window) {
    const auto entry = pending_.find(window);
    if (entry == pending_.end()) return false;
    // A window destroyed before it handled the request may never answer.
    if (!IsWindow(HwndOf(window))) {
        pending_.erase(entry);
        return false;
    }
    return true;
}

WindowHandle Win32WindowServices::ownerOf(WindowHandle window) {
    return HandleOf(GetWindow(HwndOf(window), GW_OWNER));
}

bool Win32WindowServices::isDesktopShell(WindowHandle window) {
    if (window == 0) return false;
    const HWND shell = GetShellWindow();
    if (shell && HandleOf(shell) == window) return true;
    wchar_t name[64];
    const int length = GetClassNameW(HwndOf(window), name, static_cast<int>(std::size(name)));
    return length > 0 && IsShellClass(name, length);
}

void Win32WindowServices::answered(WindowHandle window, std::uint64_t request) {
    const auto entry = pending_.find(window);
    if (entry != pending_.end() && entry->second == request) pending_.erase(entry);
}

void Win32WindowServices::forgetVanishedWindows() {
    std::erase_if(pending_, [](const auto& entry) { return !IsWindow(HwndOf(entry.first)); });
}

}  // namespace tamberlyn

#include "platform/win32/Win32TrayHook.h"

#include <shellapi.h>

#include <optional>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32NotifyRecord.h"

namespace tamberlyn {

namespace {

// One slot for the whole process: the program has one tray control window.
WNDPROC previousProcedure = nullptr;

// The event that a notification in the callback's lParam stands for; none for the ones
// the tray control never hears of.
std::optional<TrayEvent> TrayEventOf(LPARAM notification) {
    switch (notification) {
        case WM_MOUSEMOVE: return TrayEvent::MouseMove;
        case WM_LBUTTONDOWN: return TrayEvent::LeftButtonDown;
        case WM_LBUTTONUP: return TrayEvent::LeftButtonUp;
        case WM_LBUTTONDBLCLK: return TrayEvent::LeftDoubleClick;
        case WM_RBUTTONDOWN: return TrayEvent::RightButtonDown;
        case WM_RBUTTONUP: return TrayEvent::RightButtonUp;
        case WM_RBUTTONDBLCLK: return TrayEvent::RightDoubleClick;
        case WM_MBUTTONDOWN: return TrayEvent::MiddleButtonDown;
        case WM_MBUTTONUP: return TrayEvent::MiddleButtonUp;
        case WM_MBUTTONDBLCLK: return TrayEvent::MiddleDoubleClick;
        case NIN_BALLOONSHOW: return TrayEvent::BalloonShown;
        case NIN_BALLOONHIDE: return TrayEvent::BalloonHidden;
        case NIN_BALLOONTIMEOUT: return TrayEvent::BalloonTimedOut;
        case NIN_BALLOONUSERCLICK: return TrayEvent::BalloonClicked;
        default: return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayCallbackMessage) {
        auto* sink = reinterpret_cast<TrayMessageSink*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const std::optional<TrayEvent> event = TrayEventOf(lParam);
        if (sink && event) {
            // The container's handlers run now; none of their failures may reach the window procedure.
            try {
                sink->HandleTrayMessage(*event, static_cast<std::int32_t>(wParam));
            } catch (...) {
            }
        }
    }
    if (!previousProcedure) return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(previousProcedure, hwnd, message, wParam, lParam);
}

void Win32TrayHook::install(WindowHandle window, TrayMessageSink& sink) {
    const HWND hwnd = HwndOf(window);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sink));
    const auto previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TrayWindowProc)));
    // Installed twice, the slot would point at TrayWindowProc itself and every message would loop.
    if (previous != TrayWindowProc) previousProcedure = previous;
}

void Win32TrayHook::remove(WindowHandle window) {
    const HWND hwnd = HwndOf(window);
    if (!previousProcedure) return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    previousProcedure = nullptr;
}

}  // namespace tamberlyn

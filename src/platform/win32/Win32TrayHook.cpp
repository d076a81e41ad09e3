#include "platform/win32/Win32TrayHook.h"

#include "platform/win32/Win32Handles.h"
#include "tray/mSysTray.h"

namespace tamberlyn {

namespace {

// One slot for the whole process: the program has one tray control window.
WNDPROC previousProcedure = nullptr;

class SubclassHost final : public WindowProcedureHost {
public:
    TrayMessageSink* instanceOf(WindowHandle window) override {
        return reinterpret_cast<TrayMessageSink*>(GetWindowLongPtrW(HwndOf(window), GWLP_USERDATA));
    }
    std::intptr_t callPrevious(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override {
        if (!previousProcedure) return DefWindowProcW(HwndOf(window), message, wParam, lParam);
        return CallWindowProcW(previousProcedure, HwndOf(window), message, wParam, lParam);
    }
};

}  // namespace

LRESULT CALLBACK TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SubclassHost host;
    return TrayWindowProc(host, HandleOf(hwnd), message, wParam, lParam);
}

void Win32TrayHook::install(WindowHandle window, TrayMessageSink& sink) {
    const HWND hwnd = HwndOf(window);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sink));
    const auto previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TrayWndProc)));
    // Installed twice, the slot would point at TrayWndProc itself and every message would loop.
    if (previous != TrayWndProc) previousProcedure = previous;
}

void Win32TrayHook::remove(WindowHandle window) {
    const HWND hwnd = HwndOf(window);
    if (!previousProcedure) return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    previousProcedure = nullptr;
}

}  // namespace tamberlyn

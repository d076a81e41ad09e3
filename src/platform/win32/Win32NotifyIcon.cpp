#include "platform/win32/Win32NotifyIcon.h"

#include <algorithm>
#include <iterator>

#include "platform/PlatformError.h"
#include "platform/win32/Win32ErrorText.h"
#include "platform/win32/Win32NotifyRecord.h"

namespace tamberlyn {

namespace {

constexpr wchar_t kControlClass[] = L"TamberlynTrayControl";

Win32NotifyIcon* InstanceOf(HWND hwnd) { return reinterpret_cast<Win32NotifyIcon*>(GetWindowLongPtrW(hwnd, 0)); }

}  // namespace

void Win32NotifyIcon::CallShell(DWORD operation, NOTIFYICONDATAW& record) { Shell_NotifyIconW(operation, &record); }

Win32NotifyIcon::Win32NotifyIcon(HINSTANCE instance, ShellCall shell) : shell_(std::move(shell)) {
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ControlProc;
    windowClass.cbWndExtra = sizeof(Win32NotifyIcon*);
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kControlClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw PlatformError(Win32ErrorText(GetLastError()));
    }
    // Top-level, never shown, untitled: TaskbarCreated reaches top-level windows only (a
    // message-only window would miss it), and an empty title matches no fragment.
    window_ = CreateWindowExW(0, kControlClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window_) throw PlatformError(Win32ErrorText(GetLastError()));
    SetWindowLongPtrW(window_, 0, reinterpret_cast<LONG_PTR>(this));
    // The notification area is on the primary monitor's task bar; this window sits at that
    // monitor's origin, so it has the tray's DPI, and hears when that changes.
    if (const UINT dpi = GetDpiForWindow(window_)) dpi_ = dpi;
    // Run elevated, the program would otherwise never hear from a task bar of lower integrity.
    ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(window_, kTrayCallbackMessage, MSGFLT_ALLOW, nullptr);
}

Win32NotifyIcon::~Win32NotifyIcon() {
    for (auto& [id, record] : added_) shell_(NIM_DELETE, record);
    SetWindowLongPtrW(window_, 0, 0);
    DestroyWindow(window_);
}

bool Win32NotifyIcon::trayAvailable() const { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

void Win32NotifyIcon::send(DWORD operation, NOTIFYICONDATAW record) {
    if (record.uFlags & NIF_ICON) {
        const IconHandle icon = iconForDpi_ ? iconForDpi_(IconOf(record), dpi_) : IconOf(record);
        record.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon));
        shellIcons_[record.uID] = icon;
    }
    shell_(operation, record);
}

IconHandle Win32NotifyIcon::shellIcon(std::uint32_t id) const {
    const auto found = shellIcons_.find(id);
    return found != shellIcons_.end() ? found->second : 0;
}

void Win32NotifyIcon::addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) {
    NOTIFYICONDATAW record = ShellNotifyRecord(window_, id);
    if (icon != 0) SetIcon(record, icon);
    if (tip) SetTip(record, *tip);
    SetCallback(record);
    send(NIM_ADD, record);
    // Kept whatever the shell answered: an icon added before the task bar exists
    // appears once the task bar announces itself.
    added_[id] = record;
}

void Win32NotifyIcon::modify(const NOTIFYICONDATAW& record) {
    send(NIM_MODIFY, record);
    const auto found = added_.find(record.uID);
    if (found == added_.end()) return;
    NOTIFYICONDATAW& kept = found->second;
    if (record.uFlags & NIF_ICON) kept.hIcon = record.hIcon;
    if (record.uFlags & NIF_TIP) std::copy(std::begin(record.szTip), std::end(record.szTip), kept.szTip);
    // A balloon belongs to its moment; a new task bar does not show it again.
    kept.uFlags |= record.uFlags & (NIF_ICON | NIF_TIP);
}

void Win32NotifyIcon::changeIcon(std::uint32_t id, IconHandle icon) {
    NOTIFYICONDATAW record = ShellNotifyRecord(window_, id);
    SetIcon(record, icon);
    modify(record);
}

void Win32NotifyIcon::changeTip(std::uint32_t id, const std::string& tip) {
    NOTIFYICONDATAW record = ShellNotifyRecord(window_, id);
    SetTip(record, tip);
    modify(record);
}

void Win32NotifyIcon::showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                                  std::uint32_t timeoutMs) {
    NOTIFYICONDATAW record = ShellNotifyRecord(window_, id);
    SetBalloon(record, title, text, timeoutMs);
    modify(record);
}

void Win32NotifyIcon::deleteIcon(std::uint32_t id) {
    NOTIFYICONDATAW record = ShellNotifyRecord(window_, id);
    send(NIM_DELETE, record);
    added_.erase(id);
    shellIcons_.erase(id);
}

void Win32NotifyIcon::addAgain() {
    for (const auto& [id, record] : added_) send(NIM_ADD, record);
}

void Win32NotifyIcon::dpiChanged(UINT dpi) {
    if (dpi == 0 || dpi == dpi_) return;
    dpi_ = dpi;
    for (const auto& [id, record] : added_) {
        if (!(record.uFlags & NIF_ICON)) continue;
        NOTIFYICONDATAW icon = ShellNotifyRecord(record.hWnd, id);
        SetIcon(icon, IconOf(record));
        send(NIM_MODIFY, icon);
    }
}

void Win32NotifyIcon::trayCallback(WPARAM id, LPARAM notification) {
    // A click is told once, at the button's release; the shell's other reports (the pointer's
    // moves, presses, double clicks, the middle button, a balloon appearing) change nothing.
    TrayIntent intent;
    switch (notification) {
        case WM_LBUTTONUP: intent = TrayIntent::Activated; break;
        case WM_RBUTTONUP: intent = TrayIntent::ContextActivated; break;
        case NIN_BALLOONUSERCLICK: intent = TrayIntent::BalloonClicked; break;
        case NIN_BALLOONHIDE:
        case NIN_BALLOONTIMEOUT: intent = TrayIntent::BalloonGone; break;
        default: return;
    }
    if (!intentArrived) return;
    // The container's handlers run now; none of their failures may reach the window procedure.
    try {
        intentArrived(intent, static_cast<std::int32_t>(id));
    } catch (...) {
    }
}

LRESULT CALLBACK Win32NotifyIcon::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32NotifyIcon* self = InstanceOf(hwnd);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == self->taskbarCreated_) {
        self->addAgain();
        return 0;
    }
    switch (message) {
        case kTrayCallbackMessage: self->trayCallback(wParam, lParam); return 0;
        case WM_DPICHANGED: self->dpiChanged(HIWORD(wParam)); return 0;
        // A change of scale is broadcast as these too, should WM_DPICHANGED miss a window never shown.
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE: self->dpiChanged(GetDpiForWindow(hwnd)); break;
        default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tamberlyn

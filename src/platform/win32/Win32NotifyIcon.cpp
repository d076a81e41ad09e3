#include "platform/win32/Win32NotifyIcon.h"

#include "platform/PlatformError.h"
#include "platform/win32/Win32ErrorText.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32NotifyRecord.h"

namespace tamberlyn {

namespace {

constexpr wchar_t kControlClass[] = L"TamberlynTrayControl";

// The tray hook owns GWLP_USERDATA, so the instance lives in the window's own extra bytes.
Win32NotifyIcon* InstanceOf(HWND hwnd) { return reinterpret_cast<Win32NotifyIcon*>(GetWindowLongPtrW(hwnd, 0)); }

}  // namespace

Win32NotifyIcon::Win32NotifyIcon(HINSTANCE instance) {
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
    for (const auto& [key, record] : added_) {
        NOTIFYICONDATAW data = ShellNotifyRecord(record);
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    SetWindowLongPtrW(window_, 0, 0);
    DestroyWindow(window_);
}

WindowHandle Win32NotifyIcon::controlWindow() const { return HandleOf(window_); }

void Win32NotifyIcon::send(DWORD operation, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data = ShellNotifyRecord(record);
    if (record.uFlags & kNifIcon) {
        const IconHandle icon = iconForDpi_ ? iconForDpi_(record.hIcon, dpi_) : record.hIcon;
        data.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon));
        shellIcons_[{record.hWnd, record.uID}] = icon;
    }
    Shell_NotifyIconW(operation, &data);
}

IconHandle Win32NotifyIcon::shellIcon(WindowHandle window, std::uint32_t id) const {
    const auto found = shellIcons_.find({window, id});
    return found != shellIcons_.end() ? found->second : 0;
}

void Win32NotifyIcon::notify(NotifyOperation operation, const NotifyIconRecord& record) {
    send(static_cast<DWORD>(operation), record);

    // Kept whatever the shell answered: an icon added before the task bar exists
    // appears once the task bar announces itself.
    const auto key = std::make_pair(record.hWnd, record.uID);
    switch (operation) {
        case NotifyOperation::Add: added_[key] = record; break;
        case NotifyOperation::Modify:
            if (auto found = added_.find(key); found != added_.end()) {
                NotifyIconRecord& kept = found->second;
                if (record.uFlags & kNifIcon) kept.hIcon = record.hIcon;
                if (record.uFlags & kNifTip) kept.szTip = record.szTip;
                if (record.uFlags & kNifMessage) kept.uCallbackMessage = record.uCallbackMessage;
                // A balloon belongs to its moment; a new task bar does not show it again.
                kept.uFlags |= record.uFlags & (kNifIcon | kNifTip | kNifMessage);
            }
            break;
        case NotifyOperation::Delete:
            added_.erase(key);
            shellIcons_.erase(key);
            break;
    }
}

bool Win32NotifyIcon::trayAvailable() const { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

void Win32NotifyIcon::addAgain() {
    for (const auto& [key, record] : added_) send(NIM_ADD, record);
}

void Win32NotifyIcon::dpiChanged(UINT dpi) {
    if (dpi == 0 || dpi == dpi_) return;
    dpi_ = dpi;
    for (const auto& [key, record] : added_) {
        if (!(record.uFlags & kNifIcon)) continue;
        NotifyIconRecord icon;
        icon.hWnd = record.hWnd;
        icon.uID = record.uID;
        icon.uFlags = kNifIcon;
        icon.hIcon = record.hIcon;
        send(NIM_MODIFY, icon);
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
        case WM_DPICHANGED: self->dpiChanged(HIWORD(wParam)); return 0;
        // A change of scale is broadcast as these too, should WM_DPICHANGED miss a window never shown.
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE: self->dpiChanged(GetDpiForWindow(hwnd)); break;
        default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tamberlyn

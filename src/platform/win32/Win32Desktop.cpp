#include "platform/win32/Win32Desktop.h"

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {

Win32Desktop::Win32Desktop(HINSTANCE instance, int iconResource) : instance_(instance), iconResource_(iconResource) {}

Win32Desktop::~Win32Desktop() {
    for (HCURSOR cursor : cursors_) DestroyCursor(cursor);
    if (icon_) DestroyIcon(icon_);
}

Picture Win32Desktop::applicationIcon() {
    // One handle for the process: the window and the tray show the same icon.
    if (!icon_) {
        icon_ = static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(iconResource_), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    }
    if (!icon_) return Picture{};
    return Picture{PictureType::Icon, static_cast<IconHandle>(reinterpret_cast<std::uintptr_t>(icon_))};
}

int Win32Desktop::loadCursorFile(const std::string& path) {
    const HCURSOR cursor = LoadCursorFromFileW(ToUtf16(path).c_str());
    if (!cursor) {
        const DWORD code = GetLastError();
        throw PlatformError(code != ERROR_SUCCESS ? Win32ErrorText(code) : "Invalid picture");
    }
    cursors_.push_back(cursor);
    return static_cast<int>(cursors_.size());
}

void Win32Desktop::endProcess() { ExitProcess(0); }

HCURSOR Win32Desktop::cursor(int id) const {
    if (id < 1 || id > static_cast<int>(cursors_.size())) return nullptr;
    return cursors_[static_cast<std::size_t>(id - 1)];
}

}  // namespace tamberlyn

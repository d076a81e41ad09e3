#include "platform/win32/Win32Desktop.h"

#include <algorithm>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {

Win32Desktop::Win32Desktop(HINSTANCE instance, int iconResource) : instance_(instance), iconResource_(iconResource) {}

Win32Desktop::~Win32Desktop() {
    for (HCURSOR cursor : cursors_) DestroyCursor(cursor);
    for (const auto& [size, icon] : icons_) DestroyIcon(icon);
}

namespace {
IconHandle HandleOf(HICON icon) { return static_cast<IconHandle>(reinterpret_cast<std::uintptr_t>(icon)); }
}  // namespace

HICON Win32Desktop::applicationIconAt(UINT dpi) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    if (const auto found = icons_.find(size); found != icons_.end()) return found->second;
    // The image of that size from the resource, or the nearest one scaled.
    const auto icon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(iconResource_), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (icon) icons_.emplace(size, icon);
    return icon;
}

Picture Win32Desktop::applicationIcon() {
    const HICON icon = applicationIconAt(GetDpiForSystem());
    if (!icon) return Picture{};
    return Picture{PictureType::Icon, HandleOf(icon)};
}

IconHandle Win32Desktop::iconForDpi(IconHandle icon, UINT dpi) {
    const bool ours = std::any_of(icons_.begin(), icons_.end(),
                                  [icon](const auto& loaded) { return HandleOf(loaded.second) == icon; });
    if (!ours) return icon;
    const HICON atDpi = applicationIconAt(dpi);
    return atDpi ? HandleOf(atDpi) : icon;
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

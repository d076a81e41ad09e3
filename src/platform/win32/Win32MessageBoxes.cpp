#include "platform/win32/Win32MessageBoxes.h"

#include <utility>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {

Win32MessageBoxes::Win32MessageBoxes(std::function<HWND()> owner) : owner_(std::move(owner)) {}

MessageResult Win32MessageBoxes::show(const std::string& text, const std::string& title, MessageButtons buttons,
                                      MessageIcon icon) {
    UINT type = buttons == MessageButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    if (icon == MessageIcon::Exclamation) type |= MB_ICONEXCLAMATION;
    const HWND owner = owner_ ? owner_() : nullptr;
    const int answer = MessageBoxW(owner, ToUtf16(text).c_str(), ToUtf16(title).c_str(), type);
    switch (answer) {
        case IDOK: return MessageResult::Ok;
        case IDYES: return MessageResult::Yes;
        case IDNO: return MessageResult::No;
        case 0: throw PlatformError(Win32ErrorText(GetLastError()));
        // Closing a Yes/No box another way (which the system allows only for OK boxes) counts as No.
        default: return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    }
}

}  // namespace tamberlyn

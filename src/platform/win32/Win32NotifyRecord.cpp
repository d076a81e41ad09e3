#include "platform/win32/Win32NotifyRecord.h"

#include <algorithm>

#include "platform/win32/Utf16.h"

namespace tamberlyn {

namespace {

#ifdef _WIN64
static_assert(NOTIFYICONDATAW_V2_SIZE == 952, "the shell 5.0 record, wide and 64-bit");
#endif

template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::string& utf8) {
    const std::wstring text = ToUtf16(utf8);
    std::size_t length = std::min(text.size(), N - 1);
    if (length > 0 && length < text.size() && IS_HIGH_SURROGATE(text[length - 1])) --length;
    std::copy_n(text.data(), length, field);
    field[length] = L'\0';
}

}  // namespace

NOTIFYICONDATAW ShellNotifyRecord(HWND window, UINT id) {
    NOTIFYICONDATAW record{};
    record.cbSize = kNotifyRecordSize;
    record.hWnd = window;
    record.uID = id;
    return record;
}

void SetCallback(NOTIFYICONDATAW& record) {
    record.uFlags |= NIF_MESSAGE;
    record.uCallbackMessage = kTrayCallbackMessage;
}

void SetIcon(NOTIFYICONDATAW& record, IconHandle icon) {
    record.uFlags |= NIF_ICON;
    record.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon));
}

void SetTip(NOTIFYICONDATAW& record, const std::string& tip) {
    record.uFlags |= NIF_TIP;
    CopyField(record.szTip, tip);
}

void SetBalloon(NOTIFYICONDATAW& record, const std::string& title, const std::string& text, std::uint32_t timeoutMs) {
    record.uFlags |= NIF_INFO;
    CopyField(record.szInfoTitle, title);
    CopyField(record.szInfo, text);
    record.uTimeout = timeoutMs;
}

IconHandle IconOf(const NOTIFYICONDATAW& record) {
    return static_cast<IconHandle>(reinterpret_cast<std::uintptr_t>(record.hIcon));
}

}  // namespace tamberlyn

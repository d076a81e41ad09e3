#include "platform/win32/Win32NotifyRecord.h"

#include <algorithm>

#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Handles.h"

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

NOTIFYICONDATAW ShellNotifyRecord(const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = kNotifyRecordSize;
    data.hWnd = HwndOf(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(record.hIcon));
    CopyField(data.szTip, record.szTip);
    data.dwState = record.dwState;
    data.dwStateMask = record.dwStateMask;
    CopyField(data.szInfo, record.szInfo);
    data.uTimeout = record.uTimeout;
    CopyField(data.szInfoTitle, record.szInfoTitle);
    data.dwInfoFlags = record.dwInfoFlags;
    return data;
}

}  // namespace tamberlyn

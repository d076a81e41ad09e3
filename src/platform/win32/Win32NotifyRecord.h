#pragma once
// The shell's NOTIFYICONDATAW, filled in from the tray control's requests.
//
// The record has the fields of the shell 5.0 layout (up to dwInfoFlags, 488 bytes in the
// 32-bit ANSI form). Its wide, pointer-sized equivalent ends where guidItem starts:
// NOTIFYICONDATAW_V2_SIZE, 952 bytes on x64 (936 on x86).

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V2_SIZE;

// The message in which the shell reports activity on an icon to its window: the mouse
// message or balloon notification in lParam, the icon's id in wParam.
constexpr UINT kTrayCallbackMessage = WM_USER + 101;  // 1125

// A record that names icon id of window, and no field yet (uFlags 0).
NOTIFYICONDATAW ShellNotifyRecord(HWND window, UINT id);

// Each fills in its fields and adds their flag. Texts are converted to UTF-16 and cut to
// their fields, terminator included, never between the two halves of a surrogate pair.
void SetCallback(NOTIFYICONDATAW& record);
void SetIcon(NOTIFYICONDATAW& record, IconHandle icon);
void SetTip(NOTIFYICONDATAW& record, const std::string& tip);
void SetBalloon(NOTIFYICONDATAW& record, const std::string& title, const std::string& text, std::uint32_t timeoutMs);

// The icon a record holds, as the core numbers icons.
IconHandle IconOf(const NOTIFYICONDATAW& record);

}  // namespace tamberlyn

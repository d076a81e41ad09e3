#pragma once
// The core's notify-icon record as the shell's NOTIFYICONDATAW.
//
// The core's record has the fields of the shell 5.0 layout (up to dwInfoFlags, 488 bytes
// in the 32-bit ANSI form). Its wide, pointer-sized equivalent ends where guidItem starts:
// NOTIFYICONDATAW_V2_SIZE, 952 bytes on x64 (936 on x86).

#include <windows.h>
#include <shellapi.h>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V2_SIZE;

// Texts are converted to UTF-16 and cut to their fields, terminator included, never
// between the two halves of a surrogate pair.
NOTIFYICONDATAW ShellNotifyRecord(const NotifyIconRecord& record);

}  // namespace tamberlyn

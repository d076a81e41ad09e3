#pragma once
// Window handles as the core holds them: Win32 handles keep their meaning in 32 bits,
// and sign extension restores them on the way back.

#include <windows.h>

#include <cstdint>

#include "platform/WindowServices.h"

namespace tamberlyn {

inline HWND HwndOf(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

inline WindowHandle HandleOf(HWND hwnd) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd));
}

}  // namespace tamberlyn

#pragma once
// The unit tests match with the platform's real upper-casing.

#ifdef _WIN32
#include "platform/win32/Win32TextCase.h"
namespace tamberlyn::testing {
using RealTextCase = Win32TextCase;
}
#else
#include "platform/qt/QtTextCase.h"
namespace tamberlyn::testing {
using RealTextCase = QtTextCase;
}
#endif

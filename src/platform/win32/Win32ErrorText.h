#pragma once
// Readable text for a Win32 error code, for error reports.

#include <string>

namespace tamberlyn {

// The system's own description ("Access is denied."), or the code itself when the
// system has none.
std::string Win32ErrorText(unsigned long code);

}  // namespace tamberlyn

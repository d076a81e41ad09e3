#pragma once

#include <string>

#include "platform/DesktopTexts.h"

namespace tamberlyn {

// The demo instructions: eight paragraphs, each pair joined by two carriage returns.
std::string HelpText(const DesktopTexts& texts);

}  // namespace tamberlyn

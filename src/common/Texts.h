#pragma once
// The few texts that tell the user to do something on their own desktop.

#include <string>

#include "platform/Platform.h"

namespace tamberlyn {

struct DesktopTexts {
    std::string startupCheckBox;     // Check6's caption
    std::string helpRunCalculator;   // the help's seventh paragraph
    std::string helpCalculatorOpens; // the help's eighth paragraph
    std::string startupFailed;       // followed by the reason
    std::string startupRemains;      // followed by the entry left and why
    std::string rootFolder;          // where demo programs start
};

const DesktopTexts& TextsFor(DesktopKind kind);

}  // namespace tamberlyn

#pragma once
// The few texts that tell the user to do something on their own desktop: each program
// supplies its desktop's wording, as plain data that lives as long as the program.

#include <string>

namespace tamberlyn {

struct DesktopTexts {
    std::string startupCheckBox;      // Check6's caption
    std::string helpRunCalculator;    // the help's seventh paragraph
    std::string helpCalculatorOpens;  // the help's eighth paragraph
    std::string startupFailed;        // followed by the reason
    std::string startupRemains;       // followed by the entry left and why
    std::string rootFolder;           // where demo programs start
};

}  // namespace tamberlyn

#pragma once

#include <optional>
#include <string>

namespace tamberlyn {

// True when Qt is to run on its xcb platform, by QT_QPA_PLATFORM (the first of a list).
bool xcbPlatformChosen();

// Why the X display in DISPLAY cannot be used, in one line; nothing when it can. Checked
// before Qt starts, whose own answer is an abort with a page about platform plugins.
std::optional<std::string> x11DisplayProblem();

}  // namespace tamberlyn

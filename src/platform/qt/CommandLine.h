#pragma once

#include <QStringList>
#include <cstdio>
#include <optional>

namespace tamberlyn {

// Reads the command line before any display is opened: --help and --version print and end
// the program, anything else it does not know ends it with one line on `err` and status 2.
// Returns the exit status when the program is to end, nothing when it is to run.
std::optional<int> handleCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err);

}  // namespace tamberlyn

#pragma once
// The running program's folder and the optional files beside it.

#include <string>

#include "platform/ProgramFiles.h"

namespace tamberlyn {

// The executable's folder, without a trailing separator except at a drive root or "/".
std::string ProgramFolder(const ProgramFiles& files);
std::string ExecutableFileName(const ProgramFiles& files);

// A file beside the program, given as a path that starts with a backslash, such as "\x\o.cjs".
std::string ProgramFolderFile(const ProgramFiles& files, const std::string& backslashPath);

// True when the path's modification time can be read; never fails.
bool FileExists(const ProgramFiles& files, const std::string& path);

}  // namespace tamberlyn

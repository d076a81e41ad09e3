#pragma once
// The application title, shared by every message box without a caption of its own.

#include <string>

namespace tamberlyn {

extern std::string AppTitle;

// The name shortened by whole words: at least one word goes, then more while it is
// longer than 40 characters. A name without a space stays as it is.
std::string ShortTitle(std::string name);

void SetAppTitle();

}  // namespace tamberlyn

#pragma once
// The application title: the product's name made short enough for a message box caption.

#include <string>

namespace tamberlyn {

// The name shortened by whole words: at least one word goes, then more while it is
// longer than 40 characters. A name without a space stays as it is.
std::string ShortTitle(std::string name);

}  // namespace tamberlyn

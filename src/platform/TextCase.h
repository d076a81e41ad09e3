#pragma once
// Unicode-aware upper-casing, as the platform's own string functions do it.

#include <string>
#include <string_view>

namespace tamberlyn {

// Called on the GUI thread. Throws PlatformError when the text cannot be converted: a
// wrong-cased result is never returned instead.
class TextCase {
public:
    virtual ~TextCase() = default;
    virtual std::string toUpper(std::string_view utf8) const = 0;
};

}  // namespace tamberlyn

#pragma once
// Unicode-aware upper-casing, as the platform's own string functions do it.

#include <string>
#include <string_view>

namespace tamberlyn {

class TextCase {
public:
    virtual ~TextCase() = default;
    virtual std::string toUpper(std::string_view utf8) const = 0;
};

}  // namespace tamberlyn

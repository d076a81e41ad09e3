#pragma once
// How adapters report a failed platform call: a readable description for the error report.

#include <stdexcept>
#include <string>

namespace tamberlyn {

// The description is whole sentences or a system's own error text, ready to show.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tamberlyn

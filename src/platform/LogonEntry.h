#pragma once
// The entry that starts the program when the user logs on.

#include <string>

namespace tamberlyn {

// Called on the GUI thread; the entry lives outside the program, owned by the user's desktop.
class LogonEntry {
public:
    virtual ~LogonEntry() = default;
    // Registers the running program. Throws PlatformError, saying why, when no entry could be written.
    virtual void add() = 0;
    // Removes what add() wrote; an absent entry is not an error. Throws PlatformError, saying
    // which entry is left and why, when one is still there afterwards.
    virtual void remove() = 0;
};

}  // namespace tamberlyn

#pragma once
// What GNOME Shell says of Tamberlyn's extension, for the choice at start.

#include <optional>
#include <string>

namespace tamberlyn {

struct GnomeExtension {
    enum class State {
        NotInstalled,  // in no folder the shell reads
        NotLoaded,     // installed after the shell started: it loads it at the next log-in
        Disabled,
        Failed,   // error: the shell's words
        Running,  // its object is on the session bus
    };
    State state = State::NotInstalled;
    std::string uuid;     // the folder meant for this shell's version
    std::string error;
    std::string program;  // the one executable the running extension answers
};

// Asks the GNOME Shell on the session bus; nullopt when none answers there.
std::optional<GnomeExtension> ProbeGnomeExtension();

}  // namespace tamberlyn

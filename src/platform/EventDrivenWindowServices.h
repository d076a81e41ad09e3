#pragma once
// Window services that hear of changes from the window system itself, over a connection
// of their own that the program's event loop watches for them.

#include <chrono>
#include <functional>

#include "platform/WindowServices.h"

namespace tamberlyn {

// Called on the GUI thread, as WindowServices.
class EventDrivenWindowServices : public WindowServices {
public:
    // These window systems never say when a client has dealt with a close request. A
    // request counts as unanswered for this long, and for as long as the window shows a
    // question of its own (a transient or child window such as "Save changes?").
    static constexpr std::chrono::milliseconds kCloseGrace{1000};

    // Readable when the window system has news for processEvents; -1 while there is no
    // connection. It changes when a lost connection is replaced; onReconnect then tells.
    virtual int fileDescriptor() const = 0;

    // Takes in every event the window system has sent; true when windows or their titles
    // changed. A lost connection is replaced on the way; throws PlatformError, saying why,
    // when that fails.
    virtual bool processEvents() = 0;

    std::function<void()> onReconnect;
};

}  // namespace tamberlyn

#pragma once
// The GUI thread's event pump and its clock.

#include <chrono>

namespace tamberlyn {

using Clock = std::chrono::steady_clock;

// Called on the GUI thread only; the handlers it runs may re-enter the caller. Never throws:
// a handler's failure is that handler's to report.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Runs the handlers of the events that are pending now, once, and returns.
    virtual void processPendingEvents() = 0;

    // Runs events as they arrive until the deadline, or until at least one event
    // was handled, whichever comes first. Never busy-waits.
    virtual void waitForEventsUntil(Clock::time_point deadline) = 0;

    virtual Clock::time_point now() const = 0;
};

}  // namespace tamberlyn

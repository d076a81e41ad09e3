#pragma once

#include "platform/EventLoop.h"

namespace tamberlyn {

// The GUI thread's Qt event loop, pumped from inside the core's waits.
class QtEventLoop final : public EventLoop {
public:
    void processPendingEvents() override;
    void waitForEventsUntil(Clock::time_point deadline) override;
    Clock::time_point now() const override;
};

}  // namespace tamberlyn

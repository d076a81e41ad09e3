#pragma once
// An event pump with a hand-driven clock. Waiting advances the clock; queued events run
// when the pump is asked to process them.

#include <deque>
#include <functional>

#include "platform/EventLoop.h"

namespace tamberlyn::fakes {

class FakeEventLoop : public EventLoop {
public:
    void processPendingEvents() override {
        ++passes;
        runQueued();
    }

    void waitForEventsUntil(Clock::time_point deadline) override {
        ++waits;
        if (!queued.empty()) {
            runQueued();
            return;
        }
        const Clock::time_point next = current + step;
        current = next < deadline ? next : deadline;
        if (onWait) onWait();
    }

    Clock::time_point now() const override { return current; }

    void post(std::function<void()> event) { queued.push_back(std::move(event)); }
    void advance(Clock::duration by) { current += by; }

    Clock::time_point current{};
    Clock::duration step = std::chrono::milliseconds(100);  // how far one idle wait moves the clock
    std::function<void()> onWait;                           // called after every idle wait
    std::deque<std::function<void()>> queued;
    int passes = 0;
    int waits = 0;

private:
    void runQueued() {
        std::deque<std::function<void()>> now;
        now.swap(queued);
        for (auto& event : now) event();
    }
};

}  // namespace tamberlyn::fakes

#pragma once
// The Linux tests' one wait: look, pause, look again, until the condition holds or the
// patience runs out.

#include <chrono>
#include <thread>

namespace tamberlyn::testing {

// Generous: the machine is shared, and a window manager or compositor takes its time.
inline constexpr std::chrono::milliseconds kPatience{20000};

struct Sleep {
    void operator()() const { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
};

// True when the condition held in time. pause runs between looks: a test whose answers
// arrive through an event loop runs that loop there.
template <class Condition, class Pause = Sleep>
bool eventually(Condition condition, std::chrono::milliseconds patience = kPatience, Pause pause = {}) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pause();
    }
    return true;
}

}  // namespace tamberlyn::testing

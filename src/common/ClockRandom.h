#pragma once
// Random numbers seeded from the clock: enough for a once-in-a-hundred draw.

#include <random>

#include "platform/RandomSource.h"

namespace tamberlyn {

class ClockRandom final : public RandomSource {
public:
    void seedFromClock() override;
    double nextFraction() override;

private:
    std::mt19937 engine_;
};

}  // namespace tamberlyn

#include "common/ClockRandom.h"

#include <chrono>

namespace tamberlyn {

void ClockRandom::seedFromClock() {
    engine_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
}

double ClockRandom::nextFraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

}  // namespace tamberlyn

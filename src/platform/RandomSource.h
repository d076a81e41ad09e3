#pragma once

namespace tamberlyn {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    // Uniform in [0, 1).
    virtual double nextFraction() = 0;
};

}  // namespace tamberlyn

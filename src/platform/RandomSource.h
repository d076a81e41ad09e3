#pragma once
// Chance, for the rare things the program does now and then.

namespace tamberlyn {

// Called on the GUI thread; never fails.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    // Uniform in [0, 1).
    virtual double nextFraction() = 0;
};

}  // namespace tamberlyn

#pragma once
// Fragments like an imported block list, for the list benchmarks: different lengths, some accented.

#include <string>
#include <vector>

inline std::vector<std::string> BlockListFragments(long count) {
    std::vector<std::string> fragments;
    fragments.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        fragments.push_back((i % 7 == 0 ? "Fenêtre publicitaire n°" : "Special offer ") + std::to_string(i) +
                            (i % 3 == 0 ? " - limited time only" : ""));
    }
    return fragments;
}

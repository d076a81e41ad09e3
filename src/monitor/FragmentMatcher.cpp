#include "monitor/FragmentMatcher.h"

#include <algorithm>

namespace tamberlyn {

FragmentMatcher::FragmentMatcher() : FragmentMatcher(std::vector<std::string>{}) {}

FragmentMatcher::FragmentMatcher(const std::vector<std::string>& fragments) {
    std::vector<std::string_view> sorted;
    sorted.reserve(fragments.size());
    for (const std::string& fragment : fragments) {
        if (fragment.empty()) {
            emptyFragment_ = true;
        } else {
            sorted.emplace_back(fragment);
        }
    }
    // Sorted, the fragments that share a prefix are neighbours, so the trie comes out
    // breadth first with each state's edges in one run, ordered by byte.
    std::ranges::sort(sorted);
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

    struct Prefix {
        std::size_t first, last, length;  // the fragments [first, last) that start with it
    };
    std::vector<Prefix> states{{0, sorted.size(), 0}};
    firstEdge_.push_back(0);
    for (std::size_t s = 0; s < states.size(); ++s) {
        auto [first, last, length] = states[s];
        ends_.push_back(0);
        while (first < last && sorted[first].size() == length) {  // shorter ones sort first
            ends_[s] = 1;
            ++first;
        }
        for (std::size_t i = first; i < last;) {
            const auto byte = static_cast<unsigned char>(sorted[i][length]);
            std::size_t j = i + 1;
            while (j < last && static_cast<unsigned char>(sorted[j][length]) == byte) ++j;
            edgeBytes_.push_back(byte);
            edgeTargets_.push_back(static_cast<State>(states.size()));
            states.push_back({i, j, length + 1});
            i = j;
        }
        firstEdge_.push_back(static_cast<std::uint32_t>(edgeBytes_.size()));
    }

    fromRoot_.fill(kRoot);
    for (std::uint32_t e = firstEdge_[0]; e < firstEdge_[1]; ++e) fromRoot_[edgeBytes_[e]] = edgeTargets_[e];
    // Breadth first, a state's failure link (its longest proper suffix in the trie) is
    // shallower than the state, so it is complete when needed.
    fail_.assign(states.size(), kRoot);
    for (std::size_t s = 0; s < states.size(); ++s) {
        for (std::uint32_t e = firstEdge_[s]; e < firstEdge_[s + 1]; ++e) {
            const State target = edgeTargets_[e];
            if (s != kRoot) fail_[target] = next(fail_[s], edgeBytes_[e]);
            if (ends_[fail_[target]] != 0) ends_[target] = 1;
        }
    }
}

FragmentMatcher::State FragmentMatcher::edge(State state, unsigned char byte) const {
    const auto begin = edgeBytes_.begin() + firstEdge_[state];
    const auto end = edgeBytes_.begin() + firstEdge_[state + 1];
    const auto it = std::lower_bound(begin, end, byte);
    return it != end && *it == byte ? edgeTargets_[it - edgeBytes_.begin()] : -1;
}

FragmentMatcher::State FragmentMatcher::next(State state, unsigned char byte) const {
    for (;;) {
        if (state == kRoot) return fromRoot_[byte];
        if (const State target = edge(state, byte); target >= 0) return target;
        state = fail_[state];
    }
}

bool FragmentMatcher::foundIn(std::string_view text) const {
    if (text.empty()) return false;
    if (emptyFragment_) return true;
    State state = kRoot;
    for (const char c : text) {
        state = next(state, static_cast<unsigned char>(c));
        if (ends_[state] != 0) return true;
    }
    return false;
}

}  // namespace tamberlyn

#pragma once
// Finds any of many fragments in a text in one pass over the text (Aho-Corasick over
// bytes). Bytes, not characters: UTF-8 never matches inside another character's sequence,
// so a byte search finds exactly what a character search finds.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlyn {

class FragmentMatcher {
public:
    FragmentMatcher();
    explicit FragmentMatcher(const std::vector<std::string>& fragments);

    // Whether text holds at least one fragment. Nothing is found in an empty text; an
    // empty fragment is found in every other one.
    bool foundIn(std::string_view text) const;

private:
    using State = std::int32_t;
    static constexpr State kRoot = 0;

    State next(State state, unsigned char byte) const;
    State edge(State state, unsigned char byte) const;  // -1 when there is none

    bool emptyFragment_ = false;
    std::array<State, 256> fromRoot_{};
    // Edges of state s: edgeBytes_/edgeTargets_[firstEdge_[s] .. firstEdge_[s + 1]), sorted by byte.
    std::vector<std::uint32_t> firstEdge_;
    std::vector<unsigned char> edgeBytes_;
    std::vector<State> edgeTargets_;
    std::vector<State> fail_;
    std::vector<std::uint8_t> ends_;  // some fragment ends here, or at a suffix of this state
};

}  // namespace tamberlyn

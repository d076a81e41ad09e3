#pragma once
// The watch list made ready for matching: each fragment is upper-cased once per change of
// the list, each title once per change of that title, and all fragments are looked for in
// one pass over a title.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "monitor/FragmentMatcher.h"
#include "platform/TextCase.h"
#include "common/ErrorTrap.h"
#include "watchlist/WatchList.h"

namespace tamberlyn {

// Upper-cases as the platform does; plain ASCII, whose only case pairs are a-z and A-Z
// on every platform, without asking it.
std::string UpperCase(const TextCase& textCase, std::string_view text);

class MatchCache {
public:
    // Makes the fragments of list ready, unless they already are. A fragment that cannot be
    // upper-cased is reported at label 104 and matches nothing.
    void prepare(const WatchList& list, const TextCase& textCase, ErrorTrap& trap);

    // The remembered answer for a title, if any, counting it as seen in this pass.
    std::optional<bool> remembered(const std::string& title);
    bool match(const std::string& upperTitle) const { return matcher_.foundIn(upperTitle); }
    void remember(const std::string& title, bool matches);

    // Forgets the titles that no window showed since the last call, so that memory follows
    // the windows there are, not all there ever were.
    void endPass();

    // Counts failed matches: a pass with one is not to be remembered.
    void noteFailure() { ++failures_; }
    std::uint64_t failures() const { return failures_; }

private:
    struct Answer {
        bool matches;
        std::uint64_t pass;
    };

    std::uint64_t listRevision_ = 0;
    FragmentMatcher matcher_;
    std::unordered_map<std::string, Answer> titles_;
    std::uint64_t pass_ = 0;
    std::uint64_t failures_ = 0;
};

}  // namespace tamberlyn

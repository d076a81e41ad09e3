#include "monitor/MatchCache.h"

#include <algorithm>
#include <vector>

namespace tamberlyn {

std::string UpperCase(const TextCase& textCase, std::string_view text) {
    if (!std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return textCase.toUpper(text);
    }
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

void MatchCache::prepare(const WatchList& list, const TextCase& textCase, ErrorTrap& trap) {
    if (list.rowsRevision() == listRevision_) return;
    std::vector<std::string> fragments;
    fragments.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 1; i <= list.count(); ++i) {
        trap.step(104, [&] { fragments.push_back(UpperCase(textCase, list.text(i))); });
    }
    matcher_ = FragmentMatcher(fragments);
    titles_.clear();
    listRevision_ = list.rowsRevision();
}

std::optional<bool> MatchCache::remembered(const std::string& title) {
    const auto it = titles_.find(title);
    if (it == titles_.end()) return std::nullopt;
    it->second.pass = pass_;
    return it->second.matches;
}

void MatchCache::remember(const std::string& title, bool matches) { titles_[title] = {matches, pass_}; }

void MatchCache::endPass() {
    std::erase_if(titles_, [this](const auto& entry) { return entry.second.pass != pass_; });
    ++pass_;
}

}  // namespace tamberlyn

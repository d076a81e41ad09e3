#pragma once
// The fragments to watch for, in the order the user added them. Positions are 1-based, as
// the list's users count them.

#include <cstdint>
#include <string>
#include <vector>

namespace tamberlyn {

class WatchList {
public:
    WatchList();

    int count() const { return static_cast<int>(entries_.size()); }
    const std::string& text(int position) const;  // throws std::out_of_range
    const std::vector<std::string>& rows() const { return entries_; }
    // Changes whenever an entry is added or removed, and differs between any two lists of
    // the process: what has been prepared from the entries stays good for as long as it is
    // the same.
    std::uint64_t rowsRevision() const { return rowsRevision_; }

    void add(std::string text);
    // Appends every text, in order, as one change.
    void addRows(std::vector<std::string> texts);
    void remove(int position);  // throws std::out_of_range
    void clear();

private:
    std::vector<std::string> entries_;
    std::uint64_t rowsRevision_;
};

// Throws std::out_of_range unless 1 <= position <= count.
void CheckPosition(int position, int count);

}  // namespace tamberlyn

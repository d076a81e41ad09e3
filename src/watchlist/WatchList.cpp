#include "watchlist/WatchList.h"

#include <atomic>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace tamberlyn {

namespace {
std::uint64_t NewRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}
}  // namespace

void CheckPosition(int position, int count) {
    if (position < 1 || position > count) throw std::out_of_range("Index out of bounds");
}

WatchList::WatchList() : rowsRevision_(NewRevision()) {}

const std::string& WatchList::text(int position) const {
    CheckPosition(position, count());
    return entries_[static_cast<std::size_t>(position - 1)];
}

void WatchList::add(std::string text) {
    entries_.push_back(std::move(text));
    rowsRevision_ = NewRevision();
}

void WatchList::addRows(std::vector<std::string> texts) {
    if (texts.empty()) return;
    if (entries_.empty()) {
        entries_ = std::move(texts);
    } else {
        entries_.insert(entries_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    }
    rowsRevision_ = NewRevision();
}

void WatchList::remove(int position) {
    CheckPosition(position, count());
    entries_.erase(entries_.begin() + (position - 1));
    rowsRevision_ = NewRevision();
}

void WatchList::clear() {
    entries_.clear();
    rowsRevision_ = NewRevision();
}

}  // namespace tamberlyn

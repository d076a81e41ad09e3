#include "watchlist/ListView.h"

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

void checkPosition(int position, int count) {
    if (position < 1 || position > count) throw std::out_of_range("Index out of bounds");
}
}  // namespace

ListView::ListView(std::string name, TwipsRect rect, int tabIndex, std::string toolTip)
    : Control(std::move(name), rect, tabIndex), rowsRevision_(NewRevision()), toolTip_(std::move(toolTip)) {}

const std::string& ListView::text(int position) const {
    checkPosition(position, count());
    return rows_[static_cast<std::size_t>(position - 1)];
}

void ListView::add(std::string text) {
    rows_.push_back(std::move(text));
    rowsRevision_ = NewRevision();
    changed();
}

void ListView::addRows(std::vector<std::string> texts) {
    if (texts.empty()) return;
    if (rows_.empty()) {
        rows_ = std::move(texts);
    } else {
        rows_.insert(rows_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    }
    rowsRevision_ = NewRevision();
    changed();
}

void ListView::remove(int position) {
    checkPosition(position, count());
    rows_.erase(rows_.begin() + (position - 1));
    rowsRevision_ = NewRevision();
    // A removed row takes its selection with it; a row below it keeps its own.
    if (position == selected_) {
        selected_ = 0;
    } else if (position < selected_) {
        --selected_;
    }
    changed();
}

void ListView::clear() {
    rows_.clear();
    rowsRevision_ = NewRevision();
    selected_ = 0;
    changed();
}

void ListView::select(int position) {
    if (position != 0) checkPosition(position, count());
    if (selected_ == position) return;
    selected_ = position;
    changed();
}

void ListView::addColumnHeader(std::string text) {
    columnHeader_ = std::move(text);
    changed();
}

void ListView::setColumnWidth(int twips) {
    columnWidth_ = twips;
    changed();
}

}  // namespace tamberlyn

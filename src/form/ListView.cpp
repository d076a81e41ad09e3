#include "form/ListView.h"

#include <utility>

namespace tamberlyn {

ListView::ListView(std::string name, TwipsRect rect, int tabIndex, std::string toolTip)
    : Control(std::move(name), rect, tabIndex), toolTip_(std::move(toolTip)) {}

void ListView::add(std::string text) {
    rows_.add(std::move(text));
    changed();
}

void ListView::addRows(std::vector<std::string> texts) {
    if (texts.empty()) return;
    rows_.addRows(std::move(texts));
    changed();
}

void ListView::remove(int position) {
    rows_.remove(position);
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
    selected_ = 0;
    changed();
}

void ListView::select(int position) {
    if (position != 0) CheckPosition(position, count());
    assign(selected_, position);
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

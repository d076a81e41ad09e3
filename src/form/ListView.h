#pragma once
// ListView1: the watch list shown as the rows of the main window's list view, with its
// selection, column header and tool tip. Positions are 1-based, as the list's users count them.

#include <cstdint>
#include <string>
#include <vector>

#include "form/Controls.h"
#include "watchlist/WatchList.h"

namespace tamberlyn {

class ListView : public Control {
public:
    ListView(std::string name, TwipsRect rect, int tabIndex, std::string toolTip);

    // The fragments the rows show, for those that work on the list alone.
    const WatchList& watchList() const { return rows_; }

    int count() const { return rows_.count(); }
    const std::string& text(int position) const { return rows_.text(position); }  // throws std::out_of_range
    const std::vector<std::string>& rows() const { return rows_.rows(); }
    std::uint64_t rowsRevision() const { return rows_.rowsRevision(); }

    void add(std::string text);
    // Appends every text as a row, in order, as one change: a view then looks at the list
    // once, however many rows came.
    void addRows(std::vector<std::string> texts);
    void remove(int position);  // throws std::out_of_range
    void clear();

    // 0 when no row is selected.
    int selectedIndex() const { return selected_; }
    void select(int position);  // 0 clears the selection

    const std::string& toolTip() const { return toolTip_; }

    // The one column header; empty until start-up adds it.
    const std::string& columnHeader() const { return columnHeader_; }
    int columnWidth() const { return columnWidth_; }  // twips
    void addColumnHeader(std::string text);
    void setColumnWidth(int twips);

private:
    WatchList rows_;
    int selected_ = 0;
    std::string toolTip_;
    std::string columnHeader_;
    int columnWidth_ = 0;
};

}  // namespace tamberlyn

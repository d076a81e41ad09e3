#pragma once
// The watch list as the rows of the main window's list view, with its selection.
// Positions are 1-based, as the list's users count them.

#include <cstdint>
#include <string>
#include <vector>

#include "common/Controls.h"

namespace tamberlyn {

class ListView : public Control {
public:
    ListView(std::string name, TwipsRect rect, int tabIndex, std::string toolTip);

    int count() const { return static_cast<int>(rows_.size()); }
    const std::string& text(int position) const;  // throws std::out_of_range
    const std::vector<std::string>& rows() const { return rows_; }
    // Changes whenever a row is added or removed, and differs between any two lists of the
    // process: what has been prepared from the rows stays good for as long as it is the same.
    std::uint64_t rowsRevision() const { return rowsRevision_; }

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
    std::vector<std::string> rows_;
    std::uint64_t rowsRevision_;
    int selected_ = 0;
    std::string toolTip_;
    std::string columnHeader_;
    int columnWidth_ = 0;
};

}  // namespace tamberlyn

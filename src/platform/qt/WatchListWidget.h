#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tamberlyn {

// The watch list's one-column list. It reports the mouse and the keyboard the way the
// form's list raises them: a click (after Qt updated the selection), a double click on a
// row, and a key before the list itself acts on it. Selection changes, whatever made them,
// are the owner's to follow through the selection model.
class WatchListWidget final : public QTreeWidget {
public:
    explicit WatchListWidget(QWidget* parent);

    // The selected row counted from 1; 0 for none.
    int selectedPosition() const;

    // Shows these rows, which the list's revision names: only what differs from the rows
    // shown is touched, and nothing at all for the revision already shown.
    void showRows(const std::vector<std::string>& rows, std::uint64_t revision);

    std::function<void()> clicked;
    std::function<void()> doubleClicked;
    std::function<void(int virtualKey, int shift)> keyDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<std::string> shownRows_;  // row by row
    std::uint64_t shownRevision_ = 0;
};

}  // namespace tamberlyn

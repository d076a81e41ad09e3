#pragma once

#include <QTreeWidget>
#include <functional>

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

    std::function<void()> clicked;
    std::function<void()> doubleClicked;
    std::function<void(int virtualKey, int shift)> keyDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tamberlyn

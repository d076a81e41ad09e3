#include "platform/qt/WatchListWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/qt/QtStrings.h"
#include "platform/qt/VirtualKeys.h"

namespace tamberlyn {

WatchListWidget::WatchListWidget(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
}

int WatchListWidget::selectedPosition() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : indexOfTopLevelItem(selected.first()) + 1;
}

// Only the rows that differ, in one removal and one insertion: the rows around an edit keep
// their items, place and scrolling, and a long list is built once, not again at each edit.
void WatchListWidget::showRows(const std::vector<std::string>& rows, std::uint64_t revision) {
    if (revision == shownRevision_) return;
    std::size_t prefix = 0;
    while (prefix < rows.size() && prefix < shownRows_.size() && rows[prefix] == shownRows_[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < rows.size() - prefix && suffix < shownRows_.size() - prefix &&
           rows[rows.size() - 1 - suffix] == shownRows_[shownRows_.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::size_t removed = shownRows_.size() - prefix - suffix;
    if (removed == shownRows_.size() && removed > 0) {
        clear();
    } else if (removed > 0) {
        model()->removeRows(static_cast<int>(prefix), static_cast<int>(removed));
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size() - suffix - prefix));
    for (std::size_t i = prefix; i < rows.size() - suffix; ++i) {
        items.append(new QTreeWidgetItem(QStringList{toQString(rows[i])}));
    }
    if (!items.isEmpty()) insertTopLevelItems(static_cast<int>(prefix), items);

    const auto at = [this](std::size_t i) { return shownRows_.begin() + static_cast<std::ptrdiff_t>(i); };
    shownRows_.erase(at(prefix), at(prefix + removed));
    shownRows_.insert(at(prefix), rows.begin() + static_cast<std::ptrdiff_t>(prefix),
                      rows.end() - static_cast<std::ptrdiff_t>(suffix));
    shownRevision_ = revision;
}

void WatchListWidget::mousePressEvent(QMouseEvent* event) {
    // A press beside the rows clears the selection before the click is reported, as in
    // the native list.
    if (itemAt(event->position().toPoint()) == nullptr) clearSelection();
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && clicked) clicked();
}

void WatchListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (itemAt(event->position().toPoint()) != nullptr && doubleClicked) doubleClicked();
}

void WatchListWidget::keyPressEvent(QKeyEvent* event) {
    if (keyDown) keyDown(virtualKeyOf(event->key()), shiftMaskOf(event->modifiers()));
    QTreeWidget::keyPressEvent(event);
}

}  // namespace tamberlyn

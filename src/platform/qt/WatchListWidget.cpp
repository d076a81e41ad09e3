#include "platform/qt/WatchListWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

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

#include "platform/qt/WatchListWidget.h"

#include <QHeaderView>
#include <QKeyEvent>

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
    QTreeWidget::mousePressEvent(event);
    if (pressed) pressed();
}

void WatchListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (doubleClicked) doubleClicked();
}

void WatchListWidget::keyPressEvent(QKeyEvent* event) {
    if (keyDown) keyDown(virtualKeyOf(event->key()), shiftMaskOf(event->modifiers()));
    const int before = selectedPosition();
    QTreeWidget::keyPressEvent(event);
    if (selectedPosition() != before && selectionMoved) selectionMoved();
}

}  // namespace tamberlyn

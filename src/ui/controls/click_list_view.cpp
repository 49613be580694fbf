#include "ui/controls/click_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

ClickListView::ClickListView(QWidget* parent) : QListView(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  setLayoutMode(QListView::SinglePass);
}

int ClickListView::ListIndex() const {
  const QModelIndex current = currentIndex();
  if (!current.isValid() || !selectionModel()->isSelected(current)) return -1;
  return current.row();
}

void ClickListView::SetListIndex(int row) {
  if (row < 0 || model() == nullptr || row >= model()->rowCount()) {
    selectionModel()->clear();
    return;
  }
  setCurrentIndex(model()->index(row, 0));
}

void ClickListView::ClickItem(int row) {
  SetListIndex(row);
  if (ListIndex() == row) emit Click();
}

void ClickListView::mousePressEvent(QMouseEvent* event) {
  selected_before_press_ = ListIndex();
  QListView::mousePressEvent(event);
}

void ClickListView::mouseDoubleClickEvent(QMouseEvent* event) {
  in_double_click_ = true;
  QListView::mouseDoubleClickEvent(event);
}

void ClickListView::mouseReleaseEvent(QMouseEvent* event) {
  // The press has already selected the item under the pointer; the click
  // counts when the button is let go over that same item.
  const QModelIndex pressed = currentIndex();
  QListView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (in_double_click_) {
    in_double_click_ = false;
    // The second press raises no click, so it leaves no new selection
    // either: when the first click's handling moved the entries (a
    // removal), the entry now under the pointer stays unselected.
    if (ListIndex() != selected_before_press_) {
      SetListIndex(selected_before_press_);
    }
    return;
  }
  const QModelIndex released = indexAt(event->position().toPoint());
  if (released.isValid() && released == pressed) emit Click();
}

void ClickListView::keyPressEvent(QKeyEvent* event) {
  const int before = ListIndex();
  QListView::keyPressEvent(event);
  const int after = ListIndex();
  if (after >= 0 && after != before) emit Click();
}

}  // namespace ui

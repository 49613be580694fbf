#include "ui/controls/list_box.h"

#include <algorithm>

#include "ui/controls/text.h"

namespace ui {

int ListBoxModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    return ToQt(entries_[index.row()]);
  }
  return {};
}

int ListBoxModel::CountOf(const std::string& text) const {
  return static_cast<int>(index_.count(text));
}

void ListBoxModel::Append(std::string text) {
  const int row = Count();
  beginInsertRows(QModelIndex(), row, row);
  index_.insert(text);
  entries_.push_back(std::move(text));
  endInsertRows();
}

void ListBoxModel::Remove(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  index_.erase(index_.find(entries_[row]));
  entries_.erase(entries_.begin() + row);
  endRemoveRows();
}

void ListBoxModel::RemoveFirst(int count) {
  beginRemoveRows(QModelIndex(), 0, count - 1);
  for (int row = 0; row < count; ++row) {
    index_.erase(index_.find(entries_[row]));
  }
  entries_.erase(entries_.begin(), entries_.begin() + count);
  endRemoveRows();
}

void ListBoxModel::RemoveAll() {
  beginResetModel();
  entries_.clear();
  index_.clear();
  endResetModel();
}

ListBox::ListBox(QWidget* parent)
    : ClickListView(parent), model_(new ListBoxModel(this)) {
  setModel(model_);
}

bool ListBox::AddItem(std::string text) {
  if (ListCount() >= kMaxEntries) return false;
  model_->Append(std::move(text));
  return true;
}

void ListBox::RemoveItem(int row) {
  if (row < 0 || row >= ListCount()) return;
  model_->Remove(row);
  SetListIndex(-1);
}

void ListBox::RemoveFirstItems(int count) {
  count = std::min(count, ListCount());
  if (count <= 0) return;
  model_->RemoveFirst(count);
  SetListIndex(-1);
}

void ListBox::Clear() { model_->RemoveAll(); }

}  // namespace ui

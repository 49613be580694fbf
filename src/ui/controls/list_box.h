#ifndef PELLOQUIN_UI_CONTROLS_LIST_BOX_H_
#define PELLOQUIN_UI_CONTROLS_LIST_BOX_H_

#include <QAbstractListModel>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>

#include "ui/controls/click_list_view.h"

namespace ui {

// The entries of a ListBox, in order, with an index of their texts so that
// looking one up costs the same at any length.
class ListBoxModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Entry(int row) const { return entries_[row]; }
  // How many entries equal the text exactly (case-sensitive, untrimmed).
  int CountOf(const std::string& text) const;
  void Append(std::string text);
  void Remove(int row);
  // Removes the first `count` entries at once.
  void RemoveFirst(int count);
  void RemoveAll();

 private:
  std::deque<std::string> entries_;
  std::unordered_multiset<std::string> index_;
};

// An unsorted single-selection list box of text entries.
class ListBox : public ClickListView {
  Q_OBJECT

 public:
  // The most entries a list box holds: its counts are 16-bit.
  static constexpr int kMaxEntries = 32767;

  explicit ListBox(QWidget* parent = nullptr);

  int ListCount() const { return model_->Count(); }
  const std::string& List(int row) const { return model_->Entry(row); }
  int CountOf(const std::string& text) const { return model_->CountOf(text); }

  // Appends an entry at the end; false, changing nothing, when the list
  // already holds kMaxEntries.
  bool AddItem(std::string text);
  // Removes the entry at `row` (ignored when out of range); the entries
  // behind it move up and nothing stays selected.
  void RemoveItem(int row);
  // Removes the first `count` entries (at most all) in one step.
  void RemoveFirstItems(int count);
  void Clear();

 private:
  ListBoxModel* model_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_LIST_BOX_H_

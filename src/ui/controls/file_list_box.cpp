#include "ui/controls/file_list_box.h"

#include <utility>

#include "ui/controls/text.h"

namespace ui {

int FileNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

QVariant FileNamesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    return ToQt(names_[index.row()]);
  }
  return {};
}

void FileNamesModel::SetNames(std::vector<std::string> names) {
  beginResetModel();
  names_ = std::move(names);
  endResetModel();
}

FileListBox::FileListBox(platform::FileSystem& file_system, QWidget* parent)
    : ClickListView(parent),
      file_system_(file_system),
      model_(new FileNamesModel(this)) {
  setModel(model_);
}

platform::Status FileListBox::SetPath(std::string_view path) {
  platform::Result<std::string> full = file_system_.FullPath(path);
  if (!full.ok()) return full.status();
  return Load(std::move(full).value(), pattern_);
}

platform::Status FileListBox::SetPattern(std::string_view pattern) {
  return Load(path_, std::string(pattern));
}

platform::Status FileListBox::Refresh() { return Load(path_, pattern_); }

std::string FileListBox::FileName() const {
  const int row = ListIndex();
  return row < 0 ? std::string() : model_->names()[row];
}

int FileListBox::ListCount() const {
  return static_cast<int>(model_->names().size());
}

const std::string& FileListBox::List(int row) const {
  return model_->names()[row];
}

platform::Status FileListBox::Load(std::string path, std::string pattern) {
  platform::Result<std::vector<std::string>> names =
      file_system_.ListFiles(path, pattern, platform::kAttrNormal);
  if (!names.ok()) return names.status();
  path_ = std::move(path);
  pattern_ = std::move(pattern);
  model_->SetNames(std::move(names).value());
  return {};
}

}  // namespace ui

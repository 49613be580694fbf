#include "ui/controls/dir_list_box.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <utility>

#include "ui/controls/text.h"

namespace ui {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;

// "C:\a\b" -> {"C:\", "a", "b"}.
std::vector<std::string> SplitFolderPath(const std::string& full) {
  std::vector<std::string> parts;
  const size_t root_length = full.find('\\') + 1;
  parts.push_back(full.substr(0, root_length));
  size_t start = root_length;
  while (start < full.size()) {
    size_t end = full.find('\\', start);
    if (end == std::string::npos) end = full.size();
    if (end > start) parts.push_back(full.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

}  // namespace

DirListBox::DirListBox(platform::FileSystem& file_system, QWidget* parent)
    : QTreeWidget(parent), file_system_(file_system) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(12);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item, int) { OpenByUser(item); });
}

platform::Status DirListBox::SetPath(std::string_view path) {
  platform::Result<std::string> full = file_system_.FullPath(path);
  if (!full.ok()) return full.status();
  const bool changed = full.value() != path_;
  platform::Status status = Load(std::move(full).value());
  if (status.ok() && changed) emit Change();
  return status;
}

platform::Status DirListBox::Refresh() { return Load(path_); }

platform::Status DirListBox::OpenEntry(int row) {
  if (row < 0 || row >= static_cast<int>(entry_paths_.size())) return {};
  const std::string target = entry_paths_[row];
  return SetPath(target);
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OpenByUser(currentItem());
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void DirListBox::OpenByUser(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  platform::Status status = OpenEntry(item->data(0, kRowRole).toInt());
  if (!status.ok()) emit OpenFailed(status);
}

platform::Status DirListBox::Load(std::string path) {
  platform::Result<std::vector<std::string>> subfolders =
      file_system_.ListFolders(path);
  if (!subfolders.ok()) return subfolders.status();

  clear();
  entry_paths_.clear();
  path_ = std::move(path);
  QTreeWidgetItem* parent = nullptr;
  std::string ancestor;
  for (const std::string& part : SplitFolderPath(path_)) {
    ancestor = ancestor.empty() ? part : JoinFolder(ancestor, part);
    parent = AddEntry(parent, part, ancestor, true);
  }
  QTreeWidgetItem* open_folder = parent;
  for (const std::string& name : subfolders.value()) {
    AddEntry(open_folder, name, JoinFolder(path_, name), false);
  }
  expandAll();
  setCurrentItem(open_folder);
  return {};
}

QTreeWidgetItem* DirListBox::AddEntry(QTreeWidgetItem* parent,
                                      const std::string& name, std::string path,
                                      bool open) {
  auto* item = parent == nullptr ? new QTreeWidgetItem(this)
                                 : new QTreeWidgetItem(parent);
  item->setText(0, ToQt(name));
  item->setIcon(0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon
                                              : QStyle::SP_DirClosedIcon));
  item->setData(0, kRowRole, static_cast<int>(entry_paths_.size()));
  entry_paths_.push_back(std::move(path));
  return item;
}

}  // namespace ui

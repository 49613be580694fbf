#include "ui/controls/dir_list_box.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "platform/drive_path.h"
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

// A folder drawn at 16 x 16 (in logical pixels, sharp at any scale):
// closed, or open with its front flap tilted down.
QPixmap DrawFolder(bool open, qreal scale) {
  QPixmap pixmap(QSize(16, 16) * scale);
  pixmap.setDevicePixelRatio(scale);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor outline(0x8A, 0x62, 0x10);
  painter.setPen(QPen(outline, 1));
  painter.setBrush(QColor(0xE0, 0xAA, 0x3C));
  // The back with its tab.
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6.5, 3.5);
  back.lineTo(8, 5);
  back.lineTo(14.5, 5);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  painter.drawPath(back);
  if (open) {
    // The front, tilted open: a sheet inside and the flap below it.
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 4.5, 9, 6));
    painter.setBrush(QColor(0xF6, 0xD2, 0x6E));
    QPolygonF flap({{4, 7.5}, {15.5, 7.5}, {13, 13.5}, {1.5, 13.5}});
    painter.drawPolygon(flap);
  } else {
    painter.setBrush(QColor(0xF6, 0xD2, 0x6E));
    painter.drawRect(QRectF(1.5, 6.5, 13, 7));
  }
  return pixmap;
}

QIcon FolderIcon(bool open) {
  QIcon icon;
  for (qreal scale : {1.0, 2.0}) icon.addPixmap(DrawFolder(open, scale));
  return icon;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

}  // namespace

DirListBox::DirListBox(platform::FileSystem& file_system, QWidget* parent)
    : QTreeWidget(parent),
      file_system_(file_system),
      open_icon_(FolderIcon(true)),
      closed_icon_(FolderIcon(false)) {
  setHeaderHidden(true);
  setColumnCount(1);
  // Hidden, but read by assistive technology as the column's name.
  setHeaderLabels({"Folders"});
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
  platform::Status status = Open(std::move(full).value());
  const std::optional<char> drive = platform::DriveNameLetter(path);
  if (status.code() == platform::Error::kPathNotFound && drive) {
    // The drive's current folder has gone since: the drive opens at its
    // root, as making it current does.
    status = Open(platform::FormatFolderPath(*drive, {}));
  }
  return status;
}

platform::Status DirListBox::SetPathOrAbove(std::string_view path) {
  const platform::Status status = SetPath(path);
  if (status.ok() || status.code() == platform::Error::kNotReady) {
    return status;
  }
  platform::Result<std::string> folder = file_system_.FullPath(path);
  while (folder.ok()) {
    platform::Result<std::string> parent =
        file_system_.FullPath(*folder + "\\..");
    if (!parent.ok() || *parent == *folder) break;
    const platform::Status opened = Open(*parent);
    if (opened.ok() || opened.code() == platform::Error::kNotReady) break;
    folder = std::move(parent);
  }
  return status;
}

platform::Status DirListBox::Open(std::string full_path) {
  const bool changed = full_path != path_;
  platform::Status status = Load(std::move(full_path));
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
  // A deep folder's name is cut off at the list's edge: the pointer shows
  // it whole.
  item->setToolTip(0, item->text(0));
  item->setIcon(0, open ? open_icon_ : closed_icon_);
  item->setData(0, kRowRole, static_cast<int>(entry_paths_.size()));
  entry_paths_.push_back(std::move(path));
  return item;
}

}  // namespace ui

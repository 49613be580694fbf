#ifndef PELLOQUIN_UI_CONTROLS_DIR_LIST_BOX_H_
#define PELLOQUIN_UI_CONTROLS_DIR_LIST_BOX_H_

#include <QIcon>
#include <QTreeWidget>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

namespace ui {

// A folder list: the open folder's ancestors, from the drive's root down,
// and the open folder's subfolders. The open folder and its ancestors show
// an open folder, the subfolders a closed one. A double click or Enter on
// an entry opens it.
class DirListBox : public QTreeWidget {
  Q_OBJECT

 public:
  explicit DirListBox(platform::FileSystem& file_system,
                      QWidget* parent = nullptr);

  // The open folder, as a full folder path ("C:\" or "C:\a\b"); never a
  // merely highlighted entry.
  const std::string& Path() const { return path_; }
  // Opens a folder: any path form the file system reads, or a drive as a
  // drive list names it ("d:", "d: [label]"), which means that drive's
  // current folder, or its root when that folder has gone. Raises Change
  // when the open folder changes. On failure (no such folder, drive not
  // ready) nothing changes.
  platform::Status SetPath(std::string_view path);
  // Opens the folder or, when it cannot be listed, the nearest folder above
  // it that can; a drive that does not answer is not climbed. Returns the
  // failure of the folder itself (ok when it opened); Path() tells which
  // folder is open.
  platform::Status SetPathOrAbove(std::string_view path);
  // Re-reads the open folder's subfolders from disk.
  platform::Status Refresh();

  // The entries shown, top to bottom, as full folder paths.
  const std::vector<std::string>& EntryPaths() const { return entry_paths_; }
  // Opens the entry at `row` of EntryPaths(), as a double click does.
  platform::Status OpenEntry(int row);

 signals:
  void Change();
  // An entry could not be opened by the user; the list stayed as it was.
  void OpenFailed(const platform::Status& status);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Every entry is always expanded: no branch marks to draw.
  void drawBranches(QPainter*, const QRect&,
                    const QModelIndex&) const override {}

 private:
  // Opens a full folder path; Change when the open folder changes.
  platform::Status Open(std::string full_path);
  platform::Status Load(std::string path);
  void OpenByUser(QTreeWidgetItem* item);
  QTreeWidgetItem* AddEntry(QTreeWidgetItem* parent, const std::string& name,
                            std::string path, bool open);

  platform::FileSystem& file_system_;
  const QIcon open_icon_;
  const QIcon closed_icon_;
  std::string path_;
  std::vector<std::string> entry_paths_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_DIR_LIST_BOX_H_

#ifndef PELLOQUIN_UI_CONTROLS_FILE_LIST_BOX_H_
#define PELLOQUIN_UI_CONTROLS_FILE_LIST_BOX_H_

#include <QAbstractListModel>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"
#include "ui/controls/click_list_view.h"

namespace ui {

// The names a FileListBox shows.
class FileNamesModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const std::vector<std::string>& names() const { return names_; }
  void SetNames(std::vector<std::string> names);

 private:
  std::vector<std::string> names_;
};

// The files of one folder that match a wildcard pattern, sorted by name.
class FileListBox : public ClickListView {
  Q_OBJECT

 public:
  explicit FileListBox(platform::FileSystem& file_system,
                       QWidget* parent = nullptr);

  // The folder listed, as a full folder path ("C:\" or "C:\a").
  const std::string& Path() const { return path_; }
  // Lists another folder (any path form the file system reads); on failure
  // the list keeps its folder and its names.
  platform::Status SetPath(std::string_view path);

  // The wildcard pattern, "*.*" at first; ";" separates several patterns.
  const std::string& Pattern() const { return pattern_; }
  // Lists the folder's files under another pattern; on failure the list
  // keeps its pattern and its names.
  platform::Status SetPattern(std::string_view pattern);

  // The selected file's name (no folder), or "" when none is selected.
  std::string FileName() const;
  int ListCount() const;
  const std::string& List(int row) const;

  // Re-reads the folder from disk.
  platform::Status Refresh();

 private:
  platform::Status Load(std::string path, std::string pattern);

  platform::FileSystem& file_system_;
  FileNamesModel* model_;
  std::string path_;
  std::string pattern_ = "*.*";
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_FILE_LIST_BOX_H_

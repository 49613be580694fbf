#ifndef PELLOQUIN_UI_CONTROLS_DRIVE_LIST_BOX_H_
#define PELLOQUIN_UI_CONTROLS_DRIVE_LIST_BOX_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "ui/controls/drop_down.h"

namespace ui {

// A drop-down of the machine's drives, named "c:" or "c: [label]". Opens on
// the current drive.
class DriveListBox : public DropDown {
  Q_OBJECT

 public:
  explicit DriveListBox(platform::FileSystem& file_system,
                        QWidget* parent = nullptr);

  // The selected drive as the list names it ("c:", "d: [label]").
  std::string Drive() const;
  // Selects the drive whose letter starts `drive` ("d", "D:\x", "d: [x]");
  // raises Change when the selection changes. False, changing nothing, when
  // no listed drive has that letter.
  bool SetDrive(std::string_view drive);
  // Re-reads the drives, keeping the selected one where it still exists.
  // Raises no Change. Touches no drive, so it never waits on one.
  void Refresh();

  const std::vector<platform::DriveInfo>& drives() const { return drives_; }

  // The drives are read afresh whenever the list opens: a drive mounted
  // since shows, one taken away is gone.
  void showPopup() override;

 signals:
  void Change();

 private:
  int RowOfLetter(char letter) const;

  platform::FileSystem& file_system_;
  std::vector<platform::DriveInfo> drives_;
  bool loading_ = false;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_DRIVE_LIST_BOX_H_

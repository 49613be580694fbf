#ifndef PELLOQUIN_UI_DESTINATION_NEWDIR_H_
#define PELLOQUIN_UI_DESTINATION_NEWDIR_H_

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "ui/controls/label.h"

namespace ui {

class Dialog3;

// The new-folder dialog "Enter a Directory Name ": makes one folder inside
// the folder open in the target-folder dialog and opens it there.
class NEWDIR : public QDialog {
  Q_OBJECT

 public:
  // Opens the dialog modal over `owner` and returns when it has closed. It
  // is not shown when the owner's drive and folder cannot be entered (a
  // message says why). The folder is made through `file_system`; messages
  // go to `message_box`.
  static void Open(Dialog3& owner, platform::FileSystem& file_system,
                   platform::MessageBox& message_box);

  NEWDIR(Dialog3& owner, platform::FileSystem& file_system,
         platform::MessageBox& message_box);

  // Makes the owner's drive and folder current and shows that folder in
  // the label. False, after a message, when they cannot be entered.
  bool Form_Load();
  void Create_UIButton_Click();  // "Create Dir"
  void Cancel_UIButton_Click();

  QLineEdit* NewDirectory_UIText;
  QPushButton* Create_UIButton;
  QPushButton* Cancel_UIButton;
  Label* Current_Directory_UILabel;

 private:
  void CreateControls();
  // Opens the folder just made in the owner's folder list.
  void OpenInFolderList(const std::string& name);

  Dialog3& owner_;
  platform::FileSystem& file_system_;
  platform::MessageBox& message_box_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_DESTINATION_NEWDIR_H_

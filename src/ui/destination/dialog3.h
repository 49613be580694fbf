#ifndef PELLOQUIN_UI_DESTINATION_DIALOG3_H_
#define PELLOQUIN_UI_DESTINATION_DIALOG3_H_

#include <QDialog>
#include <QPushButton>

#include "ui/controls/dir_list_box.h"
#include "ui/controls/drive_list_box.h"

namespace ui {

class Form1;

// The target-folder dialog "Select a new path": a drive list and a folder
// list to pick the folder that renamed files move to, and a way into the
// new-folder dialog. Its "OK" writes the target folder and the location
// notice into the main window.
class Dialog3 : public QDialog {
  Q_OBJECT

 public:
  // Opens the dialog modal over `owner`, loaded afresh, and returns when it
  // has closed, whichever way.
  static void Open(Form1& owner);

  explicit Dialog3(Form1& owner);

  Form1& owner() { return owner_; }

  // Loads the dialog: the main window's folder, then its drive (a change of
  // drive runs Drive1_Change as part of it).
  void Form_Load();
  void Drive1_Change();
  void OKButton_Click();
  void CancelButton_Click();
  void Command1_Click();  // "Create new folder"

  QPushButton* OKButton;
  QPushButton* CancelButton;
  DriveListBox* Drive1;
  DirListBox* Dir1;
  QPushButton* Command1;

 protected:
  // The dialog has no default and no cancel button: Esc does nothing, and
  // Enter presses only the button that has the focus.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  // Puts the drive list back on the drive of the folder shown, without
  // running the drive change again.
  void RestoreDriveOfShownFolder();
  void ShowFolderNotOpened(const std::string& folder,
                           const platform::Status& status);

  Form1& owner_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_DESTINATION_DIALOG3_H_

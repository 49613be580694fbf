#ifndef PELLOQUIN_UI_DESTINATION_NEWDIR_H_
#define PELLOQUIN_UI_DESTINATION_NEWDIR_H_

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

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
  // message says why).
  static void Open(Dialog3& owner);

  explicit NEWDIR(Dialog3& owner);

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
  void ShowError(const std::string& prompt, std::string_view title);

  Dialog3& owner_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_DESTINATION_NEWDIR_H_

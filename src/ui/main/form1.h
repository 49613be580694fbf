#ifndef PELLOQUIN_UI_MAIN_FORM1_H_
#define PELLOQUIN_UI_MAIN_FORM1_H_

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

#include "engine/location_notice.h"
#include "engine/rename_run.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "ui/controls/check_box.h"
#include "ui/controls/dir_list_box.h"
#include "ui/controls/drive_list_box.h"
#include "ui/controls/drop_down.h"
#include "ui/controls/file_list_box.h"
#include "ui/controls/frame.h"
#include "ui/controls/label.h"
#include "ui/controls/list_box.h"
#include "ui/controls/picture_button.h"
#include "ui/controls/progress_bar.h"

namespace ui {

// The product name with its version and credit, as the title bar shows it.
std::string MainWindowTitle();

// The main window: the browser, the rename list, the name template and the
// relocation switch. Its controls hold all of the program's state; each
// handler reads and writes them and runs to its end. As the host of a
// rename run it carries out the run's effects by writing its controls.
class Form1 : public QWidget, public engine::RenameHost {
  Q_OBJECT

 public:
  Form1(platform::FileSystem& file_system, platform::MessageBox& message_box,
        QWidget* parent = nullptr);
  ~Form1() override;

  platform::FileSystem& file_system() { return file_system_; }
  platform::MessageBox& message_box() { return message_box_; }
  const platform::NumberFormat& numbers() const { return numbers_; }

  // Check1's value: 1 when ticked, otherwise 0.
  int Check1Value() const;

  // Gives the location notice, Label5, a look: text colour and bold flag.
  void SetNoticeLook(const engine::NoticeLook& look);

  // The handlers, one per wired control event.
  void Command3_Click();  // "Rename All"
  void Text3_Change();
  void Command1_Click();  // "Filter Files with same Extention"
  void Command4_Click();  // "Clear List"
  void Drive1_Change();
  void Dir1_Change();
  void File1_Click();
  void List1_Click();
  void Check1_Click();    // relocation switch
  void Command6_Click();  // "Change path"
  void Command2_Click();  // "Restore"
  void Command5_Click();  // "Exit"

  // RenameHost: each effect of a rename run, written into its control.
  void SetFileCount(std::string_view count) override;
  void SetProgress(float value) override;
  void RemoveFirstEntry() override;
  void SetRunningNumber(std::string_view text) override;
  void SelectPadding(int index) override;
  void RefreshFileList() override;

  // The browser's drive list, folder list and file list.
  DriveListBox* Drive1;
  DirListBox* Dir1;
  FileListBox* File1;
  // The rename list.
  ListBox* List1;
  // The name template, relocation and action controls.
  Frame* Frame1;
  Label* Label1;
  QLineEdit* Text1;  // base name
  Label* Label2;
  DropDown* Combo1;  // padding choices, pick only
  Label* Label3;
  QLineEdit* Text3;  // running number
  Label* Label4;
  DropDown* Combo2;  // extension, pick or type
  QPushButton* Command1;
  CheckBox* Check1;
  QPushButton* Command6;
  QPushButton* Command2;
  Label* Label5;  // location notice
  PictureButton* Command3;
  PictureButton* Command4;
  PictureButton* Command5;
  Label* Label9;
  ProgressBar* pb;
  // Hidden (and below the client area): state holders only.
  Label* Label6;
  Label* Label7;  // file count of the last run
  Label* Label8;  // target folder

 private:
  class RunMessageBox;

  void CreateControls();
  void CreateFrameControls();
  void NameControls();
  void SetTabOrder();
  // Names what assistive technology reads, and ties each caption to the
  // field it names.
  void SetAccessibleNames();
  // Opens the browser at the current drive's current folder or, when that
  // cannot be listed, the nearest folder above it that can, and says so.
  void OpenStartFolder();
  void ConnectHandlers();
  // During a run, the list's removals and the running number are gathered
  // and written into List1 and Text3 before every repaint, before every
  // message box and when the run ends: the window never shows a state the
  // run has not reached, and the batch does not pay for a list update and
  // a text layout per file.
  void WriteGatheredEffects();
  // Repaints what a running batch changes, at most every few hundredths of
  // a second, without handing control to the event loop.
  void RepaintDuringRun();
  engine::RenameRequest ReadRenameRequest() const;
  void ShowFilesNotListed(const platform::Status& status);

  platform::FileSystem& file_system_;
  platform::MessageBox& message_box_;
  platform::NumberFormat numbers_;
  QElapsedTimer since_repaint_;
  bool running_ = false;
  int gathered_removals_ = 0;
  std::optional<std::string> gathered_running_number_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_MAIN_FORM1_H_

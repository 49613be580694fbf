#include "ui/destination/dialog3.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <string>

#include "engine/browse_messages.h"
#include "engine/location_notice.h"
#include "ui/controls/twips.h"
#include "ui/destination/newdir.h"
#include "ui/destination/window_icons.h"
#include "ui/main/caption_fit.h"
#include "ui/main/form1.h"

namespace ui {
namespace {

constexpr int kClientWidth = 2760;
constexpr int kClientHeight = 3180;

constexpr int kSmallestFontPixels = 9;

// A button that Enter presses only while it has the focus, and that is
// never the dialog's default: nothing draws it as one.
class FocusedEnterButton : public QPushButton {
 public:
  FocusedEnterButton(const char* caption, QWidget* parent)
      : QPushButton(caption, parent) {
    setAutoDefault(false);
    setDefault(false);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

QPushButton* MakeButton(const char* caption, QWidget* parent) {
  return new FocusedEnterButton(caption, parent);
}

}  // namespace

void Dialog3::Open(Form1& owner) {
  Dialog3 dialog(owner);
  dialog.Form_Load();
  dialog.exec();
}

Dialog3::Dialog3(Form1& owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      owner_(owner) {
  setWindowTitle("Select a new path");
  setWindowIcon(TargetFolderIcon());
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  CreateControls();
  FitCaptions(*this, kSmallestFontPixels, {{OKButton, CancelButton}});
  connect(OKButton, &QPushButton::clicked, this, &Dialog3::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this,
          &Dialog3::CancelButton_Click);
  connect(Command1, &QPushButton::clicked, this, &Dialog3::Command1_Click);
  connect(Drive1, &DriveListBox::Change, this, &Dialog3::Drive1_Change);
  connect(Dir1, &DirListBox::OpenFailed, this,
          [this](const platform::Status& status) {
            ShowFolderNotOpened(status.path(), status);
          });
}

void Dialog3::CreateControls() {
  platform::FileSystem& file_system = owner_.file_system();
  OKButton = MakeButton("OK", this);
  PlaceInTwips(OKButton, 120, 2760, 1215, 375);
  CancelButton = MakeButton("Cancel", this);
  PlaceInTwips(CancelButton, 1440, 2760, 1215, 375);
  Drive1 = new DriveListBox(file_system, this);
  PlaceInTwips(Drive1, 120, 120, 2535, 315);
  Drive1->setAccessibleName("Drive");
  Dir1 = new DirListBox(file_system, this);
  PlaceInTwips(Dir1, 120, 480, 2535, 1665);
  Dir1->setAccessibleName("Folder");
  Command1 = MakeButton("Create new folder", this);
  PlaceInTwips(Command1, 480, 2280, 1815, 375);

  for (auto [control, name] :
       {std::pair<QWidget*, const char*>{OKButton, "OKButton"},
        {CancelButton, "CancelButton"},
        {Drive1, "Drive1"},
        {Dir1, "Dir1"},
        {Command1, "Command1"}}) {
    control->setObjectName(name);
  }
  setTabOrder(OKButton, CancelButton);
  setTabOrder(CancelButton, Drive1);
  setTabOrder(Drive1, Dir1);
  setTabOrder(Dir1, Command1);
  OKButton->setFocus();
}

void Dialog3::Form_Load() {
  const std::string& folder = owner_.Dir1->Path();
  platform::Status opened = Dir1->SetPathOrAbove(folder);
  if (Dir1->Path().empty()) {
    // Nothing on the main window's drive could be listed: the current
    // folder of the drive list's drive, or its root, stands in.
    Dir1->SetPathOrAbove(Drive1->Drive());
  }
  if (!opened.ok()) ShowFolderNotOpened(folder, opened);
  Drive1->SetDrive(owner_.Drive1->Drive());
  if (!Dir1->Path().empty()) RestoreDriveOfShownFolder();
}

void Dialog3::Drive1_Change() {
  const std::string drive = Drive1->Drive();
  platform::Status opened = Dir1->SetPath(drive);
  if (opened.ok()) return;
  platform::ShowError(owner_.message_box(),
                      engine::DriveNotReadyPrompt(drive, opened, Dir1->Path()),
                      engine::kDriveNotReadyTitle);
  RestoreDriveOfShownFolder();
}

void Dialog3::RestoreDriveOfShownFolder() {
  if (Dir1->Path().empty()) return;
  const QSignalBlocker quiet(Drive1);
  Drive1->SetDrive(Dir1->Path());
}

void Dialog3::ShowFolderNotOpened(const std::string& folder,
                                  const platform::Status& status) {
  platform::ShowError(
      owner_.message_box(),
      engine::FolderNotOpenedPrompt(folder, status, Dir1->Path()),
      engine::kFolderNotOpenedTitle);
}

void Dialog3::OKButton_Click() {
  const std::string target = Dir1->Path();
  // No folder could be listed on any drive tried: there is nothing to pick.
  if (target.empty()) return;
  owner_.Label5->SetCaption(engine::RelocatedNotice(target));
  owner_.Label8->SetCaption(target);
  owner_.SetNoticeLook(engine::kNoticeAlert);
  accept();
}

void Dialog3::CancelButton_Click() {
  // Clearing the switch runs its click handling now, before the dialog
  // closes; with the value 0 that handling does nothing.
  if (owner_.Check1Value() == 1) owner_.Check1->setChecked(false);
  reject();
}

void Dialog3::Command1_Click() {
  NEWDIR::Open(*this, owner_.file_system(), owner_.message_box());
}

void Dialog3::keyPressEvent(QKeyEvent* event) {
  // A focused button takes Enter itself; what reaches the dialog came from
  // another control, and Esc closes nothing.
  const int key = event->key();
  if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ui

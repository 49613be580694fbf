#include "ui/destination/newdir.h"

#include <string>

#include "engine/browse_messages.h"
#include "engine/new_folder.h"
#include "ui/controls/text.h"
#include "ui/controls/twips.h"
#include "ui/destination/dialog3.h"
#include "ui/destination/window_icons.h"
#include "ui/main/caption_fit.h"

namespace ui {
namespace {

constexpr int kClientWidth = 4335;
constexpr int kClientHeight = 1260;
constexpr int kSmallestFontPixels = 9;

}  // namespace

void NEWDIR::Open(Dialog3& owner, platform::FileSystem& file_system,
                  platform::MessageBox& message_box) {
  NEWDIR dialog(owner, file_system, message_box);
  if (dialog.Form_Load()) dialog.exec();
}

NEWDIR::NEWDIR(Dialog3& owner, platform::FileSystem& file_system,
               platform::MessageBox& message_box)
    // A window of its own rather than a dialog, so that it has a task-bar
    // entry; it is still modal over its owner.
    : QDialog(&owner, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      owner_(owner),
      file_system_(file_system),
      message_box_(message_box) {
  setWindowTitle("Enter a Directory Name ");
  setWindowIcon(NewFolderIcon());
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  CreateControls();
  FitCaptions(*this, kSmallestFontPixels, {{Create_UIButton, Cancel_UIButton}});
  connect(Create_UIButton, &QPushButton::clicked, this,
          &NEWDIR::Create_UIButton_Click);
  connect(Cancel_UIButton, &QPushButton::clicked, this,
          &NEWDIR::Cancel_UIButton_Click);
}

void NEWDIR::CreateControls() {
  NewDirectory_UIText = new QLineEdit(this);
  PlaceInTwips(NewDirectory_UIText, 120, 480, 4095, 285);
  NewDirectory_UIText->setToolTip(ToQt(engine::kNewFolderHint));
  NewDirectory_UIText->setAccessibleName("New folder name");
  Create_UIButton = new QPushButton("Create Dir", this);
  PlaceInTwips(Create_UIButton, 1680, 840, 1215, 375);
  Create_UIButton->setDefault(true);
  Cancel_UIButton = new QPushButton("Cancel", this);
  PlaceInTwips(Cancel_UIButton, 3000, 840, 1215, 375);
  Current_Directory_UILabel = new Label("Label1", this);
  PlaceInTwips(Current_Directory_UILabel, 120, 120, 4095, 255);
  // One line: a deep folder is cut in the middle, and shown whole on hover.
  Current_Directory_UILabel->ElideInTheMiddle();

  for (auto [control, name] :
       {std::pair<QWidget*, const char*>{NewDirectory_UIText,
                                         "NewDirectory_UIText"},
        {Create_UIButton, "Create_UIButton"},
        {Cancel_UIButton, "Cancel_UIButton"},
        {Current_Directory_UILabel, "Current_Directory_UILabel"}}) {
    control->setObjectName(name);
  }
  setTabOrder(NewDirectory_UIText, Create_UIButton);
  setTabOrder(Create_UIButton, Cancel_UIButton);
  NewDirectory_UIText->setFocus();
}

bool NEWDIR::Form_Load() {
  const std::string drive = owner_.Drive1->Drive();
  platform::Status status = file_system_.ChangeDrive(drive);
  if (!status.ok()) {
    platform::ShowError(message_box_,
                        engine::DriveNotReadyPrompt(drive, status),
                        engine::kDriveNotReadyTitle);
    return false;
  }
  const std::string& folder = owner_.Dir1->Path();
  status = file_system_.ChangeFolder(folder);
  if (!status.ok()) {
    platform::ShowError(message_box_,
                        engine::FolderNotOpenedPrompt(folder, status),
                        engine::kFolderNotOpenedTitle);
    return false;
  }
  platform::Result<std::string> current = file_system_.CurrentFolder();
  if (!current.ok()) {
    platform::ShowError(message_box_,
                        engine::FolderNotOpenedPrompt(folder, current.status()),
                        engine::kFolderNotOpenedTitle);
    return false;
  }
  Current_Directory_UILabel->SetCaption(engine::FolderLabelCaption(*current));
  return true;
}

void NEWDIR::Create_UIButton_Click() {
  const std::string name = FromQt(NewDirectory_UIText->text());
  std::string made;
  engine::NewFolderOutcome outcome =
      engine::CreateNewFolder(name, Current_Directory_UILabel->Caption(),
                              file_system_, message_box_, &made);
  if (outcome != engine::NewFolderOutcome::kCreated) return;
  OpenInFolderList(made);
  Cancel_UIButton_Click();
}

void NEWDIR::OpenInFolderList(const std::string& name) {
  DirListBox& folders = *owner_.Dir1;
  folders.Refresh();
  // At a root the path already ends in a backslash; the doubled one that
  // results counts as one.
  const std::string folder = folders.Path() + "\\" + name;
  platform::Status opened = folders.SetPath(folder);
  if (!opened.ok()) {
    platform::ShowError(message_box_,
                        engine::FolderNotOpenedPrompt(folder, opened),
                        engine::kFolderNotOpenedTitle);
  }
}

void NEWDIR::Cancel_UIButton_Click() { reject(); }

}  // namespace ui

// The main window's handlers for browsing, the rename list, the running
// number, "Rename All" and "Exit", and its side of a rename run.
#include <QCoreApplication>

#include "engine/browse_messages.h"
#include "engine/location_notice.h"
#include "engine/name_template.h"
#include "ui/controls/text.h"
#include "ui/main/form1.h"

namespace ui {
namespace {

constexpr int kRepaintEveryMs = 40;

std::string DuplicatePrompt(std::string_view file_name) {
  return "The file:' " + std::string(file_name) +
         "' already exists in your rename list!";
}

std::string ListFullPrompt(std::string_view file_name) {
  return "The rename list is full: it holds " +
         std::to_string(ListBox::kMaxEntries) +
         " files, the most it can hold, so " + std::string(file_name) +
         " was not added. Rename or remove some files first.";
}

}  // namespace

// The run's message boxes: each shows the window as the run left it.
class Form1::RunMessageBox : public platform::MessageBox {
 public:
  RunMessageBox(Form1& form, platform::MessageBox& inner)
      : form_(form), inner_(inner) {}
  int Show(std::string_view prompt, int style,
           std::string_view title) override {
    form_.WriteGatheredEffects();
    return inner_.Show(prompt, style, title);
  }

 private:
  Form1& form_;
  platform::MessageBox& inner_;
};

void Form1::Command3_Click() {
  RunMessageBox run_message_box(*this, message_box_);
  since_repaint_.start();
  running_ = true;
  engine::RunRename(ReadRenameRequest(), *this, file_system_, run_message_box,
                    numbers_);
  running_ = false;
  WriteGatheredEffects();
}

engine::RenameRequest Form1::ReadRenameRequest() const {
  engine::RenameRequest request;
  request.source_paths.reserve(static_cast<size_t>(List1->ListCount()));
  for (int row = 0; row < List1->ListCount(); ++row) {
    request.source_paths.push_back(List1->List(row));
  }
  request.base_name = FromQt(Text1->text());
  request.padding_index = Combo1->currentIndex();
  request.padding_text = FromQt(Combo1->currentText());
  request.running_number = FromQt(Text3->text());
  request.extension = FromQt(Combo2->currentText());
  request.relocate = Check1Value() == 1;
  request.target_folder = Label8->Caption();
  request.browse_folder = File1->Path();
  return request;
}

void Form1::Text3_Change() {
  const std::string text = FromQt(Text3->text());
  const std::string boxed = engine::RunningNumberBoxText(text);
  if (boxed != text) Text3->setText(ToQt(boxed));
}

void Form1::Command1_Click() {
  const std::string pattern = "*." + FromQt(Combo2->currentText());
  platform::Status status = File1->SetPattern(pattern);
  if (!status.ok()) ShowFilesNotListed(status);
}

void Form1::Command4_Click() {
  if (message_box_.Show("Are you sure?", platform::kStyleQuestion,
                        "Clear list") == platform::kAnswerYes) {
    List1->Clear();
  }
}

void Form1::Drive1_Change() {
  const std::string shown_folder = Dir1->Path();
  const std::string drive = Drive1->Drive();
  platform::Status status = Dir1->SetPath(drive);
  if (!status.ok()) {
    // Back to the drive whose folder the lists still show, quietly: the
    // lists did not move, so there is nothing to follow.
    const QSignalBlocker quiet(Drive1);
    Drive1->SetDrive(shown_folder);
    platform::ShowError(
        message_box_, engine::DriveNotReadyPrompt(drive, status, shown_folder),
        engine::kDriveNotReadyTitle);
    return;
  }
  Dir1_Change();
}

void Form1::Dir1_Change() {
  platform::Status status = File1->SetPath(Dir1->Path());
  if (!status.ok()) ShowFilesNotListed(status);
}

void Form1::File1_Click() {
  const std::string file_name = File1->FileName();
  if (file_name.empty()) return;
  const std::string candidate = Dir1->Path() + "\\" + file_name;
  if (List1->CountOf(candidate) > 0) {
    message_box_.Show(DuplicatePrompt(file_name), platform::kStyleError,
                      "Wait!");
  } else if (!List1->AddItem(candidate)) {
    message_box_.Show(ListFullPrompt(file_name), platform::kStyleError,
                      "Rename List Full");
  }
  if (Check1Value() != 1) {
    SetNoticeLook(engine::kNoticeAlert);
    Label5->SetCaption(engine::BrowseFolderNotice(Dir1->Path()));
  }
}

void Form1::List1_Click() {
  const int row = List1->ListIndex();
  if (row >= 0) List1->RemoveItem(row);
}

void Form1::Command5_Click() {
  close();
  QCoreApplication::quit();
}

void Form1::SetFileCount(std::string_view count) { Label7->SetCaption(count); }

void Form1::SetProgress(float value) {
  pb->SetValue(value);
  RepaintDuringRun();
}

void Form1::RemoveFirstEntry() {
  ++gathered_removals_;
  if (!running_) WriteGatheredEffects();
}

void Form1::SetRunningNumber(std::string_view text) {
  gathered_running_number_ = std::string(text);
  if (!running_) WriteGatheredEffects();
}

void Form1::WriteGatheredEffects() {
  if (gathered_removals_ > 0) {
    List1->RemoveFirstItems(gathered_removals_);
    gathered_removals_ = 0;
  }
  if (gathered_running_number_) {
    Text3->setText(ToQt(*gathered_running_number_));
    gathered_running_number_.reset();
  }
}

void Form1::SelectPadding(int index) { Combo1->setCurrentIndex(index); }

void Form1::RefreshFileList() {
  WriteGatheredEffects();
  platform::Status status = File1->Refresh();
  if (!status.ok()) ShowFilesNotListed(status);
}

void Form1::RepaintDuringRun() {
  if (!isVisible()) return;
  if (since_repaint_.isValid() && since_repaint_.elapsed() < kRepaintEveryMs &&
      pb->Value() < 100.0f) {
    return;
  }
  WriteGatheredEffects();
  List1->doItemsLayout();
  List1->viewport()->repaint();
  Text3->repaint();
  Combo1->repaint();
  pb->repaint();
  since_repaint_.start();
}

}  // namespace ui

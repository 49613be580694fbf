// The main window and its dialogs end to end over the host's own file
// system, whatever the backend: the scratch drives' folders stand for the
// folders the user browses and the folder files move to.
#include <QApplication>
#include <QTest>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drive_path.h"
#include "platform/message_box.h"
#include "platform/testing/scratch_drives.h"
#include "ui/controls/testing/modal.h"
#include "ui/destination/dialog3.h"
#include "ui/destination/newdir.h"
#include "ui/main/testing/form1_driver.h"

namespace ui::testing {
namespace {

using platform::JoinPath;
using Call = platform::testing::ScriptedMessageBox::Call;
using Strings = std::vector<std::string>;

// Picks a drive in a drive list as the user does.
void ChooseDrive(DriveListBox& list, char letter) {
  const auto& drives = list.drives();
  for (size_t row = 0; row < drives.size(); ++row) {
    if (drives[row].letter == letter) {
      list.setCurrentIndex(static_cast<int>(row));
      return;
    }
  }
  ADD_FAILURE() << letter << ": is not listed";
}

class Form1ScratchTest : public Form1Driver {
 protected:
  void SetUp() override {
    Form1Driver::SetUp();
    drives_ = platform::testing::MakeScratchDrives();
    in_ = JoinPath(drives_->Folder(0), "In");
    drives_->MakeFolder(in_);
  }

  // Shows the window and browses `folder`: its drive picked in Drive1, the
  // folder set in Dir1.
  Form1& OpenAt(const std::string& folder) {
    Form1& f = OpenOver(drives_->file_system());
    PickDrive(folder[0]);
    EXPECT_TRUE(f.Dir1->SetPath(folder).ok()) << folder;
    return f;
  }

  // Runs `act` on the dialog of type D once the next call opens it; a
  // window of another type, or one that `act` leaves open, fails the test
  // and is closed, so that a fault cannot hang the run.
  template <typename D>
  void WhenOpens(std::function<void(D&)> act) {
    WhenModalOpens([act](QWidget* modal) {
      auto* dialog = qobject_cast<D*>(modal);
      if (dialog == nullptr) {
        ADD_FAILURE() << "unexpected window: "
                      << modal->windowTitle().toStdString();
        modal->close();
        return;
      }
      act(*dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog stayed open";
        dialog->reject();
      }
    });
  }

  // The second drive's scratch folder, or the first's where there is none.
  std::string TargetRoot() const {
    std::string second = drives_->Folder(1);
    return second.empty() ? drives_->Folder(0) : second;
  }

  std::unique_ptr<platform::testing::ScratchDrives> drives_;
  std::string in_;
};

TEST_F(Form1ScratchTest, RenamesABatchFromBothDrivesIntoTheBrowseFolder) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "keep.txt"}) {
    drives_->WriteFile(JoinPath(in_, name), name);
  }
  const std::string second = drives_->Folder(1);
  Strings expected_entries;
  Form1& f = OpenOver(drives_->file_system());
  if (!second.empty()) {
    drives_->WriteFile(JoinPath(second, "d.jpg"), "d.jpg");
    PickDrive(second[0]);
    ASSERT_TRUE(f.Dir1->SetPath(second).ok());
    ClickFile("d.jpg");
    expected_entries.push_back(JoinPath(second, "d.jpg"));
  }
  PickDrive(in_[0]);
  ASSERT_TRUE(f.Dir1->SetPath(in_).ok());
  for (const char* name : {"c.jpg", "a.jpg", "b.jpg"}) {
    ClickFile(name);
    expected_entries.push_back(JoinPath(in_, name));
  }
  ASSERT_EQ(Entries(), expected_entries);
  Type(f.Text1, "Trip");
  f.Combo1->setCurrentIndex(1);  // "0"
  Type(f.Text3, "9");
  Type(f.Combo2->lineEdit(), "jpg");
  Click(f.Command3);

  // In list order: the second drive's file first, where there is one.
  const Strings from = second.empty()
                           ? Strings{"c.jpg", "a.jpg", "b.jpg"}
                           : Strings{"d.jpg", "c.jpg", "a.jpg", "b.jpg"};
  const Strings renamed = {"Trip09.jpg", "Trip10.jpg", "Trip11.jpg",
                           "Trip12.jpg"};
  Strings listed = {"keep.txt"};  // File1 sorts case-blind
  for (size_t i = 0; i < from.size(); ++i) {
    EXPECT_EQ(drives_->ReadFile(JoinPath(in_, renamed[i])), from[i])
        << renamed[i];
    listed.push_back(renamed[i]);
  }
  Strings on_disk(listed.begin() + 1, listed.end());
  on_disk.push_back("keep.txt");  // List sorts by bytes
  EXPECT_EQ(drives_->List(in_), on_disk);
  if (!second.empty()) {
    EXPECT_TRUE(drives_->List(second).empty());
  }

  const std::string done = second.empty()
                               ? "3 files were renamed successfully!"
                               : "4 files were renamed successfully!";
  EXPECT_EQ(message_box_.calls(),
            (std::vector<Call>{{done, platform::kStyleInformation, "Done"}}));
  EXPECT_EQ(f.List1->ListCount(), 0);
  EXPECT_EQ(f.Dir1->Path(), in_);
  EXPECT_EQ(ListedFiles(), listed) << "the file list was refreshed";
}

TEST_F(Form1ScratchTest, HiddenFilesAreNotListed) {
  drives_->WriteFile(JoinPath(in_, "shown.jpg"), "s");
  const std::string hidden = drives_->MakeHidden(in_, "secret.jpg", false);
  Form1& f = OpenAt(in_);
  EXPECT_EQ(ListedFiles(), Strings{"shown.jpg"}) << hidden << " is hidden";
  EXPECT_EQ(f.File1->Path(), in_);
}

TEST_F(Form1ScratchTest, RelocatesIntoAFolderMadeInTheNewFolderDialog) {
  drives_->WriteFile(JoinPath(in_, "a.txt"), "first file");
  drives_->WriteFile(JoinPath(in_, "b.txt"), "second file");
  const std::string root = TargetRoot();
  const std::string target = JoinPath(root, "Moved");
  Form1& f = OpenAt(in_);
  ClickFile("a.txt");
  ClickFile("b.txt");
  f.Text1->setText("pic");
  f.Combo1->setCurrentIndex(1);
  f.Text3->setText("1");
  f.Combo2->setEditText("txt");

  int dialogs_seen = 0;
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    ++dialogs_seen;
    ChooseDrive(*dialog.Drive1, root[0]);
    ASSERT_TRUE(dialog.Dir1->SetPath(root).ok());
    WhenOpens<NEWDIR>([&](NEWDIR& newdir) {
      ++dialogs_seen;
      EXPECT_EQ(newdir.Current_Directory_UILabel->Caption(), root + "\\");
      QTest::keyClicks(newdir.NewDirectory_UIText, "Moved");
      QTest::keyClick(newdir.NewDirectory_UIText, Qt::Key_Return);
    });
    dialog.Command1->click();  // "Create new folder"
    EXPECT_EQ(dialog.Dir1->Path(), target);
    dialog.OKButton->click();
  });
  f.Check1->click();  // the switch opens the target-folder dialog
  ASSERT_EQ(dialogs_seen, 2);
  ASSERT_EQ(f.Check1Value(), 1);
  ASSERT_EQ(f.Label8->Caption(), target);

  message_box_.Clear();
  f.Command3->click();
  EXPECT_EQ(drives_->List(target), (Strings{"pic01.txt", "pic02.txt"}));
  EXPECT_EQ(drives_->ReadFile(JoinPath(target, "pic01.txt")), "first file");
  EXPECT_EQ(drives_->ReadFile(JoinPath(target, "pic02.txt")), "second file");
  EXPECT_TRUE(drives_->List(in_).empty());
  EXPECT_EQ(f.List1->ListCount(), 0);
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].style, platform::kStyleInformation);
}

}  // namespace
}  // namespace ui::testing

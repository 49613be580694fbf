// Relocation from end to end: the switch, the target-folder dialog and
// "Rename All" through the main window's own handlers, checked on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/fault_injection.h"
#include "ui/controls/text.h"
#include "ui/destination/destination_test_support.h"

namespace ui::testing {
namespace {

using Names = std::vector<std::string>;

class RelocationRunTest : public DestinationTest {
 protected:
  using DestinationTest::DestinationTest;

  // Two files in the browse folder C:\Photos, clicked onto the rename
  // list, and the template "pic" + "0" + number + ".txt".
  void ListTwoFiles() {
    drives_.WriteFile('C', "Photos/a.txt", "first file");
    drives_.WriteFile('C', "Photos/b.txt", "second file");
    ASSERT_TRUE(form_->File1->Refresh().ok());
    for (std::string_view name : {"a.txt", "b.txt"}) ClickFile(name);
    ASSERT_EQ(form_->List1->ListCount(), 2);
    form_->Text1->setText("pic");
    form_->Combo1->setCurrentIndex(1);
    form_->Text3->setText("1");
    form_->Combo2->setEditText("txt");
  }

  void ClickFile(std::string_view name) {
    for (int row = 0; row < form_->File1->ListCount(); ++row) {
      if (form_->File1->List(row) == name) {
        form_->File1->ClickItem(row);
        return;
      }
    }
    ADD_FAILURE() << name << " is not listed";
  }

  // Picks a target in Dialog3, opened by the switch or "Change path".
  void PickTarget(QAbstractButton* opener, char drive,
                  std::string_view folder) {
    WhenOpens<Dialog3>([&](Dialog3& dialog) {
      ChooseDrive(*dialog.Drive1, drive);
      if (!folder.empty()) OpenFolder(*dialog.Dir1, folder);
      PressOk(dialog);
    });
    opener->click();
  }

  void ExpectRenamedInto(char drive, std::string_view folder) {
    const std::string prefix = folder.empty() ? "" : std::string(folder) + "/";
    EXPECT_EQ(drives_.ReadFile(drive, prefix + "pic01.txt"), "first file");
    EXPECT_EQ(drives_.ReadFile(drive, prefix + "pic02.txt"), "second file");
    EXPECT_EQ(form_->List1->ListCount(), 0);
  }
};

TEST_F(RelocationRunTest, MovesEveryFileWholeToATargetOnAnotherFileSystem) {
  if (!drives_.CrossesDevice('E')) {
    GTEST_SKIP() << "no second file system here: /dev/shm is on the same one";
  }
  drives_.MakeFolder('E', "Moved");
  ListTwoFiles();
  PickTarget(form_->Check1, 'E', "E:\\Moved");
  ASSERT_EQ(form_->Check1Value(), 1);
  ASSERT_EQ(form_->Label8->Caption(), "E:\\Moved");
  form_->Command3->click();
  ExpectRenamedInto('E', "Moved");
  EXPECT_EQ(drives_.List('C', "Photos"), Names{"out"});
}

TEST_F(RelocationRunTest, MovesIntoADriveRootTarget) {
  ListTwoFiles();
  PickTarget(form_->Check1, 'D', "");
  ASSERT_EQ(form_->Label8->Caption(), "D:\\");
  form_->Command3->click();
  ExpectRenamedInto('D', "");
  EXPECT_EQ(drives_.List('C', "Photos"), Names{"out"});
}

TEST_F(RelocationRunTest, ChangePathWithTheSwitchOffRenamesInPlace) {
  // The notice names D:\Archive, yet with the switch off nothing moves.
  ListTwoFiles();
  PickTarget(form_->Command6, 'D', "D:\\Archive");
  ASSERT_EQ(form_->Check1Value(), 0);
  ASSERT_EQ(form_->Label8->Caption(), "D:\\Archive");
  form_->Command3->click();
  ExpectRenamedInto('C', "Photos");
  EXPECT_TRUE(drives_.List('D', "Archive").empty());
}

TEST_F(RelocationRunTest, SwitchClearedByHandAfterOkRenamesInPlace) {
  ListTwoFiles();
  PickTarget(form_->Check1, 'D', "D:\\Archive");
  form_->Check1->click();
  ASSERT_EQ(form_->Check1Value(), 0);
  form_->Command3->click();
  ExpectRenamedInto('C', "Photos");
  EXPECT_TRUE(drives_.List('D', "Archive").empty());
}

TEST_F(RelocationRunTest, RestoreKeepsTheFolderShownWhenItWasPressed) {
  ListTwoFiles();
  PickTarget(form_->Check1, 'D', "D:\\Archive");
  form_->Command2->click();
  ASSERT_TRUE(form_->Dir1->SetPath("C:\\Photos\\out").ok());
  form_->Command3->click();
  ExpectRenamedInto('C', "Photos");
  EXPECT_TRUE(drives_.List('C', "Photos/out").empty());
  EXPECT_TRUE(drives_.List('D', "Archive").empty());
}

// Every rename answers "crosses devices", as between two file systems, so
// each file takes the copy-and-publish road wherever the drives lie.
struct CrossDeviceFaults {
  CrossDeviceFaults() {
    faults.FailEvery({platform::testing::Call::kRenameat2}, EXDEV);
  }
  platform::testing::FaultInjector faults;
};

class RelocationAcrossDevicesTest : protected CrossDeviceFaults,
                                    public RelocationRunTest {
 protected:
  RelocationAcrossDevicesTest() : RelocationRunTest(faults.table()) {}
};

TEST_F(RelocationAcrossDevicesTest,
       MovesEveryFileWholeWhenRenamesCrossDevices) {
  ListTwoFiles();
  PickTarget(form_->Check1, 'D', "D:\\Archive");
  form_->Command3->click();
  ExpectRenamedInto('D', "Archive");
  EXPECT_EQ(drives_.List('C', "Photos"), Names{"out"});
}

}  // namespace
}  // namespace ui::testing

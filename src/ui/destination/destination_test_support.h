#ifndef PELLOQUIN_UI_DESTINATION_DESTINATION_TEST_SUPPORT_H_
#define PELLOQUIN_UI_DESTINATION_DESTINATION_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/scripted_message_box.h"
#include "platform/testing/temp_drives.h"
#include "ui/controls/testing/modal.h"
#include "ui/destination/dialog3.h"
#include "ui/destination/newdir.h"
#include "ui/main/form1.h"

namespace ui::testing {

// The user's ways of closing Dialog3.
inline void PressOk(Dialog3& dialog) { dialog.OKButton->click(); }
inline void PressCancel(Dialog3& dialog) { dialog.CancelButton->click(); }
inline void PressCloseBox(Dialog3& dialog) { dialog.close(); }

// Drives C:, D: and E: (E: on another file system where the host has one),
// the main window over them, browsing C:\Photos, and a scripted message box.
// Teardown checks that no window was left behind.
class DestinationTest : public ::testing::Test {
 protected:
  explicit DestinationTest(
      const platform::posix::SysCalls& calls = platform::posix::RealSysCalls())
      : calls_(calls) {
    drives_.MakeFolder('C', "Photos/out");
    drives_.MakeFolder('D', "Archive");
  }

  void SetUp() override {
    baseline_windows_ = CountTopLevelWidgets();
    file_system_ = std::make_unique<platform::posix::PosixFileSystem>(
        drives_.mappings(), calls_);
    ASSERT_TRUE(file_system_->ChangeDrive("C:").ok());
    ASSERT_TRUE(file_system_->ChangeFolder("C:\\").ok());
    form_ = std::make_unique<Form1>(*file_system_, message_box_);
    form_->show();
    ASSERT_TRUE(form_->Dir1->SetPath("C:\\Photos").ok());
  }

  void TearDown() override {
    form_.reset();
    QApplication::processEvents();
    EXPECT_EQ(CountTopLevelWidgets(), baseline_windows_);
  }

  // Runs `act` on the dialog of type D once the next call opens it. If it
  // is another window, or `act` leaves it open, the test fails and the
  // window is closed, so that a fault cannot hang the run.
  template <typename D>
  void WhenOpens(std::function<void(D&)> act) {
    WhenModalOpens([this, act](QWidget* modal) {
      auto* dialog = qobject_cast<D*>(modal);
      if (dialog == nullptr) {
        ADD_FAILURE() << "unexpected window: "
                      << modal->windowTitle().toStdString();
        modal->close();
        return;
      }
      ++dialogs_seen_;
      act(*dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog stayed open";
        dialog->reject();
      }
    });
  }

  // Opens a listed folder as a double click does.
  static void OpenFolder(DirListBox& list, std::string_view path) {
    const auto& entries = list.EntryPaths();
    for (size_t row = 0; row < entries.size(); ++row) {
      if (entries[row] == path) {
        EXPECT_TRUE(list.OpenEntry(static_cast<int>(row)).ok()) << path;
        return;
      }
    }
    ADD_FAILURE() << path << " is not listed under " << list.Path();
  }

  // Picks a drive in a drive list as the user does.
  static void ChooseDrive(DriveListBox& list, char letter) {
    const auto& drives = list.drives();
    for (size_t row = 0; row < drives.size(); ++row) {
      if (drives[row].letter == letter) {
        list.setCurrentIndex(static_cast<int>(row));
        return;
      }
    }
    ADD_FAILURE() << letter << ": is not listed";
  }

  platform::testing::TempDrives drives_{"CDE", "E"};
  const platform::posix::SysCalls& calls_;
  std::unique_ptr<platform::posix::PosixFileSystem> file_system_;
  platform::testing::ScriptedMessageBox message_box_;
  std::unique_ptr<Form1> form_;
  int dialogs_seen_ = 0;
  int baseline_windows_ = 0;
};

}  // namespace ui::testing

#endif  // PELLOQUIN_UI_DESTINATION_DESTINATION_TEST_SUPPORT_H_

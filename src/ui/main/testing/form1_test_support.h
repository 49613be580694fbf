#ifndef PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_
#define PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/scripted_message_box.h"
#include "platform/testing/temp_drives.h"
#include "ui/main/form1.h"

namespace ui::testing {

// A shown Form1 over temporary folders as drives C: and D: and a scripted
// message box. The browser opens at C:\. Teardown checks that no top-level
// window outlived the test.
class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates and shows the window; files made before this are listed.
  Form1& Open();
  Form1& form() { return *form_; }

  // The user's actions, through the real widgets.
  void ClickFile(const std::string& name);
  void ClickListEntry(int row);
  void OpenFolder(const std::string& name);         // a double click in Dir1
  void PickDrive(char letter);                      // a choice in Drive1
  void Type(QWidget* widget, const QString& text);  // replaces its text
  void Click(QWidget* button);

  // The entries of List1 and the names File1 shows.
  std::vector<std::string> Entries() const;
  std::vector<std::string> ListedFiles() const;

  platform::testing::TempDrives drives_{"CD"};
  std::unique_ptr<platform::posix::PosixFileSystem> file_system_;
  platform::testing::ScriptedMessageBox message_box_;
  std::unique_ptr<Form1> form_;
  qsizetype top_levels_before_ = 0;
};

}  // namespace ui::testing

#endif  // PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_

#ifndef PELLOQUIN_UI_MAIN_TESTING_FORM1_DRIVER_H_
#define PELLOQUIN_UI_MAIN_TESTING_FORM1_DRIVER_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/testing/scripted_message_box.h"
#include "ui/main/form1.h"

namespace ui::testing {

// Drives a shown Form1 as the user does, over whatever file system the
// fixture below it stands on, with a scripted message box. Teardown checks
// that no top-level window outlived the test.
class Form1Driver : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates and shows the window over `file_system`; files made before
  // this are listed.
  Form1& OpenOver(platform::FileSystem& file_system);
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

  platform::testing::ScriptedMessageBox message_box_;
  std::unique_ptr<Form1> form_;
  qsizetype top_levels_before_ = 0;
};

}  // namespace ui::testing

#endif  // PELLOQUIN_UI_MAIN_TESTING_FORM1_DRIVER_H_

#ifndef PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_
#define PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_

#include <memory>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/temp_drives.h"
#include "ui/main/form1.h"
#include "ui/main/testing/form1_driver.h"

namespace ui::testing {

// A shown Form1 over temporary folders as drives C: and D: and a scripted
// message box. The browser opens at C:\.
class Form1Test : public Form1Driver {
 protected:
  void SetUp() override;

  // Creates and shows the window; files made before this are listed.
  Form1& Open();

  platform::testing::TempDrives drives_{"CD"};
  std::unique_ptr<platform::posix::PosixFileSystem> file_system_;
};

}  // namespace ui::testing

#endif  // PELLOQUIN_UI_MAIN_TESTING_FORM1_TEST_SUPPORT_H_

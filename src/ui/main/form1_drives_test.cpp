// The main window over drives that stall, come, go or lose their folders:
// it shows at once, never waits without a bound, and always has a way out.
#include <unistd.h>

#include <QTest>
#include <chrono>
#include <climits>
#include <filesystem>

#include "platform/message_box.h"
#include "platform/testing/stalled_drive.h"
#include "ui/main/testing/form1_test_support.h"

namespace ui::testing {
namespace {

using Call = platform::testing::ScriptedMessageBox::Call;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string HostWorkingDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

std::vector<std::string> DriveNames(const DriveListBox& list) {
  std::vector<std::string> names;
  for (int row = 0; row < list.count(); ++row) {
    names.push_back(list.itemText(row).toStdString());
  }
  return names;
}

TEST_F(Form1Test, ShowsWithinASecondWhileAMountDoesNotAnswer) {
  drives_.WriteFile('C', "a.jpg", "a");
  platform::testing::StalledDrive stalled(drives_.HostFolder('D'));
  file_system_ = std::make_unique<platform::posix::PosixFileSystem>(
      drives_.mappings(), stalled.calls());

  const Clock::time_point started = Clock::now();
  Form1& f = Open();
  EXPECT_LT(Clock::now() - started, milliseconds(1000));
  EXPECT_EQ(DriveNames(*f.Drive1), (std::vector<std::string>{"c:", "d:"}));
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"a.jpg"});
  EXPECT_EQ(stalled.blocked(), 0);

  // Opening the stalled drive gives up after the bounded wait; the lists
  // stay where they were.
  file_system_->set_answer_wait(milliseconds(300));
  const Clock::time_point picked = Clock::now();
  PickDrive('D');
  EXPECT_LT(Clock::now() - picked, milliseconds(2000));
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].title, "Drive Not Ready");
  EXPECT_EQ(message_box_.calls()[0].prompt,
            "The drive d: cannot be opened.\r\n\r\nThe drive does not "
            "answer.\r\n\r\nThe lists stay on C:\\.");
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  EXPECT_EQ(f.Dir1->Path(), "C:\\");
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"a.jpg"});
  form_.reset();  // before the stalled drive is released and goes
}

TEST_F(Form1Test, ADriveMountedAfterStartShowsWhenTheListOpens) {
  std::vector<platform::posix::DriveMapping> mounted = {drives_.mappings()[0]};
  file_system_ = std::make_unique<platform::posix::PosixFileSystem>(
      [&mounted] { return mounted; });
  drives_.WriteFile('D', "stick.jpg", "s");
  Form1& f = Open();
  EXPECT_EQ(DriveNames(*f.Drive1), std::vector<std::string>{"c:"});

  mounted = drives_.mappings();
  f.Drive1->showPopup();
  f.Drive1->hidePopup();
  EXPECT_EQ(DriveNames(*f.Drive1), (std::vector<std::string>{"c:", "d:"}));
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  PickDrive('D');
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"stick.jpg"});

  // Taken away again, it is gone from the list the next time it opens.
  mounted.pop_back();
  PickDrive('C');
  f.Drive1->showPopup();
  f.Drive1->hidePopup();
  EXPECT_EQ(DriveNames(*f.Drive1), std::vector<std::string>{"c:"});
  EXPECT_TRUE(message_box_.calls().empty());
}

TEST_F(Form1Test, ADriveWhoseFolderWasDeletedOpensAtItsRoot) {
  drives_.MakeFolder('D', "Start");
  drives_.WriteFile('D', "root.jpg", "r");
  ASSERT_TRUE(file_system_->ChangeFolder("D:\\Start").ok());
  Form1& f = Open();
  PickDrive('D');
  EXPECT_EQ(f.Dir1->Path(), "D:\\Start");
  PickDrive('C');
  std::filesystem::remove_all(drives_.Host('D', "Start"));

  PickDrive('D');
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_EQ(f.Drive1->Drive(), "d:");
  EXPECT_EQ(f.Dir1->Path(), "D:\\");
  EXPECT_EQ(f.File1->Path(), "D:\\");
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"root.jpg"});
}

// The window started in a folder of drive D: that can no longer be listed.
class StartFolderTest : public Form1Test {
 protected:
  // A file system whose current folder is `relative`, a host path below
  // D:'s folder, as a program started there has.
  void StartIn(const std::string& relative,
               const platform::posix::SysCalls& calls =
                   platform::posix::RealSysCalls()) {
    const std::string saved = HostWorkingDirectory();
    ASSERT_EQ(::chdir(drives_.Host('D', relative).c_str()), 0);
    file_system_ = std::make_unique<platform::posix::PosixFileSystem>(
        drives_.mappings(), calls);
    // Out of the drive again; where the test began may be gone by now.
    if (saved.empty() || ::chdir(saved.c_str()) != 0) {
      ASSERT_EQ(::chdir("/"), 0);
    }
  }
};

TEST_F(StartFolderTest, AGoneFolderOpensTheNearestFolderAboveItAndSaysSoOnce) {
  drives_.MakeFolder('D', "Photos/2024/June");
  drives_.WriteFile('D', "Photos/p.jpg", "p");
  StartIn("Photos/2024/June");
  std::filesystem::remove_all(drives_.Host('D', "Photos/2024"));

  Form1& f = Open();
  EXPECT_EQ(f.Drive1->Drive(), "d:");
  EXPECT_EQ(f.Dir1->Path(), "D:\\Photos");
  EXPECT_EQ(f.File1->Path(), "D:\\Photos");
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"p.jpg"});
  ASSERT_EQ(message_box_.calls().size(), 1u);
  const Call& call = message_box_.calls()[0];
  EXPECT_EQ(call.title, "Folder Not Opened");
  EXPECT_EQ(call.style, platform::kStyleError);
  EXPECT_TRUE(call.prompt.starts_with(
      "The folder D:\\Photos\\2024\\June cannot be opened.\r\n\r\n"))
      << call.prompt;
  EXPECT_TRUE(call.prompt.ends_with("\r\n\r\nThe lists show D:\\Photos."))
      << call.prompt;
}

TEST_F(StartFolderTest, AStalledStartDriveGivesWayToTheFirstDrivesRoot) {
  drives_.MakeFolder('D', "Deep");
  drives_.WriteFile('C', "c.jpg", "c");
  platform::testing::StalledDrive stalled(drives_.HostFolder('D'));
  StartIn("Deep", stalled.calls());
  file_system_->set_answer_wait(milliseconds(300));

  const Clock::time_point started = Clock::now();
  Form1& f = Open();
  EXPECT_LT(Clock::now() - started, milliseconds(2000));
  EXPECT_EQ(f.Dir1->Path(), "C:\\");
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  EXPECT_EQ(ListedFiles(), std::vector<std::string>{"c.jpg"});
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].title, "Folder Not Opened");
  form_.reset();
}

}  // namespace
}  // namespace ui::testing

#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

std::string HostWorkingDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// Each test changes the process's working directory; put it back after.
class CurrentFolderTest : public ::testing::Test {
 protected:
  CurrentFolderTest() : saved_(HostWorkingDirectory()) {}
  ~CurrentFolderTest() override {
    if (::chdir(saved_.c_str()) != 0) ADD_FAILURE() << "cannot go back";
  }
  static void GoTo(const std::string& host_folder) {
    ASSERT_EQ(::chdir(host_folder.c_str()), 0) << host_folder;
  }

 private:
  std::string saved_;
};

TEST_F(CurrentFolderTest, StartsAtTheDriveWithTheLongestMatchingFolder) {
  testing::TempDrives temp("C");
  // D: lies inside C:'s folder, as /media/usb lies inside /.
  temp.MakeFolder('C', "media/usb/photos/2024");
  temp.MakeFolder('C', "other");
  std::vector<DriveMapping> drives = {
      {'C', temp.HostFolder('C'), ""},
      {'D', temp.Host('C', "media/usb"), "usb"},
      {'E', temp.Host('C', "media/usbstick"), "usbstick"},
  };

  GoTo(temp.Host('C', "media/usb/photos/2024"));
  PosixFileSystem on_d(drives);
  EXPECT_EQ(on_d.CurrentDrive(), 'D');
  EXPECT_EQ(on_d.CurrentFolder().value(), "D:\\photos\\2024");
  EXPECT_EQ(on_d.CurrentFolder('C').value(), "C:\\");

  GoTo(temp.Host('C', "other"));
  PosixFileSystem on_c(drives);
  EXPECT_EQ(on_c.CurrentDrive(), 'C');
  EXPECT_EQ(on_c.CurrentFolder().value(), "C:\\other");
  EXPECT_EQ(on_c.CurrentFolder('d').value(), "D:\\");

  // A drive folder that merely starts with the same letters holds nothing
  // of another drive.
  temp.MakeFolder('C', "media/usbstick/x");
  GoTo(temp.Host('C', "media/usbstick/x"));
  PosixFileSystem on_e(drives);
  EXPECT_EQ(on_e.CurrentFolder().value(), "E:\\x");

  GoTo("/");
  PosixFileSystem outside(drives);
  EXPECT_EQ(outside.CurrentDrive(), 'C');
  EXPECT_EQ(outside.CurrentFolder().value(), "C:\\");
}

TEST_F(CurrentFolderTest, EachDriveKeepsItsOwnCurrentFolder) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('C', "work");
  temp.MakeFolder('D', "Photos/2024");
  GoTo(temp.HostFolder('C'));
  PosixFileSystem file_system(temp.mappings());

  // The current drive's folder moves the host working directory along.
  ASSERT_TRUE(file_system.ChangeFolder("work").ok());
  EXPECT_EQ(file_system.CurrentFolder().value(), "C:\\work");
  EXPECT_EQ(HostWorkingDirectory(), temp.Host('C', "work"));

  // Another drive's folder changes only that drive's entry.
  ASSERT_TRUE(file_system.ChangeFolder("D:\\Photos\\2024").ok());
  EXPECT_EQ(file_system.CurrentDrive(), 'C');
  EXPECT_EQ(file_system.CurrentFolder('D').value(), "D:\\Photos\\2024");
  EXPECT_EQ(HostWorkingDirectory(), temp.Host('C', "work"));

  // Changing drive goes to that drive's current folder, and back.
  ASSERT_TRUE(file_system.ChangeDrive("d:").ok());
  EXPECT_EQ(file_system.CurrentDrive(), 'D');
  EXPECT_EQ(file_system.CurrentFolder().value(), "D:\\Photos\\2024");
  EXPECT_EQ(HostWorkingDirectory(), temp.Host('D', "Photos/2024"));
  ASSERT_TRUE(file_system.ChangeDrive("C").ok());
  EXPECT_EQ(HostWorkingDirectory(), temp.Host('C', "work"));

  // A relative folder on another drive resolves against its own folder.
  ASSERT_TRUE(file_system.ChangeFolder("D:..").ok());
  EXPECT_EQ(file_system.CurrentFolder('D').value(), "D:\\Photos");
}

TEST_F(CurrentFolderTest, ChangeDriveTakesEveryFormOfDriveName) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('D', "x");
  GoTo(temp.HostFolder('C'));
  for (const char* name : {"d", "D", "d:", "D:\\", "d:\\x", "d: [Backup]"}) {
    PosixFileSystem file_system(temp.mappings());
    EXPECT_TRUE(file_system.ChangeDrive(name).ok()) << name;
    EXPECT_EQ(file_system.CurrentDrive(), 'D') << name;
  }
  GoTo(temp.HostFolder('C'));
  PosixFileSystem file_system(temp.mappings());
  for (const char* name : {"", "1", "dd", "Q:", "\\"}) {
    EXPECT_EQ(file_system.ChangeDrive(name).code(), Error::kNotReady) << name;
    EXPECT_EQ(file_system.CurrentDrive(), 'C') << name;
  }
}

TEST_F(CurrentFolderTest, ADriveWhoseCurrentFolderWentOpensAtItsRoot) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('D', "gone");
  GoTo(temp.HostFolder('C'));
  PosixFileSystem file_system(temp.mappings());
  ASSERT_TRUE(file_system.ChangeFolder("D:\\gone").ok());
  std::filesystem::remove(temp.Host('D', "gone"));

  ASSERT_TRUE(file_system.ChangeDrive("D:").ok());
  EXPECT_EQ(file_system.CurrentFolder().value(), "D:\\");
  EXPECT_EQ(HostWorkingDirectory(), temp.HostFolder('D'));
}

TEST_F(CurrentFolderTest, AFolderThatIsNotThereChangesNothing) {
  testing::TempDrives temp("C");
  temp.WriteFile('C', "file.txt", "x");
  temp.MakeFolder('C', "here");
  GoTo(temp.Host('C', "here"));
  PosixFileSystem file_system(temp.mappings());
  for (const char* folder : {"C:\\missing", "C:\\file.txt", "..\\here\\none"}) {
    Status status = file_system.ChangeFolder(folder);
    EXPECT_EQ(status.code(), Error::kPathNotFound) << folder;
    EXPECT_FALSE(status.message().empty()) << folder;
  }
  EXPECT_EQ(file_system.ChangeFolder("Q:\\").code(), Error::kNotReady);
  EXPECT_EQ(file_system.CurrentFolder().value(), "C:\\here");
  EXPECT_EQ(HostWorkingDirectory(), temp.Host('C', "here"));
}

TEST_F(CurrentFolderTest, FullPathResolvesRelativeAndDriveNameForms) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('C', "a/b");
  temp.MakeFolder('D', "Photos");
  GoTo(temp.Host('C', "a/b"));
  PosixFileSystem file_system(temp.mappings());
  ASSERT_TRUE(file_system.ChangeFolder("D:\\Photos").ok());

  const struct {
    const char* path;
    const char* full;
  } cases[] = {
      {"name", "C:\\a\\b\\name"},
      {"\\name", "C:\\name"},
      {"/name", "C:\\name"},
      {"..", "C:\\a"},
      {".", "C:\\a\\b"},
      {"..\\..\\..\\..\\x", "C:\\x"},
      {"c:\\", "C:\\"},
      {"C:", "C:\\a\\b"},
      {"C:\\\\photo.jpg", "C:\\photo.jpg"},
      {"C:\\a\\\\b//c\\", "C:\\a\\b\\c"},
      {"D:name", "D:\\Photos\\name"},
      {"D:..\\other", "D:\\other"},
      {"d:", "D:\\Photos"},
      {"d: [Photos disk]", "D:\\Photos"},
      {"D:\\", "D:\\"},
      {"trailing. ", "C:\\a\\b\\trailing. "},
  };
  for (const auto& c : cases) {
    Result<std::string> full = file_system.FullPath(c.path);
    ASSERT_TRUE(full.ok()) << c.path << ": " << full.status().ToString();
    EXPECT_EQ(*full, c.full) << c.path;
  }
  EXPECT_EQ(file_system.FullPath("Q:\\x").status().code(), Error::kNotReady);
  EXPECT_EQ(file_system.FullPath("").status().code(), Error::kInvalidName);
  EXPECT_EQ(file_system.CurrentFolder('Q').status().code(), Error::kNotReady);
}

TEST_F(CurrentFolderTest,
       ADriveNameWhereAFolderIsExpectedMeansItsCurrentFolder) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('D', "Photos/summer");
  temp.WriteFile('D', "Photos/a.jpg", "x");
  GoTo(temp.HostFolder('C'));
  PosixFileSystem file_system(temp.mappings());
  ASSERT_TRUE(file_system.ChangeFolder("D:\\Photos").ok());

  EXPECT_EQ(file_system.ListFolders("d: [Photos disk]").value(),
            std::vector<std::string>{"summer"});
  EXPECT_EQ(file_system.ListFiles("d:", "*.*").value(),
            std::vector<std::string>{"a.jpg"});
  ASSERT_TRUE(file_system.ChangeFolder("d: [Photos disk]").ok());
  EXPECT_EQ(file_system.CurrentFolder('D').value(), "D:\\Photos");
}

TEST_F(CurrentFolderTest, HostPathsUnescapeAndRefuseRawReservedCharacters) {
  testing::TempDrives temp("C");
  GoTo(temp.HostFolder('C'));
  PosixFileSystem file_system(temp.mappings());
  const std::string escaped_star = "\xEF\x80\xAA";
  EXPECT_EQ(file_system.ToHostPath("C:\\a" + escaped_star + "b").value(),
            temp.HostFolder('C') + "/a*b");
  for (const char* raw : {"C:\\a*b", "C:\\a?b", "C:\\a\"b", "C:\\a<b",
                          "C:\\a>b", "C:\\a|b", "C:\\a\x01"}) {
    EXPECT_EQ(file_system.ToHostPath(raw).status().code(), Error::kInvalidName)
        << raw;
  }
  // An escape can never smuggle a separator, a NUL or a dot-dot past the
  // lexical resolution: U+F02F ("/"), U+F000 (NUL), U+F02E (".").
  for (const char* smuggled :
       {"C:\\..\xEF\x80\xAF..\xEF\x80\xAF"
        "etc",
        "C:\\a\xEF\x80\x80", "C:\\\xEF\x80\xAE\xEF\x80\xAE"}) {
    EXPECT_EQ(file_system.ToHostPath(smuggled).status().code(),
              Error::kInvalidName)
        << smuggled;
  }
  EXPECT_EQ(
      file_system.ToHostPath("C:\\" + std::string(256, 'x')).status().code(),
      Error::kNameTooLong);
  EXPECT_TRUE(file_system.ToHostPath("C:\\" + std::string(255, 'x')).ok());
}

}  // namespace
}  // namespace platform::posix

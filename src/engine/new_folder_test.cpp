#include "engine/new_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/scripted_message_box.h"
#include "platform/testing/temp_drives.h"

namespace engine {
namespace {

using platform::testing::ScriptedMessageBox;
using platform::testing::TempDrives;
using Call = ScriptedMessageBox::Call;

TEST(NewFolderMessagesTest, ComposeExactlyAsShown) {
  const std::string kShown = "\\ / : * ? \" < > | & ; , ^ ( )";
  struct Case {
    std::string prompt;
    std::string expected;
  } cases[] = {
      {BadFolderCharactersPrompt(),
       "A directory name may not contain any of the following\r\n\r\n     " +
           kShown},
      {FolderExistsPrompt("D:\\", "new"),
       "The following directory already exists.\r\n\r\n    D:\\new"},
      {FileExistsPrompt("D:\\Photos\\", "a b"),
       "A file with the following name already exists.\r\n\r\n    "
       "D:\\Photos\\a b"},
      {FolderNotCreatedPrompt("C:\\x\\", "y."),
       "The following directory was not created\r\n\r\n    C:\\x\\y."},
  };
  for (const Case& c : cases) EXPECT_EQ(c.prompt, c.expected);
  EXPECT_EQ(kNewFolderHint,
            "Enter a name without the following characters  \\ / : * ? \" < > "
            "| &  ; , ^ ( )");
}

TEST(NewFolderMessagesTest, FailureNamesTheFolderAndTheReason) {
  platform::Status denied(platform::Error::kAccessDenied, "D:\\Photos\\new",
                          "Permission denied");
  std::string prompt = FolderMakeFailedPrompt("D:\\Photos\\", "new", denied);
  EXPECT_NE(prompt.find("D:\\Photos\\new"), std::string::npos) << prompt;
  EXPECT_NE(prompt.find("Permission denied"), std::string::npos) << prompt;
}

TEST(FolderLabelCaptionTest, EndsInExactlyOneBackslash) {
  EXPECT_EQ(FolderLabelCaption("C:\\"), "C:\\");
  EXPECT_EQ(FolderLabelCaption("D:\\Photos"), "D:\\Photos\\");
  EXPECT_EQ(FolderLabelCaption("D:\\Photos\\2024"), "D:\\Photos\\2024\\");
}

TEST(CheckFolderNameTest, RefusesEachForbiddenCharacterAnywhere) {
  for (char c : std::string_view("\\/:*?\"<>|&;,^()")) {
    for (std::string name :
         {std::string(1, c), "a" + std::string(1, c), std::string(1, c) + "b",
          "a" + std::string(1, c) + "b"}) {
      EXPECT_FALSE(CheckFolderName(name)) << name;
    }
  }
  for (std::string_view name : {"   ", "ends in a dot.", ".hidden", "été",
                                "a-b_c+d=e[f]g{h}i'j!k@l#m$n%o~p`q"}) {
    EXPECT_TRUE(CheckFolderName(name)) << name;
  }
}

// The real file system over temporary drives, opened at D:\Photos.
class CreateNewFolderTest : public ::testing::Test {
 protected:
  CreateNewFolderTest() { drives_.MakeFolder('D', "Photos"); }

  void SetUp() override {
    ASSERT_TRUE(file_system_.ChangeDrive("D:").ok());
    ASSERT_TRUE(file_system_.ChangeFolder("D:\\Photos").ok());
  }

  NewFolderOutcome Create(std::string_view name) {
    return CreateNewFolder(name, "D:\\Photos\\", file_system_, message_box_);
  }

  TempDrives drives_{"CD"};
  platform::posix::PosixFileSystem file_system_{drives_.mappings()};
  ScriptedMessageBox message_box_;
};

TEST_F(CreateNewFolderTest, EmptyNameDoesNothingAtAll) {
  EXPECT_EQ(Create(""), NewFolderOutcome::kIgnored);
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_TRUE(drives_.List('D', "Photos").empty());
}

TEST_F(CreateNewFolderTest, ForbiddenCharacterIsRefusedBeforeTheDisk) {
  // "&" and "(" sit among good characters; the folder of the name's first
  // part exists, so any lookup would have given another message.
  drives_.MakeFolder('D', "Photos/a");
  for (std::string_view name : {"a&b", "a(", "x\\..\\y"}) {
    message_box_.Clear();
    EXPECT_EQ(Create(name), NewFolderOutcome::kRefused);
    EXPECT_EQ(message_box_.calls(),
              (std::vector<Call>{
                  {BadFolderCharactersPrompt(), 16, "Bad Characters"}}))
        << name;
  }
  EXPECT_EQ(drives_.List('D', "Photos"), std::vector<std::string>{"a"});
}

TEST_F(CreateNewFolderTest, NameTakenByAnyEntryIsRefused) {
  drives_.MakeFolder('D', "Photos/album");
  drives_.WriteFile('D', "Photos/notes.txt", "x");
  drives_.WriteFile('D', "Photos/.secret", "x");
  ASSERT_EQ(mkfifo(drives_.Host('D', "Photos/pipe").c_str(), 0600), 0);
  struct Case {
    std::string_view name;
    std::string prompt;
  } cases[] = {
      {"album", FolderExistsPrompt("D:\\Photos\\", "album")},
      {"notes.txt", FileExistsPrompt("D:\\Photos\\", "notes.txt")},
      {".secret", FileExistsPrompt("D:\\Photos\\", ".secret")},  // hidden
      {"pipe", FileExistsPrompt("D:\\Photos\\", "pipe")},        // system
      {".", FolderExistsPrompt("D:\\Photos\\", ".")},
      {"..", FolderExistsPrompt("D:\\Photos\\", "..")},
  };
  for (const Case& c : cases) {
    message_box_.Clear();
    EXPECT_EQ(Create(c.name), NewFolderOutcome::kRefused) << c.name;
    EXPECT_EQ(message_box_.calls(),
              (std::vector<Call>{{c.prompt, 16, "Can Not Create Directory"}}))
        << c.name;
  }
  EXPECT_EQ(
      drives_.List('D', "Photos"),
      (std::vector<std::string>{".secret", "album", "notes.txt", "pipe"}));
}

TEST_F(CreateNewFolderTest, MakesTheFolderAsTypedInTheCurrentFolder) {
  // Names the character check lets through go to the disk untrimmed; a
  // leading dot makes a hidden folder here, which must still count as made.
  for (std::string_view name :
       {"new", "   ", "ends in a dot.", "...", ".cache"}) {
    EXPECT_EQ(Create(name), NewFolderOutcome::kCreated) << name;
    EXPECT_TRUE(drives_.Exists('D', "Photos/" + std::string(name))) << name;
  }
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_FALSE(drives_.Exists('D', "new"));
}

TEST_F(CreateNewFolderTest, MakesTheFolderAtADriveRoot) {
  ASSERT_TRUE(file_system_.ChangeFolder("D:\\").ok());
  EXPECT_EQ(CreateNewFolder("top", "D:\\", file_system_, message_box_),
            NewFolderOutcome::kCreated);
  EXPECT_TRUE(drives_.Exists('D', "top"));
  EXPECT_FALSE(drives_.Exists('D', "Photos/top"));
}

// mkdirat fails with the errno the test sets, or claims success without
// making anything when it is 0.
int g_mkdir_errno = 0;

int FailingMkdirat(int, const char*, mode_t) {
  if (g_mkdir_errno == 0) return 0;
  errno = g_mkdir_errno;
  return -1;
}

platform::posix::SysCalls MkdirFaultCalls() {
  platform::posix::SysCalls calls = platform::posix::RealSysCalls();
  calls.mkdirat = &FailingMkdirat;
  return calls;
}

class CreateNewFolderFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drives_.MakeFolder('D', "Photos");
    ASSERT_TRUE(file_system_.ChangeDrive("D:").ok());
    ASSERT_TRUE(file_system_.ChangeFolder("D:\\Photos").ok());
  }

  TempDrives drives_{"CD"};
  platform::posix::SysCalls calls_ = MkdirFaultCalls();
  platform::posix::PosixFileSystem file_system_{drives_.mappings(), calls_};
  ScriptedMessageBox message_box_;
};

TEST_F(CreateNewFolderFaultTest, RefusalOfTheFileSystemIsShownWithItsReason) {
  for (int error : {EACCES, EROFS, ENAMETOOLONG, EINVAL}) {
    g_mkdir_errno = error;
    message_box_.Clear();
    EXPECT_EQ(
        CreateNewFolder("new", "D:\\Photos\\", file_system_, message_box_),
        NewFolderOutcome::kRefused)
        << error;
    ASSERT_EQ(message_box_.calls().size(), 1u) << error;
    const Call& call = message_box_.calls()[0];
    EXPECT_EQ(call.style, 16);
    EXPECT_EQ(call.title, "Can Not Create Directory");
    EXPECT_NE(call.prompt.find("D:\\Photos\\new"), std::string::npos)
        << call.prompt;
    EXPECT_NE(call.prompt.find(std::strerror(error)), std::string::npos)
        << call.prompt;
  }
  EXPECT_TRUE(drives_.List('D', "Photos").empty());
}

TEST_F(CreateNewFolderFaultTest, FolderMissingAfterMakingItIsReported) {
  g_mkdir_errno = 0;
  EXPECT_EQ(CreateNewFolder("new", "D:\\Photos\\", file_system_, message_box_),
            NewFolderOutcome::kRefused);
  EXPECT_EQ(message_box_.calls(),
            (std::vector<Call>{{FolderNotCreatedPrompt("D:\\Photos\\", "new"),
                                16, "Can Not Create Directory"}}));
}

}  // namespace
}  // namespace engine

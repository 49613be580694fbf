#include "engine/rename_run.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/name_template.h"
#include "platform/message_box.h"
#include "platform/posix/posix_file_system.h"
#include "platform/testing/logging_file_system.h"
#include "platform/testing/scripted_message_box.h"
#include "platform/testing/temp_drives.h"

namespace engine {

void PrintTo(RenameOutcome outcome, std::ostream* os) {
  static constexpr const char* kNames[] = {"Ignored", "Refused", "Declined",
                                           "Completed", "Stopped"};
  *os << kNames[static_cast<int>(outcome)];
}

namespace {

using Log = std::vector<std::string>;
using platform::testing::ScriptedMessageBox;

// The shortest text that reads back as exactly this float.
std::string FloatText(float value) {
  std::array<char, 32> buffer;
  auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

// The main window as a run sees it: every write lands in the shared log.
class RecordingHost : public RenameHost {
 public:
  explicit RecordingHost(Log& log) : log_(log) {}

  void SetFileCount(std::string_view count) override {
    log_.push_back("Label7 = " + std::string(count));
  }
  void SetProgress(float value) override {
    progress_.push_back(value);
    log_.push_back("pb = " + FloatText(value));
  }
  void RemoveFirstEntry() override { log_.push_back("List1 remove first"); }
  void SetRunningNumber(std::string_view text) override {
    log_.push_back("Text3 = " + std::string(text));
  }
  void SelectPadding(int index) override {
    log_.push_back("Combo1 = " + std::to_string(index));
  }
  void RefreshFileList() override { log_.push_back("File1 refresh"); }

  const std::vector<float>& progress() const { return progress_; }

 private:
  Log& log_;
  std::vector<float> progress_;
};

// Shows boxes through the scripted one and logs them in the shared log.
class LoggingMessageBox : public platform::MessageBox {
 public:
  LoggingMessageBox(ScriptedMessageBox& inner, Log& log)
      : inner_(inner), log_(log) {}
  int Show(std::string_view prompt, int style,
           std::string_view title) override {
    log_.push_back(Entry(prompt, style, title));
    return inner_.Show(prompt, style, title);
  }

  static std::string Entry(std::string_view prompt, int style,
                           std::string_view title) {
    return "MsgBox " + std::to_string(style) + " " + std::string(title) + ": " +
           std::string(prompt);
  }

 private:
  ScriptedMessageBox& inner_;
  Log& log_;
};

std::string Box(std::string_view prompt, int style, std::string_view title) {
  return LoggingMessageBox::Entry(prompt, style, title);
}

std::string Rename(std::string_view from, std::string_view to) {
  return "RenameFile " + std::string(from) + " -> " + std::string(to);
}

const std::string kQuestion = Box(
    "No extension or file type was sellected, proceed anyway?", 324, "Wait...");
const std::string kBadCharacters =
    Box("A file name may not contain any of the following:\r\n\r\n     "
        "\\ / : * ? \" < > | & ; , ^ ( )",
        16, "Bad Characters used");

std::string Done(int files) {
  return Box(std::to_string(files) + " files were renamed successfully!", 64,
             "Done");
}

// Drives C: and D: as temporary folders, D: on a second file system where
// the machine has one, behind the real POSIX backend.
class RunRenameTest : public ::testing::Test {
 protected:
  RunRenameTest()
      : drives_("CD", "D"),
        posix_(drives_.mappings()),
        file_system_(posix_, log_),
        message_box_(scripted_, log_),
        host_(log_) {
    drives_.MakeFolder('C', "In");
    drives_.MakeFolder('D', "Other");
    drives_.MakeFolder('D', "Target");
  }

  // The worked example: two files from two drives, renamed in C:\In.
  RenameRequest TripRequest() {
    drives_.WriteFile('C', "In/a.jpg", "first");
    drives_.WriteFile('D', "Other/b.jpg", "second");
    RenameRequest request;
    request.source_paths = {"C:\\In\\a.jpg", "D:\\Other\\b.jpg"};
    request.base_name = "Trip";
    request.padding_index = 1;
    request.padding_text = "0";
    request.running_number = "9";
    request.extension = "jpg";
    request.browse_folder = "C:\\In";
    return request;
  }

  // `count` files a.jpg, b.jpg, ... in C:\In, each holding its own name.
  RenameRequest FilesInC(int count) {
    RenameRequest request;
    for (int i = 0; i < count; ++i) {
      std::string name = std::string(1, static_cast<char>('a' + i)) + ".jpg";
      drives_.WriteFile('C', "In/" + name, name);
      request.source_paths.push_back("C:\\In\\" + name);
    }
    request.base_name = "N";
    request.running_number = "1";
    request.extension = "jpg";
    request.browse_folder = "C:\\In";
    return request;
  }

  RenameOutcome Run(const RenameRequest& request) {
    return RunRename(request, host_, file_system_, message_box_);
  }

  using Listing = std::vector<std::string>;
  Listing ListC() const { return drives_.List('C', "In"); }
  Listing ListD(std::string_view folder) const {
    return drives_.List('D', folder);
  }

  platform::testing::TempDrives drives_;
  platform::posix::PosixFileSystem posix_;
  Log log_;
  platform::testing::LoggingFileSystem file_system_;
  ScriptedMessageBox scripted_;
  LoggingMessageBox message_box_;
  RecordingHost host_;
};

TEST_F(RunRenameTest, WorkedRunRenamesBothFilesIntoTheBrowseFolder) {
  EXPECT_EQ(Run(TripRequest()), RenameOutcome::Completed);
  EXPECT_EQ(log_, (Log{
                      "Label7 = 2",
                      "pb = 0",
                      Rename("C:\\In\\a.jpg", "C:\\In\\Trip09.jpg"),
                      "List1 remove first",
                      "Text3 = 10",
                      "Combo1 = 0",
                      "pb = 50",
                      Rename("D:\\Other\\b.jpg", "C:\\In\\Trip10.jpg"),
                      "List1 remove first",
                      "Text3 = 11",
                      "pb = 100",
                      Done(2),
                      "File1 refresh",
                  }));
  EXPECT_EQ(ListC(), (Listing{"Trip09.jpg", "Trip10.jpg"}));
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip09.jpg"), "first");
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip10.jpg"), "second");
  EXPECT_EQ(ListD("Other"), Listing{});
}

TEST_F(RunRenameTest, EmptyBaseNameDoesNothingAtAll) {
  RenameRequest request = TripRequest();
  request.base_name = "";
  request.extension = "";  // would ask, if the run got that far
  EXPECT_EQ(Run(request), RenameOutcome::Ignored);
  EXPECT_EQ(log_, Log{});
  EXPECT_EQ(ListC(), Listing{"a.jpg"});
  EXPECT_EQ(ListD("Other"), Listing{"b.jpg"});
}

// Each refusal shows exactly one error and touches neither the window (not
// even the file count) nor a file; the base name is checked first, then the
// running number, then the extension.
TEST_F(RunRenameTest, RefusedInputsShowOneErrorAndTouchNothing) {
  struct Case {
    const char* base_name;
    const char* running_number;
    const char* extension;
    std::string expected_box;
  };
  const Case cases[] = {
      {"Trip(1)", "9", "", kBadCharacters},
      {"a&b", "abc", "x/y", kBadCharacters},
      {"Trip", "abc", "",
       Box(BadStartNumberPrompt("abc"), 16, kBadStartNumberTitle)},
      {"Trip", "12a", "..\\x",
       Box(BadStartNumberPrompt("12a"), 16, kBadStartNumberTitle)},
      {"Trip", " ", "jpg",
       Box(BadStartNumberPrompt(" "), 16, kBadStartNumberTitle)},
      {"Trip", "1e20", "jpg",
       Box("The start number is too large to count from: adding 1 to it "
           "does not change it.\r\n\r\n\"1e20\" would give several files "
           "the same number.",
           16, "Bad Start Number")},
      {"Trip", "9007199254740993", "jpg",
       Box("The start number is too large to count from: adding 1 to it "
           "does not change it.\r\n\r\n\"9007199254740993\" would give "
           "several files the same number.",
           16, "Bad Start Number")},
      {"Trip", "9", "..\\..\\x",
       Box(BadExtensionPrompt("..\\..\\x"), 16, kBadExtensionTitle)},
      {"Trip", "9", "/tmp",
       Box(BadExtensionPrompt("/tmp"), 16, kBadExtensionTitle)},
      {"Trip", "9", "D:x",
       Box(BadExtensionPrompt("D:x"), 16, kBadExtensionTitle)},
  };
  RenameRequest request = TripRequest();
  for (const Case& c : cases) {
    log_.clear();
    request.base_name = c.base_name;
    request.running_number = c.running_number;
    request.extension = c.extension;
    EXPECT_EQ(Run(request), RenameOutcome::Refused) << c.base_name;
    EXPECT_EQ(log_, Log{c.expected_box}) << c.base_name;
    EXPECT_EQ(ListC(), Listing{"a.jpg"});
    EXPECT_EQ(ListD("Other"), Listing{"b.jpg"});
  }
}

TEST_F(RunRenameTest, EmptyExtensionAnsweredNoLeavesOnlyTheFileCount) {
  RenameRequest request = TripRequest();
  request.extension = "";
  scripted_.QueueAnswer(7);
  EXPECT_EQ(Run(request), RenameOutcome::Declined);
  EXPECT_EQ(log_, (Log{"Label7 = 2", kQuestion}));
  EXPECT_EQ(ListC(), Listing{"a.jpg"});
  EXPECT_EQ(ListD("Other"), Listing{"b.jpg"});
}

TEST_F(RunRenameTest, EmptyExtensionAnsweredYesGivesNamesEndingInADot) {
  RenameRequest request = TripRequest();
  request.extension = "";
  scripted_.QueueAnswer(6);
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(log_, (Log{
                      "Label7 = 2",
                      kQuestion,
                      "pb = 0",
                      Rename("C:\\In\\a.jpg", "C:\\In\\Trip09."),
                      "List1 remove first",
                      "Text3 = 10",
                      "Combo1 = 0",
                      "pb = 50",
                      Rename("D:\\Other\\b.jpg", "C:\\In\\Trip10."),
                      "List1 remove first",
                      "Text3 = 11",
                      "pb = 100",
                      Done(2),
                      "File1 refresh",
                  }));
  EXPECT_EQ(ListC(), (Listing{"Trip09.", "Trip10."}));
}

TEST_F(RunRenameTest, TargetFolderOnlyWhenRelocatingAndSet) {
  struct Case {
    bool relocate;
    const char* target;
    const char* expected_folder;
  };
  const Case cases[] = {
      {true, "", "C:\\In"},
      {false, "D:\\Target", "C:\\In"},
      {true, "D:\\Target", "D:\\Target"},
  };
  for (const Case& c : cases) {
    log_.clear();
    RenameRequest request = FilesInC(1);
    request.relocate = c.relocate;
    request.target_folder = c.target;
    request.running_number = "5";
    EXPECT_EQ(Run(request), RenameOutcome::Completed);
    std::string expected = std::string(c.expected_folder) + "\\N5.jpg";
    EXPECT_EQ(log_[2], Rename("C:\\In\\a.jpg", expected));
    // Put the file back for the next case.
    ASSERT_TRUE(posix_.RenameFile(expected, "C:\\In\\a.jpg").ok());
  }
}

TEST_F(RunRenameTest, RelocatesFilesOfSeveralDrivesIntoTheTarget) {
  RenameRequest request = TripRequest();
  request.relocate = true;
  request.target_folder = "D:\\Target";
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(ListD("Target"), (Listing{"Trip09.jpg", "Trip10.jpg"}));
  EXPECT_EQ(drives_.ReadFile('D', "Target/Trip09.jpg"), "first");
  EXPECT_EQ(drives_.ReadFile('D', "Target/Trip10.jpg"), "second");
  EXPECT_EQ(ListC(), Listing{});
  EXPECT_EQ(ListD("Other"), Listing{});
}

TEST_F(RunRenameTest, RootFolderGetsADoubledBackslash) {
  drives_.WriteFile('C', "In/a.jpg", "x");
  RenameRequest request;
  request.source_paths = {"C:\\In\\a.jpg"};
  request.base_name = "Img";
  request.running_number = "1";
  request.extension = "txt";
  request.browse_folder = "C:\\";
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(log_[2], Rename("C:\\In\\a.jpg", "C:\\\\Img1.txt"));
  EXPECT_EQ(drives_.ReadFile('C', "Img1.txt"), "x");
}

TEST_F(RunRenameTest, StopsAtTheFileWhoseNewNameExists) {
  RenameRequest request = FilesInC(3);
  drives_.WriteFile('C', "In/N2.jpg", "already here");
  EXPECT_EQ(Run(request), RenameOutcome::Stopped);
  ASSERT_EQ(log_.size(), 8u);
  EXPECT_EQ(Log(log_.begin(), log_.end() - 1),
            (Log{
                "Label7 = 3",
                "pb = 0",
                Rename("C:\\In\\a.jpg", "C:\\In\\N1.jpg"),
                "List1 remove first",
                "Text3 = 2",
                "pb = 33.333332",
                Rename("C:\\In\\b.jpg", "C:\\In\\N2.jpg"),
            }));
  // The error names the file, where it was to go, and ends the run.
  const std::string& error = log_.back();
  EXPECT_TRUE(error.starts_with("MsgBox 16 " + std::string(kRenameFailedTitle)))
      << error;
  EXPECT_NE(error.find("C:\\In\\b.jpg"), std::string::npos) << error;
  EXPECT_NE(error.find("C:\\In\\N2.jpg"), std::string::npos) << error;
  EXPECT_EQ(ListC(), (Listing{"N1.jpg", "N2.jpg", "b.jpg", "c.jpg"}));
  EXPECT_EQ(drives_.ReadFile('C', "In/N2.jpg"), "already here");
  EXPECT_EQ(drives_.ReadFile('C', "In/b.jpg"), "b.jpg");
}

TEST_F(RunRenameTest, FailedRenameReportsTheSystemsReason) {
  RenameRequest request = FilesInC(2);
  request.padding_index = 1;
  request.padding_text = "0";
  request.running_number = "9";
  platform::Status refused(platform::Error::kAccessDenied, "C:\\In",
                           "Permission denied");
  file_system_.FailRename(2, refused);
  EXPECT_EQ(Run(request), RenameOutcome::Stopped);
  // Number, padding and progress stay as pass 1 left them.
  EXPECT_EQ(log_, (Log{
                      "Label7 = 2",
                      "pb = 0",
                      Rename("C:\\In\\a.jpg", "C:\\In\\N09.jpg"),
                      "List1 remove first",
                      "Text3 = 10",
                      "Combo1 = 0",
                      "pb = 50",
                      Rename("C:\\In\\b.jpg", "C:\\In\\N10.jpg"),
                      Box("The file\r\n"
                          "     C:\\In\\b.jpg\r\n"
                          "could not be renamed to\r\n"
                          "     C:\\In\\N10.jpg\r\n\r\n"
                          "Permission denied\r\n\r\n"
                          "The run stopped: this file and the files after "
                          "it are still on the list.",
                          16, kRenameFailedTitle),
                  }));
  EXPECT_EQ(ListC(), (Listing{"N09.jpg", "b.jpg"}));
}

TEST_F(RunRenameTest, FailureAtTheFirstFileLeavesEverythingButTheStart) {
  RenameRequest request = FilesInC(2);
  request.source_paths[0] = "C:\\In\\gone.jpg";
  EXPECT_EQ(Run(request), RenameOutcome::Stopped);
  ASSERT_EQ(log_.size(), 4u);
  EXPECT_EQ(Log(log_.begin(), log_.begin() + 3),
            (Log{"Label7 = 2", "pb = 0",
                 Rename("C:\\In\\gone.jpg", "C:\\In\\N1.jpg")}));
  EXPECT_TRUE(log_[3].starts_with("MsgBox 16 ")) << log_[3];
  EXPECT_EQ(ListC(), (Listing{"a.jpg", "b.jpg"}));
}

TEST_F(RunRenameTest, ExtensionsOtherThanPathsGoAsTyped) {
  RenameRequest request = FilesInC(2);
  request.extension = "tar.gz ";
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(ListC(), (Listing{"N1.tar.gz ", "N2.tar.gz "}));

  // A name the file system refuses stops the run like any failed rename.
  log_.clear();
  request = FilesInC(1);
  request.extension = "j*g";
  EXPECT_EQ(Run(request), RenameOutcome::Stopped);
  EXPECT_EQ(log_[2], Rename("C:\\In\\a.jpg", "C:\\In\\N1.j*g"));
  EXPECT_TRUE(log_.back().starts_with("MsgBox 16 ")) << log_.back();
  EXPECT_TRUE(drives_.Exists('C', "In/a.jpg"));
}

TEST_F(RunRenameTest, PaddingStepsWhenTheNumberReachesAHundred) {
  RenameRequest request = FilesInC(2);
  request.padding_index = 2;
  request.padding_text = "00";
  request.running_number = "99";
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(log_, (Log{
                      "Label7 = 2",
                      "pb = 0",
                      Rename("C:\\In\\a.jpg", "C:\\In\\N0099.jpg"),
                      "List1 remove first",
                      "Text3 = 100",
                      "Combo1 = 1",
                      "pb = 50",
                      Rename("C:\\In\\b.jpg", "C:\\In\\N0100.jpg"),
                      "List1 remove first",
                      "Text3 = 101",
                      "pb = 100",
                      Done(2),
                      "File1 refresh",
                  }));
}

TEST_F(RunRenameTest, ProgressIsTheSinglePrecisionShareOfPasses) {
  EXPECT_EQ(Run(FilesInC(3)), RenameOutcome::Completed);
  EXPECT_EQ(host_.progress(),
            (std::vector<float>{0.0f, 33.333332f, 66.666664f, 100.0f}));

  // Computed in single precision, 3 / 5 x 100 would come out as 60.0000038.
  RecordingHost five_host(log_);
  RenameRequest five = FilesInC(5);
  five.base_name = "F";
  EXPECT_EQ(RunRename(five, five_host, file_system_, message_box_),
            RenameOutcome::Completed);
  EXPECT_EQ(five_host.progress(),
            (std::vector<float>{0.0f, 20.0f, 40.0f, 60.0f, 80.0f, 100.0f}));
}

TEST_F(RunRenameTest, OneFileGoesStraightFromZeroToAHundred) {
  EXPECT_EQ(Run(FilesInC(1)), RenameOutcome::Completed);
  EXPECT_EQ(host_.progress(), (std::vector<float>{0.0f, 100.0f}));
}

TEST_F(RunRenameTest, EmptyListStillReportsAndRefreshes) {
  RenameRequest request = FilesInC(0);
  EXPECT_EQ(Run(request), RenameOutcome::Completed);
  EXPECT_EQ(log_, (Log{"Label7 = 0", "pb = 0", Done(0), "File1 refresh"}));
}

TEST_F(RunRenameTest, CountsInTheUsersNumberFormat) {
  RenameRequest request = FilesInC(2);
  request.running_number = "1,5";
  EXPECT_EQ(RunRename(request, host_, file_system_, message_box_,
                      platform::NumberFormat(",")),
            RenameOutcome::Completed);
  EXPECT_EQ(log_[2], Rename("C:\\In\\a.jpg", "C:\\In\\N1,5.jpg"));
  EXPECT_EQ(log_[4], "Text3 = 2,5");
  EXPECT_EQ(log_[6], Rename("C:\\In\\b.jpg", "C:\\In\\N2,5.jpg"));
}

}  // namespace
}  // namespace engine

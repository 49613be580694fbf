// The rename run and the new-folder dialog end to end over the host's own
// file system, whatever the backend: the scratch drives' folders stand for
// the browse folder and the target folder.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/new_folder.h"
#include "engine/rename_run.h"
#include "platform/drive_path.h"
#include "platform/message_box.h"
#include "platform/testing/scratch_drives.h"
#include "platform/testing/scripted_message_box.h"

namespace engine {
namespace {

using platform::JoinPath;
using platform::testing::ScriptedMessageBox;
using Call = ScriptedMessageBox::Call;
using Files = std::map<std::string, std::string>;  // model path -> content

// List1 as a run leaves it; the other controls' writes are checked in
// detail elsewhere.
class ListHost : public RenameHost {
 public:
  explicit ListHost(const RenameRequest& request)
      : listed(request.source_paths) {}

  void SetFileCount(std::string_view) override {}
  void SetProgress(float) override {}
  void RemoveFirstEntry() override {
    ASSERT_FALSE(listed.empty()) << "removed an entry from an empty list";
    listed.erase(listed.begin());
  }
  void SetRunningNumber(std::string_view) override {}
  void SelectPadding(int) override {}
  void RefreshFileList() override { refreshed = true; }

  std::vector<std::string> listed;
  bool refreshed = false;
};

std::string Sizes(const Files& files) {
  std::string text;
  for (const auto& [path, content] : files) {
    text += "\n  " + path + " (" + std::to_string(content.size()) + " bytes)";
  }
  return text;
}

// A body of `size` bytes that differs from one seed to the next.
std::string Body(char seed, size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    body[i] = static_cast<char>(seed + i * 31 + i / 4096);
  }
  return body;
}

// Where the run puts the files: back into their own folder, into another
// folder of the same drive, or onto the second drive.
struct Destination {
  const char* label;
  bool relocate;
  int drive;
};

void PrintTo(const Destination& destination, std::ostream* os) {
  *os << destination.label;
}

class RenameRunScratchTest : public ::testing::TestWithParam<Destination> {
 protected:
  void SetUp() override {
    drives_ = platform::testing::MakeScratchDrives();
    source_ = JoinPath(drives_->Folder(0), "In");
    drives_->MakeFolder(source_);
    destination_ = source_;
    if (!GetParam().relocate) return;
    std::string root = drives_->Folder(GetParam().drive);
    if (root.empty()) GTEST_SKIP() << "no second drive to test with";
    destination_ = JoinPath(root, "Target");
    drives_->MakeFolder(destination_);
  }

  std::string Src(std::string_view name) const {
    return JoinPath(source_, name);
  }
  std::string Dst(std::string_view name) const {
    return JoinPath(destination_, name);
  }

  // Names in the source folder, listed in this order; Trip, "0", from 8.
  RenameRequest Request(const std::vector<std::string>& names) {
    RenameRequest request;
    for (const std::string& name : names) {
      request.source_paths.push_back(Src(name));
    }
    request.base_name = "Trip";
    request.padding_index = 1;
    request.padding_text = "0";
    request.running_number = "8";
    request.extension = "jpg";
    request.relocate = GetParam().relocate;
    request.target_folder = GetParam().relocate ? destination_ : "";
    request.browse_folder = source_;
    return request;
  }

  RenameOutcome Run(const RenameRequest& request, ListHost& host) {
    return RunRename(request, host, drives_->file_system(), message_box_);
  }

  // Everything in the source and destination folders, read from the host.
  Files OnDisk() {
    Files files;
    for (const std::string& folder : {source_, destination_}) {
      for (const std::string& name : drives_->List(folder)) {
        std::string path = JoinPath(folder, name);
        files[path] = drives_->ReadFile(path).value_or("(unreadable)");
      }
    }
    return files;
  }

  // Compared whole, printed as sizes: some contents are large.
  void ExpectOnDisk(const Files& expected) {
    Files seen = OnDisk();
    EXPECT_TRUE(seen == expected)
        << "expected:" << Sizes(expected) << "\nseen:" << Sizes(seen);
  }

  // One error box, naming each of `paths` and the host's reason.
  void ExpectOneErrorNaming(const std::vector<std::string>& paths) {
    ASSERT_EQ(message_box_.calls().size(), 1u);
    const Call& error = message_box_.calls()[0];
    EXPECT_EQ(error.title, kRenameFailedTitle);
    for (const std::string& path : paths) {
      EXPECT_NE(error.prompt.find(path), std::string::npos) << error.prompt;
    }
    EXPECT_EQ(error.prompt.find("The system gave no reason."),
              std::string::npos)
        << error.prompt;
  }

  std::unique_ptr<platform::testing::ScratchDrives> drives_;
  std::string source_;
  std::string destination_;
  ScriptedMessageBox message_box_;
};

TEST_P(RenameRunScratchTest, RenamesTheBatchInListOrder) {
  // Listed out of name order; one body spans several copy chunks.
  const Files bodies = {{"a.jpg", Body('a', (3 << 20) + 5)},
                        {"b.jpg", Body('b', 17)},
                        {"c.jpg", ""}};
  for (const auto& [name, body] : bodies) drives_->WriteFile(Src(name), body);
  RenameRequest request = Request({"c.jpg", "a.jpg", "b.jpg"});
  ListHost host(request);
  EXPECT_EQ(Run(request, host), RenameOutcome::Completed);
  // The padding loses its zero at 10: Trip10, not Trip010.
  ExpectOnDisk({{Dst("Trip08.jpg"), bodies.at("c.jpg")},
                {Dst("Trip09.jpg"), bodies.at("a.jpg")},
                {Dst("Trip10.jpg"), bodies.at("b.jpg")}});
  EXPECT_TRUE(host.listed.empty());
  EXPECT_TRUE(host.refreshed);
}

// The engine asks nothing: the file whose new name is taken stops the run
// with an error, and every file is still there, whole, exactly once.
TEST_P(RenameRunScratchTest, StopsAtANameTakenAndLosesNothing) {
  for (std::string name : {"a.jpg", "b.jpg", "c.jpg"}) {
    drives_->WriteFile(Src(name), name);
  }
  drives_->WriteFile(Dst("Trip09.jpg"), "already here");
  RenameRequest request = Request({"a.jpg", "b.jpg", "c.jpg"});
  ListHost host(request);
  EXPECT_EQ(Run(request, host), RenameOutcome::Stopped);
  ExpectOnDisk({{Dst("Trip08.jpg"), "a.jpg"},
                {Dst("Trip09.jpg"), "already here"},
                {Src("b.jpg"), "b.jpg"},
                {Src("c.jpg"), "c.jpg"}});
  EXPECT_EQ(host.listed, (std::vector{Src("b.jpg"), Src("c.jpg")}));
  ExpectOneErrorNaming({Src("b.jpg"), Dst("Trip09.jpg")});
}

TEST_P(RenameRunScratchTest, SourceGoneHalfWayIsReportedWithTheHostsReason) {
  // "b.jpg" is listed but was deleted before the run.
  drives_->WriteFile(Src("a.jpg"), "a");
  drives_->WriteFile(Src("c.jpg"), "c");
  RenameRequest request = Request({"a.jpg", "b.jpg", "c.jpg"});
  ListHost host(request);
  EXPECT_EQ(Run(request, host), RenameOutcome::Stopped);
  ExpectOnDisk({{Dst("Trip08.jpg"), "a"}, {Src("c.jpg"), "c"}});
  EXPECT_EQ(host.listed, (std::vector{Src("b.jpg"), Src("c.jpg")}));
  ExpectOneErrorNaming({Src("b.jpg")});
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, RenameRunScratchTest,
    ::testing::Values(Destination{"InPlace", false, 0},
                      Destination{"ToAnotherFolder", true, 0},
                      Destination{"ToTheSecondDrive", true, 1}),
    [](const auto& info) { return info.param.label; });

// Hidden entries count as taken: a dot name on one host, an attribute on
// the other. A name longer than any file system takes is refused by the
// host, and the message says why.
TEST(CreateNewFolderScratchTest, MakesOrRefusesInTheCurrentFolderOfEachDrive) {
  auto drives = platform::testing::MakeScratchDrives();
  platform::FileSystem& file_system = drives->file_system();
  const std::string too_long(300, 'x');
  for (int drive : {0, 1}) {
    const std::string folder = drives->Folder(drive);
    if (folder.empty()) continue;
    ASSERT_TRUE(file_system.ChangeDrive(folder.substr(0, 2)).ok());
    ASSERT_TRUE(file_system.ChangeFolder(folder).ok());
    const std::string label = FolderLabelCaption(folder);
    ScriptedMessageBox message_box;
    EXPECT_EQ(CreateNewFolder("new", label, file_system, message_box),
              NewFolderOutcome::kCreated);
    EXPECT_TRUE(message_box.calls().empty());

    std::string file = drives->MakeHidden(folder, "secret", false);
    std::string hidden_folder = drives->MakeHidden(folder, "cache", true);
    const std::pair<std::string, std::string> taken[] = {
        {"new", FolderExistsPrompt(label, "new")},
        {file, FileExistsPrompt(label, file)},
        {hidden_folder, FolderExistsPrompt(label, hidden_folder)},
    };
    for (const auto& [name, prompt] : taken) {
      message_box.Clear();
      EXPECT_EQ(CreateNewFolder(name, label, file_system, message_box),
                NewFolderOutcome::kRefused);
      EXPECT_EQ(message_box.calls(),
                (std::vector<Call>{{prompt, 16, "Can Not Create Directory"}}));
    }

    message_box.Clear();
    EXPECT_EQ(CreateNewFolder(too_long, label, file_system, message_box),
              NewFolderOutcome::kRefused);
    ASSERT_EQ(message_box.calls().size(), 1u);
    // The host's refusal with its reason, not the check after making.
    const std::string& prompt = message_box.calls()[0].prompt;
    std::string without_reason = FolderMakeFailedPrompt(
        label, too_long, platform::Status(platform::Error::kIo, "", "?"));
    without_reason.pop_back();
    EXPECT_TRUE(prompt.starts_with(without_reason)) << prompt;
    EXPECT_GT(prompt.size(), without_reason.size()) << prompt;
    EXPECT_EQ(drives->List(folder).size(), 3u) << folder;
  }
}

// A name ending in dots or blanks is made and found under one spelling: as
// typed where the host keeps such names, without the ending where the host
// drops it from new names; the spelling reported is the folder's.
TEST(CreateNewFolderScratchTest, ANameEndingInADotOrABlankIsMadeAndFound) {
  auto drives = platform::testing::MakeScratchDrives();
  platform::FileSystem& file_system = drives->file_system();
  const std::string folder = drives->Folder(0);
  ASSERT_TRUE(file_system.ChangeDrive(folder.substr(0, 2)).ok());
  ASSERT_TRUE(file_system.ChangeFolder(folder).ok());
  const std::string label = FolderLabelCaption(folder);
  const std::pair<std::string, std::string> cases[] = {
      {"Dot.", "Dot"}, {"Blank ", "Blank"}, {"Both. .", "Both"}};
  for (const auto& [typed, trimmed] : cases) {
    ScriptedMessageBox message_box;
    std::string made;
    EXPECT_EQ(CreateNewFolder(typed, label, file_system, message_box, &made),
              NewFolderOutcome::kCreated)
        << typed;
    EXPECT_TRUE(message_box.calls().empty()) << typed;
    EXPECT_TRUE(made == typed || made == trimmed) << typed << " as " << made;
    auto attributes = file_system.GetAttributes(JoinPath(folder, made));
    ASSERT_TRUE(attributes.ok()) << made;
    EXPECT_NE(*attributes & platform::kAttrFolder, 0u) << made;
  }
  EXPECT_EQ(drives->List(folder).size(), std::size(cases));
}

}  // namespace
}  // namespace engine

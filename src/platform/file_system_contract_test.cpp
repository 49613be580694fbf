// What every backend of FileSystem promises, checked on the host's own file
// system through the backend's scratch drives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/drive_path.h"
#include "platform/file_system.h"
#include "platform/testing/scratch_drives.h"

namespace platform {
namespace {

using Names = std::vector<std::string>;

class FileSystemContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drives_ = testing::MakeScratchDrives();
    first_ = drives_->Folder(0);
    second_ = drives_->Folder(1);
  }

  FileSystem& fs() { return drives_->file_system(); }
  std::string First(std::string_view name) const {
    return JoinPath(first_, name);
  }
  std::string Second(std::string_view name) const {
    return JoinPath(second_, name);
  }
  void SkipWithoutSecondDrive() {
    if (second_.empty()) GTEST_SKIP() << "no second drive to test with";
  }
  // A letter no drive has.
  char UnusedLetter() {
    std::vector<DriveInfo> drives = fs().ListDrives();
    for (char letter = 'Z'; letter > 'A'; --letter) {
      bool used =
          std::any_of(drives.begin(), drives.end(),
                      [&](const DriveInfo& d) { return d.letter == letter; });
      if (!used) return letter;
    }
    return 0;
  }

  std::unique_ptr<testing::ScratchDrives> drives_;
  std::string first_;
  std::string second_;
};

// Drives and current folders.

TEST_F(FileSystemContractTest, ListsTheScratchDrivesReadyInLetterOrder) {
  SkipWithoutSecondDrive();
  std::vector<DriveInfo> drives = fs().ListDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end(),
                             [](const DriveInfo& a, const DriveInfo& b) {
                               return a.letter < b.letter;
                             }));
  for (char letter : {first_[0], second_[0]}) {
    auto drive =
        std::find_if(drives.begin(), drives.end(),
                     [&](const DriveInfo& d) { return d.letter == letter; });
    ASSERT_NE(drive, drives.end()) << letter;
    std::string name{static_cast<char>(std::tolower(letter)), ':'};
    if (!drive->label.empty()) name += " [" + drive->label + "]";
    EXPECT_EQ(drive->name, name);
    EXPECT_EQ(DriveNameLetter(drive->name), letter);
  }
}

TEST_F(FileSystemContractTest, ChangeFolderMovesTheCurrentFolderOfItsDrive) {
  drives_->MakeFolder(First("sub"));
  ASSERT_TRUE(fs().ChangeDrive(first_.substr(0, 2)).ok());
  ASSERT_TRUE(fs().ChangeFolder(First("sub")).ok());
  EXPECT_EQ(fs().CurrentDrive(), first_[0]);
  EXPECT_EQ(fs().CurrentFolder().value(), First("sub"));
  EXPECT_EQ(fs().CurrentFolder(first_[0]).value(), First("sub"));
  // Relative forms resolve against it, lexically.
  EXPECT_EQ(fs().FullPath("a.txt").value(), First("sub\\a.txt"));
  EXPECT_EQ(fs().FullPath("..\\x\\.\\y").value(), First("x\\y"));
  EXPECT_EQ(fs().FullPath("\\").value(), first_.substr(0, 3));
  EXPECT_EQ(fs().FullPath(first_.substr(0, 2)).value(), First("sub"));
  // A relative folder, too.
  ASSERT_TRUE(fs().ChangeFolder("..").ok());
  EXPECT_EQ(fs().CurrentFolder().value(), first_);
}

TEST_F(FileSystemContractTest, EachDriveKeepsItsOwnCurrentFolder) {
  SkipWithoutSecondDrive();
  drives_->MakeFolder(First("one"));
  drives_->MakeFolder(Second("two"));
  char c = first_[0], d = second_[0];
  std::string d_drive{d, ':'};
  ASSERT_TRUE(fs().ChangeDrive(first_.substr(0, 2)).ok());
  ASSERT_TRUE(fs().ChangeFolder(First("one")).ok());
  // Changing another drive's folder leaves the current drive as it is.
  ASSERT_TRUE(fs().ChangeFolder(Second("two")).ok());
  EXPECT_EQ(fs().CurrentDrive(), c);
  EXPECT_EQ(fs().CurrentFolder().value(), First("one"));
  EXPECT_EQ(fs().CurrentFolder(d).value(), Second("two"));
  EXPECT_EQ(fs().FullPath(d_drive + "x.txt").value(), Second("two\\x.txt"));
  // A drive name as the drive list shows it stands for its current folder.
  std::string listed{static_cast<char>(std::tolower(d)), ':'};
  EXPECT_EQ(fs().FullPath(listed).value(), Second("two"));
  EXPECT_EQ(fs().FullPath(listed + " [any label]").value(), Second("two"));

  ASSERT_TRUE(fs().ChangeDrive(listed).ok());
  EXPECT_EQ(fs().CurrentDrive(), d);
  EXPECT_EQ(fs().CurrentFolder().value(), Second("two"));
  EXPECT_EQ(fs().FullPath("y").value(), Second("two\\y"));
  ASSERT_TRUE(fs().ChangeDrive(std::string{c}).ok());
  EXPECT_EQ(fs().CurrentFolder().value(), First("one"));
}

TEST_F(FileSystemContractTest, RefusesToChangeToWhatIsNoFolder) {
  drives_->WriteFile(First("file.txt"), "x");
  ASSERT_TRUE(fs().ChangeFolder(first_).ok());
  for (std::string folder :
       {First("missing"), First("file.txt"), First("missing\\deeper")}) {
    EXPECT_EQ(fs().ChangeFolder(folder).code(), Error::kPathNotFound) << folder;
    EXPECT_EQ(fs().CurrentFolder(first_[0]).value(), first_);
  }
}

TEST_F(FileSystemContractTest, UnknownDrivesAreNotReady) {
  char unused = UnusedLetter();
  ASSERT_NE(unused, 0);
  char before = fs().CurrentDrive();
  std::string drive{unused, ':'};
  EXPECT_EQ(fs().ChangeDrive(drive).code(), Error::kNotReady);
  EXPECT_EQ(fs().CurrentDrive(), before);
  EXPECT_EQ(fs().CurrentFolder(unused).status().code(), Error::kNotReady);
  EXPECT_EQ(fs().FullPath(drive + "\\x").status().code(), Error::kNotReady);
  EXPECT_EQ(fs().ChangeDrive("no drive").code(), Error::kNotReady);
}

// Listings.

TEST_F(FileSystemContractTest, ListFilesMatchesPatternsCaseInsensitively) {
  for (const char* name : {"a.jpg", "B.JPG", "c.jpeg", "noext", "d.txt.bak",
                           "e.Jpg", "f.jpg.txt"}) {
    drives_->WriteFile(First(name), name);
  }
  drives_->MakeFolder(First("folder.jpg"));
  struct Case {
    const char* pattern;
    Names expected;
  };
  const Case cases[] = {
      {"*.jpg", {"a.jpg", "B.JPG", "e.Jpg"}},
      {"*.JPG", {"a.jpg", "B.JPG", "e.Jpg"}},
      {"*.*",
       {"a.jpg", "B.JPG", "c.jpeg", "d.txt.bak", "e.Jpg", "f.jpg.txt",
        "noext"}},
      {"*",
       {"a.jpg", "B.JPG", "c.jpeg", "d.txt.bak", "e.Jpg", "f.jpg.txt",
        "noext"}},
      {"*.", {"noext"}},
      {"?.jpeg", {"c.jpeg"}},
      {"*.bak;*.jpeg", {"c.jpeg", "d.txt.bak"}},
      {"*.png", {}},
  };
  for (const Case& c : cases) {
    Result<Names> names = fs().ListFiles(first_, c.pattern);
    ASSERT_TRUE(names.ok()) << c.pattern << ": " << names.status().ToString();
    EXPECT_EQ(*names, c.expected) << c.pattern;
  }
}

TEST_F(FileSystemContractTest,
       ListFilesGivesNumbersByValueAndAccentsBesideTheirLetters) {
  for (const char* name : {"img10.jpg", "zebra.jpg", "IMG2.jpg", "img1.jpg",
                           "école.jpg", "ecole.jpg"}) {
    drives_->WriteFile(First(name), name);
  }
  EXPECT_EQ(fs().ListFiles(first_, "*.jpg").value(),
            (Names{"ecole.jpg", "école.jpg", "img1.jpg", "IMG2.jpg",
                   "img10.jpg", "zebra.jpg"}));
}

TEST_F(FileSystemContractTest, ListFilesLeavesHiddenFilesOutUnlessAsked) {
  drives_->WriteFile(First("shown.txt"), "x");
  std::string hidden = drives_->MakeHidden(first_, "secret.txt", false);
  EXPECT_EQ(fs().ListFiles(first_, "*.*").value(), Names{"shown.txt"});
  Names both = fs().ListFiles(first_, "*.*", kAttrHidden).value();
  Names expected = {hidden, "shown.txt"};
  std::sort(expected.begin(), expected.end(),
            [](const std::string& a, const std::string& b) { return a < b; });
  EXPECT_EQ(both, expected);
}

TEST_F(FileSystemContractTest, ListFoldersGivesVisibleSubfoldersSorted) {
  for (const char* name : {"beta", "Alpha10", "Alpha", "gamma", "ALPHA2",
                           "\xC3\xA9t\xC3\xA9", "zoo"}) {
    drives_->MakeFolder(First(name));
  }
  drives_->WriteFile(First("afile"), "x");
  drives_->MakeHidden(first_, "hidden", true);
  EXPECT_EQ(fs().ListFolders(first_).value(),
            (Names{"Alpha", "ALPHA2", "Alpha10", "beta", "\xC3\xA9t\xC3\xA9",
                   "gamma", "zoo"}));
  EXPECT_EQ(fs().ListFolders(First("gamma")).value(), Names{});
  EXPECT_EQ(fs().ListFiles(First("gamma"), "*.*").value(), Names{});
}

TEST_F(FileSystemContractTest, ListingAMissingFolderIsPathNotFound) {
  drives_->WriteFile(First("file.txt"), "x");
  for (std::string folder : {First("missing"), First("file.txt")}) {
    EXPECT_EQ(fs().ListFolders(folder).status().code(), Error::kPathNotFound)
        << folder;
    EXPECT_EQ(fs().ListFiles(folder, "*.*").status().code(),
              Error::kPathNotFound)
        << folder;
  }
}

// Lookups and attributes.

TEST_F(FileSystemContractTest, FindFirstHonoursTheAttributeMask) {
  drives_->WriteFile(First("plain.txt"), "x");
  drives_->MakeFolder(First("folder"));
  std::string hidden = drives_->MakeHidden(first_, "hidden.txt", false);
  struct Case {
    std::string name;
    uint32_t mask;
    bool found;
  };
  const Case cases[] = {
      {"plain.txt", 0, true},      {"plain.txt", 16, true},
      {"plain.txt", 31, true},     {"folder", 0, false},
      {"folder", 16, true},        {"folder", 31, true},
      {hidden, 0, false},          {hidden, 16, false},
      {hidden, kAttrHidden, true}, {hidden, 31, true},
      {"missing", 31, false},
  };
  for (const Case& c : cases) {
    Result<std::optional<std::string>> found =
        fs().FindFirst(First(c.name), c.mask);
    ASSERT_TRUE(found.ok()) << c.name << ": " << found.status().ToString();
    EXPECT_EQ(found->has_value(), c.found) << c.name << " mask " << c.mask;
    if (c.found && found->has_value()) {
      EXPECT_EQ(**found, c.name);
    }
  }
}

TEST_F(FileSystemContractTest, FindFirstWithWildcardsGivesTheFirstByName) {
  for (const char* name : {"c.txt", "B.txt", "a.jpg"}) {
    drives_->WriteFile(First(name), "x");
  }
  drives_->MakeFolder(First("A.txt"));
  EXPECT_EQ(fs().FindFirst(First("*.txt"), 0).value(), "B.txt");
  EXPECT_EQ(fs().FindFirst(First("*.txt"), 16).value(), "A.txt");
  EXPECT_EQ(fs().FindFirst(First("?.jpg"), 0).value(), "a.jpg");
  EXPECT_EQ(fs().FindFirst(First("*.png"), 31).value(), std::nullopt);
  // A relative name looks in the current folder.
  ASSERT_TRUE(fs().ChangeDrive(first_.substr(0, 2)).ok());
  ASSERT_TRUE(fs().ChangeFolder(first_).ok());
  EXPECT_EQ(fs().FindFirst("c.*", 31).value(), "c.txt");
}

TEST_F(FileSystemContractTest, FindFirstInAMissingFolderFails) {
  EXPECT_EQ(fs().FindFirst(First("missing\\x.txt"), 31).status().code(),
            Error::kPathNotFound);
  EXPECT_EQ(fs().FindFirst(First("missing\\*.txt"), 31).status().code(),
            Error::kPathNotFound);
}

TEST_F(FileSystemContractTest, GetAttributesTellsFilesFromFolders) {
  drives_->WriteFile(First("file.txt"), "x");
  drives_->MakeFolder(First("folder"));
  std::string hidden = drives_->MakeHidden(first_, "hidden.txt", false);
  uint32_t file = fs().GetAttributes(First("file.txt")).value();
  EXPECT_EQ(file & (kAttrFolder | kAttrVolume | kAttrHidden), 0u);
  EXPECT_NE(file & kAttrArchive, 0u);
  uint32_t folder = fs().GetAttributes(First("folder")).value();
  EXPECT_EQ(folder & (kAttrFolder | kAttrVolume | kAttrArchive), kAttrFolder);
  EXPECT_NE(fs().GetAttributes(First(hidden)).value() & kAttrHidden, 0u);
  EXPECT_EQ(fs().GetAttributes(First("missing")).status().code(),
            Error::kNotFound);
}

// New folders.

TEST_F(FileSystemContractTest, MakeFolderMakesOneNewFolder) {
  ASSERT_TRUE(fs().MakeFolder(First("new")).ok());
  EXPECT_EQ(fs().ListFolders(first_).value(), Names{"new"});
  EXPECT_EQ(fs().MakeFolder(First("new")).code(), Error::kAlreadyExists);
  drives_->WriteFile(First("file"), "x");
  EXPECT_EQ(fs().MakeFolder(First("file")).code(), Error::kAlreadyExists);
  EXPECT_EQ(fs().MakeFolder(First("missing\\new")).code(),
            Error::kPathNotFound);
  EXPECT_FALSE(drives_->Exists(First("missing")));
  // Relative to the current folder.
  ASSERT_TRUE(fs().ChangeDrive(first_.substr(0, 2)).ok());
  ASSERT_TRUE(fs().ChangeFolder(First("new")).ok());
  ASSERT_TRUE(fs().MakeFolder("inner").ok());
  EXPECT_TRUE(drives_->Exists(First("new\\inner")));
}

// RenameFile, within a drive and across drives.

struct RenameCase {
  const char* label;
  bool across_drives;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.label; }

class RenameContractTest : public FileSystemContractTest,
                           public ::testing::WithParamInterface<RenameCase> {
 protected:
  void SetUp() override {
    FileSystemContractTest::SetUp();
    if (GetParam().across_drives) {
      SkipWithoutSecondDrive();
      destination_ = second_;
    } else {
      destination_ = First("dest");
      drives_->MakeFolder(destination_);
    }
  }
  std::string Dest(std::string_view name) const {
    return JoinPath(destination_, name);
  }
  // The two folders hold exactly these names.
  void ExpectFolders(const Names& source, const Names& destination) {
    Names first = drives_->List(first_);
    if (!GetParam().across_drives) {
      first.erase(std::remove(first.begin(), first.end(), "dest"), first.end());
    }
    EXPECT_EQ(first, source);
    EXPECT_EQ(drives_->List(destination_), destination);
  }

  std::string destination_;
};

TEST_P(RenameContractTest, MovesTheFileWhole) {
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < content.size(); ++i) {
    content[i] = static_cast<char>(i * 7 + i / 4096);
  }
  drives_->WriteFile(First("a.jpg"), content);
  Status status = fs().RenameFile(First("a.jpg"), Dest("b.jpg"));
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(drives_->ReadFile(Dest("b.jpg")), content);
  ExpectFolders({}, {"b.jpg"});
}

TEST_P(RenameContractTest, NeverOverwritesAnExistingFile) {
  drives_->WriteFile(First("a.jpg"), "mine");
  drives_->WriteFile(Dest("b.jpg"), "theirs");
  EXPECT_EQ(fs().RenameFile(First("a.jpg"), Dest("b.jpg")).code(),
            Error::kAlreadyExists);
  EXPECT_EQ(drives_->ReadFile(First("a.jpg")), "mine");
  EXPECT_EQ(drives_->ReadFile(Dest("b.jpg")), "theirs");
  ExpectFolders({"a.jpg"}, {"b.jpg"});
}

TEST_P(RenameContractTest, TellsAMissingSourceFromAMissingFolder) {
  drives_->WriteFile(First("a.jpg"), "x");
  EXPECT_EQ(fs().RenameFile(First("gone.jpg"), Dest("b.jpg")).code(),
            Error::kNotFound);
  EXPECT_EQ(fs().RenameFile(First("gone\\a.jpg"), Dest("b.jpg")).code(),
            Error::kNotFound);
  EXPECT_EQ(fs().RenameFile(First("a.jpg"), Dest("missing\\b.jpg")).code(),
            Error::kPathNotFound);
  ExpectFolders({"a.jpg"}, {});
}

TEST_P(RenameContractTest, RefusesFolders) {
  drives_->MakeFolder(First("folder"));
  EXPECT_EQ(fs().RenameFile(First("folder"), Dest("moved")).code(),
            Error::kUnsupported);
  ExpectFolders({"folder"}, {});
}

TEST_P(RenameContractTest, TakesDoubledBackslashesAndRelativeSources) {
  drives_->WriteFile(First("a.jpg"), "x");
  ASSERT_TRUE(fs().ChangeDrive(first_.substr(0, 2)).ok());
  ASSERT_TRUE(fs().ChangeFolder(first_).ok());
  Status status = fs().RenameFile("a.jpg", destination_ + "\\\\b.jpg");
  ASSERT_TRUE(status.ok()) << status.ToString();
  ExpectFolders({}, {"b.jpg"});
}

INSTANTIATE_TEST_SUITE_P(Both, RenameContractTest,
                         ::testing::Values(RenameCase{"WithinADrive", false},
                                           RenameCase{"AcrossDrives", true}),
                         [](const auto& info) { return info.param.label; });

TEST_F(FileSystemContractTest, RenamingAFileToItsOwnNameSaysTheNameIsTaken) {
  drives_->WriteFile(First("a.jpg"), "x");
  EXPECT_EQ(fs().RenameFile(First("a.jpg"), First("a.jpg")).code(),
            Error::kAlreadyExists);
  EXPECT_EQ(drives_->ReadFile(First("a.jpg")), "x");
}

}  // namespace
}  // namespace platform

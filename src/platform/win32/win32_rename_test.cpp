// RenameFile of the Win32 backend under injected faults: every host call of
// a move fails in turn (or, for a call that changes the disk, does its work
// and then fails), and after each the file is whole at exactly one of
// its paths (or at both, when the call says so), with nothing partial and
// nothing else left. The cross-volume copy is forced on one volume by
// failing every MoveFileExW with ERROR_NOT_SAME_DEVICE.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/drive_path.h"
#include "platform/testing/scratch_drives.h"
#include "platform/testing/win32/win32_fault_injection.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

using platform::testing::MakeScratchDrives;
using platform::testing::ScratchDrives;
using platform::testing::Win32Call;
using platform::testing::Win32CallName;
using platform::testing::Win32FaultInjector;
using Names = std::vector<std::string>;

constexpr long kMaxCalls = 2000;

// More than one chunk of the copy.
std::string Content() {
  std::string content((1 << 20) + 5, '\0');
  for (size_t i = 0; i < content.size(); ++i) {
    content[i] = static_cast<char>(i * 7 + i / 251);
  }
  return content;
}

DWORD HostAttributes(std::string_view path) {
  return ::GetFileAttributesW(ToWide(path)->c_str());
}

void MakeReadOnly(std::string_view path) {
  ASSERT_TRUE(
      ::SetFileAttributesW(ToWide(path)->c_str(), FILE_ATTRIBUTE_READONLY));
}

// A source folder and a destination folder in the scratch drives, fresh for
// each `round`: on one drive, or the destination on the second drive.
struct Folders {
  std::string in;
  std::string out;
};

Folders MakeFolders(ScratchDrives& drives, bool second_drive, long round) {
  std::string name = "round-" + std::to_string(round);
  std::string base = JoinPath(drives.Folder(0), name);
  Folders folders{JoinPath(base, "in"), JoinPath(base, "out")};
  if (second_drive) folders.out = JoinPath(drives.Folder(1), name);
  drives.MakeFolder(folders.in);
  drives.MakeFolder(folders.out);
  return folders;
}

// One kind of move.
struct MoveCase {
  const char* name;
  bool second_drive;  // to the second scratch drive (skipped without one)
  bool force_copy;    // every MoveFileExW fails with ERROR_NOT_SAME_DEVICE
  bool read_only;     // the source is read-only
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

const MoveCase kMoves[] = {
    {"OneVolume", false, false, false},
    {"ForcedCopy", false, true, false},
    {"ForcedCopyReadOnly", false, true, true},
    {"AcrossDrives", true, false, false},
    {"AcrossDrivesReadOnly", true, false, true},
};

// Two kinds of refusal; a name taken also makes the copy try another
// temporary name.
const DWORD kErrors[] = {ERROR_DISK_FULL, ERROR_FILE_EXISTS};

const char* ErrorName(DWORD error) {
  return error == ERROR_DISK_FULL ? "DiskFull" : "FileExists";
}

// How the nth call fails.
enum class Mode {
  kOnce,             // it alone fails, without running
  kFromThereOn,      // it and every later call fail
  kDidItThenFailed,  // it does its work, then reports failure
};

const char* ModeName(Mode mode) {
  switch (mode) {
    case Mode::kOnce:
      return "Once";
    case Mode::kFromThereOn:
      return "FromThereOn";
    case Mode::kDidItThenFailed:
      return "DidItThenFailed";
  }
  return "";
}

void PrintTo(Mode mode, std::ostream* os) { *os << ModeName(mode); }

// What stands at one path: nothing, the file whole, or something else.
enum class Entry { kNone, kWhole, kOther };

class RenameFaultTest
    : public ::testing::TestWithParam<std::tuple<MoveCase, DWORD, Mode>> {
 protected:
  void SetUp() override {
    drives_ = MakeScratchDrives();
    if (move().second_drive && drives_->Folder(1).empty()) {
      GTEST_SKIP() << "no second drive to test with";
    }
  }

  const MoveCase& move() const { return std::get<0>(GetParam()); }
  DWORD error() const { return std::get<1>(GetParam()); }
  Mode mode() const { return std::get<2>(GetParam()); }
  bool sticky() const { return mode() == Mode::kFromThereOn; }

  // A handle the move left open on the file keeps it from being read: the
  // move shares neither writing nor deleting.
  Entry EntryAt(const std::string& path) {
    std::optional<std::string> content = drives_->ReadFile(path);
    if (!content) {
      return drives_->Exists(path) ? Entry::kOther : Entry::kNone;
    }
    return *content == content_ ? Entry::kWhole : Entry::kOther;
  }

  // One move with the nth call failing; false when no fault fired.
  bool RunOnce(long n) {
    Folders folders = MakeFolders(*drives_, move().second_drive, n);
    std::string from = JoinPath(folders.in, "a.bin");
    std::string to = JoinPath(folders.out, "b.bin");
    drives_->WriteFile(from, content_);
    if (move().read_only) MakeReadOnly(from);

    Win32FaultInjector faults;
    Win32FileSystem fs(faults.table());
    if (move().force_copy) {
      faults.FailEvery(Win32Call::kMoveFileEx, ERROR_NOT_SAME_DEVICE);
    }
    if (mode() == Mode::kDidItThenFailed) {
      faults.FailAfterAt(n, error());
    } else {
      faults.FailAt(n, error(), sticky());
    }
    Status status = fs.RenameFile(from, to);
    bool fired = faults.fired();
    std::string where = "fault at call " + std::to_string(n) + " (" +
                        Win32CallName(faults.first_failed()) +
                        "): " + status.ToString();
    faults.Clear();

    Entry old_entry = EntryAt(from);
    Entry new_entry = EntryAt(to);
    if (status.ok()) {
      EXPECT_EQ(old_entry, Entry::kNone) << where;
      EXPECT_EQ(new_entry, Entry::kWhole) << where;
      DWORD attributes = HostAttributes(to);
      EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, 0u) << where;
      EXPECT_EQ((attributes & FILE_ATTRIBUTE_READONLY) != 0, move().read_only)
          << where;
    } else if (status.code() == Error::kDuplicated) {
      EXPECT_EQ(old_entry, Entry::kWhole) << where;
      EXPECT_EQ(new_entry, Entry::kWhole) << where;
    } else {
      EXPECT_EQ(old_entry, Entry::kWhole) << where;
      EXPECT_EQ(new_entry, Entry::kNone) << where;
      // A clean-up that fails too may take the source's mark with it.
      if (!sticky()) {
        EXPECT_EQ((HostAttributes(from) & FILE_ATTRIBUTE_READONLY) != 0,
                  move().read_only)
            << where;
      }
      // The injected error's kind, or a failed look-up of the drive or a
      // folder, which reads as the drive or folder missing.
      bool explained = status.code() == ErrorOfWin32(error()) ||
                       status.code() == Error::kNotReady ||
                       status.code() == Error::kPathNotFound;
      EXPECT_TRUE(explained) << where;
      EXPECT_FALSE(status.path().empty()) << where;
    }
    Names expected_in = old_entry == Entry::kNone ? Names{} : Names{"a.bin"};
    Names expected_out = new_entry == Entry::kNone ? Names{} : Names{"b.bin"};
    EXPECT_EQ(drives_->List(folders.in), expected_in) << where;
    // A temporary copy may only be left when the failure names it.
    Names out = drives_->List(folders.out);
    std::erase_if(out, [&](const std::string& name) {
      return name.starts_with("~pelloquin-") &&
             status.message().find(name) != std::string::npos;
    });
    EXPECT_EQ(out, expected_out) << where;
    return fired;
  }

  const std::string content_ = Content();
  std::unique_ptr<ScratchDrives> drives_;
};

TEST_P(RenameFaultTest, FileIsWholeAtExactlyOnePathAfterEveryFault) {
  long n = 1;
  while (RunOnce(n) && !HasFailure()) {
    ASSERT_LT(++n, kMaxCalls) << "the fault never stops firing";
  }
  // Every call of the move was failed once, the first as well as the last.
  EXPECT_GT(n, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFaultPoint, RenameFaultTest,
    ::testing::Combine(::testing::ValuesIn(kMoves),
                       ::testing::ValuesIn(kErrors),
                       ::testing::Values(Mode::kOnce, Mode::kFromThereOn,
                                         Mode::kDidItThenFailed)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" +
             ErrorName(std::get<1>(info.param)) + "_" +
             ModeName(std::get<2>(info.param));
    });

// Moves that fail before anything is copied, or race another writer.
class RenameRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drives_ = MakeScratchDrives();
    folders_ = MakeFolders(*drives_, false, 0);
    from_ = JoinPath(folders_.in, "a.jpg");
    to_ = JoinPath(folders_.out, "b.jpg");
    drives_->WriteFile(from_, "mine");
  }

  std::unique_ptr<ScratchDrives> drives_;
  Folders folders_;
  std::string from_;
  std::string to_;
  Win32FaultInjector faults_;
  Win32FileSystem fs_{faults_.table()};
};

TEST_F(RenameRefusalTest, BothExistsErrorsOfTheMoveNameTheTarget) {
  for (DWORD error : {ERROR_ALREADY_EXISTS, ERROR_FILE_EXISTS}) {
    faults_.FailEvery(Win32Call::kMoveFileEx, error);
    Status status = fs_.RenameFile(from_, to_);
    EXPECT_EQ(status.code(), Error::kAlreadyExists) << error;
    EXPECT_EQ(status.path(), to_) << error;
    EXPECT_EQ(drives_->ReadFile(from_), "mine");
    EXPECT_EQ(drives_->List(folders_.out), Names{});
    faults_.Clear();
  }
}

// A file that appears at the target after the check that the name is free
// is never overwritten: before the move, or before the copy is published.
struct RaceCase {
  const char* name;
  bool force_copy;
  Win32Call appears_before;
};

void PrintTo(const RaceCase& c, std::ostream* os) { *os << c.name; }

class RenameRaceTest : public RenameRefusalTest,
                       public ::testing::WithParamInterface<RaceCase> {};

TEST_P(RenameRaceTest, NeverOverwritesAFileThatAppearsAtTheTarget) {
  if (GetParam().force_copy) {
    faults_.FailEvery(Win32Call::kMoveFileEx, ERROR_NOT_SAME_DEVICE);
  }
  faults_.BeforeNext(GetParam().appears_before,
                     [&] { drives_->WriteFile(to_, "theirs"); });
  Status status = fs_.RenameFile(from_, to_);
  EXPECT_EQ(status.code(), Error::kAlreadyExists) << status.ToString();
  EXPECT_EQ(status.path(), to_);
  EXPECT_EQ(drives_->ReadFile(to_), "theirs");
  EXPECT_EQ(drives_->ReadFile(from_), "mine");
  EXPECT_EQ(drives_->List(folders_.out), Names{"b.jpg"});
}

INSTANTIATE_TEST_SUITE_P(
    Races, RenameRaceTest,
    ::testing::Values(RaceCase{"BeforeTheMove", false, Win32Call::kMoveFileEx},
                      RaceCase{"BeforeTheCopy", true, Win32Call::kMoveFileEx},
                      RaceCase{"BeforeTheCopyIsPublished", true,
                               Win32Call::kFlushFileBuffers}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder swapped in for the file right before the move (the file set
// aside) is moved back and refused; it never stays under the new name.
TEST_F(RenameRefusalTest, PutsBackAFolderSwappedInForTheFile) {
  std::string aside = JoinPath(folders_.in, "aside");
  faults_.BeforeNext(Win32Call::kMoveFileEx, [&] {
    ::MoveFileExW(ToWide(from_)->c_str(), ToWide(aside)->c_str(), 0);
    drives_->MakeFolder(from_);
    drives_->WriteFile(JoinPath(from_, "inner"), "inner");
  });

  Status status = fs_.RenameFile(from_, to_);

  EXPECT_EQ(status.code(), Error::kUnsupported) << status.ToString();
  EXPECT_EQ(status.path(), from_);
  EXPECT_NE(HostAttributes(from_) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(drives_->ReadFile(JoinPath(from_, "inner")), "inner");
  EXPECT_EQ(drives_->ReadFile(aside), "mine");
  EXPECT_EQ(drives_->List(folders_.out), Names{});
}

// A read-only file moved by copying arrives read-only, and its source goes
// although it was read-only.
struct CopyCase {
  const char* name;
  bool second_drive;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class ReadOnlyCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(ReadOnlyCopyTest, ArrivesReadOnlyAndTheSourceGoes) {
  std::unique_ptr<ScratchDrives> drives = MakeScratchDrives();
  if (GetParam().second_drive && drives->Folder(1).empty()) {
    GTEST_SKIP() << "no second drive to test with";
  }
  Folders folders = MakeFolders(*drives, GetParam().second_drive, 0);
  std::string from = JoinPath(folders.in, "a.jpg");
  std::string to = JoinPath(folders.out, "b.jpg");
  drives->WriteFile(from, "kept");
  MakeReadOnly(from);
  Win32FaultInjector faults;
  Win32FileSystem fs(faults.table());
  if (!GetParam().second_drive) {
    faults.FailEvery(Win32Call::kMoveFileEx, ERROR_NOT_SAME_DEVICE);
  }

  Status status = fs.RenameFile(from, to);

  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_FALSE(drives->Exists(from));
  EXPECT_EQ(drives->ReadFile(to), "kept");
  DWORD attributes = HostAttributes(to);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(drives->List(folders.out), Names{"b.jpg"});
}

INSTANTIATE_TEST_SUITE_P(Copies, ReadOnlyCopyTest,
                         ::testing::Values(CopyCase{"ForcedOnOneVolume", false},
                                           CopyCase{"AcrossDrives", true}),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace platform::win32

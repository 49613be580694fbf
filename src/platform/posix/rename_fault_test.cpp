// RenameFile under injected faults: every call of a move fails in turn
// (before or after doing its work), and after each the file is whole at
// exactly one of its paths (or at both, when the call says so), with
// nothing partial and nothing else left.

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/fault_injection.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

using platform::testing::Call;
using platform::testing::CallName;
using platform::testing::FaultInjector;
using platform::testing::TempDrives;
using Names = std::vector<std::string>;

constexpr long kMaxCalls = 5000;

// One kind of move, and what the file system around it refuses.
struct MoveCase {
  const char* name;
  char to_drive;                  // 'C' the same file system, 'E' another one
  bool symlink;                   // move a symlink instead of a regular file
  int rename_error;               // every renameat2 fails with this (0: none)
  int link_error;                 // every linkat fails with this (0: none)
  bool no_unnamed_files = false;  // O_TMPFILE refused
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

const MoveCase kMoves[] = {
    {"SameDevice", 'C', false, 0, 0},
    {"NoNoReplaceRename", 'C', false, EINVAL, 0},
    {"NoHardLinks", 'C', false, EINVAL, EPERM},
    {"CrossDevice", 'E', false, 0, 0},
    {"CrossDeviceInjected", 'C', false, EXDEV, 0},
    {"CrossDeviceSymlink", 'E', true, 0, 0},
    {"CrossDeviceNoUnnamedFiles", 'E', false, 0, 0, true},
    // onto a FUSE FAT mount: no no-replace rename, links or unnamed files
    {"CrossDeviceOntoFat", 'E', false, EINVAL, EPERM, true},
};

const int kErrors[] = {EIO, ENOSPC, EACCES, EXDEV, EINVAL, EPERM};

// How the nth call fails.
enum class Mode {
  kOnce,             // it alone fails, without running
  kFromThereOn,      // it and every later call fail
  kDidItThenFailed,  // it does its work, then reports failure
};

std::string Content() {
  std::string content(300 * 1024 + 5, '\0');
  for (size_t i = 0; i < content.size(); ++i) {
    content[i] = static_cast<char>(i * 7 + i / 251);
  }
  return content;
}

// The Error a failure with `error` is reported as.
Error KindOf(int error) {
  switch (error) {
    case ENOSPC:
      return Error::kNoSpace;
    case EACCES:
    case EPERM:
      return Error::kAccessDenied;
    default:
      return Error::kIo;
  }
}

int OpenDescriptors() {
  int count = 0;
  DIR* dir = ::opendir("/proc/self/fd");
  while (dir != nullptr && ::readdir(dir) != nullptr) ++count;
  if (dir != nullptr) ::closedir(dir);
  return count;
}

// What stands at one path: nothing, a whole copy, or something else.
enum class Entry { kNone, kWhole, kOther };

const char* ModeName(Mode mode) {
  switch (mode) {
    case Mode::kOnce:
      return "_Once";
    case Mode::kFromThereOn:
      return "_FromThereOn";
    case Mode::kDidItThenFailed:
      return "_DidItThenFailed";
  }
  return "";
}

void PrintTo(Mode mode, std::ostream* os) {
  *os << std::string_view(ModeName(mode)).substr(1);
}

bool NamesAClaim(const Status& status) {
  return status.message().find(".pelloquin-claim-") != std::string::npos;
}

// Moves one file out of `folder` (C:) in a new file system whose kill
// calls find no process running: every claim left there is stale.
void SweepAsAfterARestart(const TempDrives& drives, FaultInjector& faults) {
  faults.Clear();
  faults.FailEvery({Call::kKill}, ESRCH);
  PosixFileSystem fs(drives.mappings(), faults.table());
  fs.RenameFile("C:\\in\\no such file", "C:\\in\\nor this one");
  faults.Clear();
}

class RenameFaultTest
    : public ::testing::TestWithParam<std::tuple<MoveCase, int, Mode>> {
 protected:
  const MoveCase& move() const { return std::get<0>(GetParam()); }
  int error() const { return std::get<1>(GetParam()); }
  Mode mode() const { return std::get<2>(GetParam()); }

  Entry EntryAt(const TempDrives& drives, char drive,
                const std::string& relative) const {
    std::string host = drives.Host(drive, relative);
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) return Entry::kNone;
    if (move().symlink) {
      char target[256] = {};
      ssize_t n = ::readlink(host.c_str(), target, sizeof target - 1);
      return S_ISLNK(st.st_mode) && n > 0 && std::string(target) == kLinkTarget
                 ? Entry::kWhole
                 : Entry::kOther;
    }
    return S_ISREG(st.st_mode) && drives.ReadFile(drive, relative) == content_
               ? Entry::kWhole
               : Entry::kOther;
  }

  // One move with the nth call failing; false when no fault fired.
  bool RunOnce(long n) {
    TempDrives drives("CE", "E");
    if (move().to_drive == 'E' && !drives.CrossesDevice('E')) {
      skip_ = true;
      return false;
    }
    drives.MakeFolder('C', "in");
    drives.MakeFolder(move().to_drive, "out");
    if (move().symlink) {
      EXPECT_EQ(::symlink(kLinkTarget, drives.Host('C', "in/a.bin").c_str()),
                0);
    } else {
      drives.WriteFile('C', "in/a.bin", content_);
    }
    int descriptors = OpenDescriptors();

    FaultInjector faults;
    PosixFileSystem fs(drives.mappings(), faults.table());
    if (move().rename_error != 0) {
      faults.FailEvery({Call::kRenameat2}, move().rename_error);
    }
    if (move().link_error != 0) {
      faults.FailEvery({Call::kLinkat}, move().link_error);
    }
    if (move().no_unnamed_files) {
      faults.FailEveryOpenWith(O_TMPFILE, EOPNOTSUPP);
    }
    if (mode() == Mode::kDidItThenFailed) {
      faults.FailAfterAt(n, error());
    } else {
      faults.FailAt(n, error(), platform::testing::CallSet::All(),
                    mode() == Mode::kFromThereOn);
    }
    std::string to = std::string{move().to_drive} + ":\\out\\b.bin";
    Status status = fs.RenameFile("C:\\in\\a.bin", to);
    bool fired = faults.fired();
    std::string where = "fault at call " + std::to_string(n) + " (" +
                        CallName(faults.first_failed()) +
                        "): " + status.ToString();
    faults.Clear();
    if (NamesAClaim(status)) {
      // The source kept its claim's name; the next move out of its folder
      // puts it back.
      EXPECT_EQ(status.code(), Error::kDuplicated) << where;
      SweepAsAfterARestart(drives, faults);
    }

    // A temporary file or a reservation may only be left when the failure
    // names it.
    bool temp_named = status.message().find("temporary") != std::string::npos ||
                      status.message().find("reserving") != std::string::npos;
    Entry old_entry = EntryAt(drives, 'C', "in/a.bin");
    Entry new_entry = EntryAt(drives, move().to_drive, "out/b.bin");
    if (status.ok()) {
      EXPECT_EQ(old_entry, Entry::kNone) << where;
      EXPECT_EQ(new_entry, Entry::kWhole) << where;
    } else if (status.code() == Error::kDuplicated) {
      EXPECT_EQ(old_entry, Entry::kWhole) << where;
      EXPECT_EQ(new_entry, Entry::kWhole) << where;
    } else {
      EXPECT_EQ(old_entry, Entry::kWhole) << where;
      if (!temp_named) {
        EXPECT_EQ(new_entry, Entry::kNone) << where;
      }
      // The injected fault's kind, or that of what the file system
      // refuses anyway (no hard links: an unnamed copy cannot be linked).
      bool explained =
          status.code() == KindOf(error()) ||
          // a link, rename or reservation refusing the name
          (error() == EINVAL && status.code() == Error::kInvalidName) ||
          (move().rename_error != 0 &&
           status.code() == KindOf(move().rename_error)) ||
          (move().link_error != 0 &&
           status.code() == KindOf(move().link_error));
      EXPECT_TRUE(explained) << where;
    }
    Names expected_in = old_entry == Entry::kNone ? Names{} : Names{"a.bin"};
    Names expected_out = new_entry == Entry::kNone ? Names{} : Names{"b.bin"};
    EXPECT_EQ(drives.List('C', "in"), expected_in) << where;
    if (!temp_named) {
      EXPECT_EQ(drives.List(move().to_drive, "out"), expected_out) << where;
    }
    EXPECT_EQ(OpenDescriptors(), descriptors)
        << "descriptors leaked; " << where;
    return fired;
  }

  static constexpr const char* kLinkTarget = "../somewhere/else.jpg";
  const std::string content_ = Content();
  bool skip_ = false;
};

TEST_P(RenameFaultTest, FileIsWholeAtExactlyOnePathAfterEveryFault) {
  long n = 1;
  while (RunOnce(n) && !HasFailure()) {
    ASSERT_LT(++n, kMaxCalls) << "the fault never stops firing";
  }
  if (skip_) GTEST_SKIP() << "no second file system here";
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
             strerrorname_np(std::get<1>(info.param)) +
             ModeName(std::get<2>(info.param));
    });

// When the source cannot be removed after the copy was published, the copy
// is taken back; when that fails too, the call says the file exists twice.
struct UnlinkCase {
  const char* name;
  bool clean_up_fails;
  Error expected;
};

void PrintTo(const UnlinkCase& c, std::ostream* os) { *os << c.name; }

class SourceRemovalTest : public ::testing::TestWithParam<UnlinkCase> {};

TEST_P(SourceRemovalTest, TakesTheCopyBackOrReportsTheDuplicate) {
  TempDrives drives("CE", "E");
  drives.MakeFolder('C', "in");
  drives.MakeFolder('E', "out");
  drives.WriteFile('C', "in/a", "mine");
  FaultInjector faults;
  PosixFileSystem fs(drives.mappings(), faults.table());
  if (!drives.CrossesDevice('E')) {
    faults.FailEvery({Call::kRenameat2}, EXDEV);
  }
  // The first unlink of a cross-device move is the source's.
  faults.FailAt(1, EIO, {Call::kUnlinkat}, GetParam().clean_up_fails);

  Status status = fs.RenameFile("C:\\in\\a", "E:\\out\\b");

  EXPECT_EQ(status.code(), GetParam().expected) << status.ToString();
  EXPECT_EQ(drives.ReadFile('C', "in/a"), "mine");
  if (GetParam().clean_up_fails) {
    EXPECT_EQ(drives.ReadFile('E', "out/b"), "mine");
    EXPECT_NE(status.message().find("C:\\in\\a"), std::string::npos);
    EXPECT_NE(status.message().find("E:\\out\\b"), std::string::npos);
  } else {
    EXPECT_EQ(drives.List('E', "out"), Names{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Removal, SourceRemovalTest,
    ::testing::Values(UnlinkCase{"CopyTakenBack", false, Error::kIo},
                      UnlinkCase{"CopyStays", true, Error::kDuplicated}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that appears at the new path just before the call that would
// publish the move is never replaced.
struct RaceCase {
  const char* name;
  char to_drive;
  bool symlink;
  int rename_error;  // every renameat2 fails with this (0: none)
  Call publish;      // the call right before which the racer appears
};

void PrintTo(const RaceCase& c, std::ostream* os) { *os << c.name; }

class RacingFileTest : public ::testing::TestWithParam<RaceCase> {};

TEST_P(RacingFileTest, NeverOverwritesTheRacer) {
  const RaceCase& race = GetParam();
  TempDrives drives("CE", "E");
  if (race.to_drive == 'E' && !drives.CrossesDevice('E')) {
    GTEST_SKIP() << "no second file system here";
  }
  drives.MakeFolder('C', "in");
  drives.MakeFolder(race.to_drive, "out");
  if (race.symlink) {
    ASSERT_EQ(::symlink("target", drives.Host('C', "in/a").c_str()), 0);
  } else {
    drives.WriteFile('C', "in/a", "mine");
  }
  FaultInjector faults;
  PosixFileSystem fs(drives.mappings(), faults.table());
  if (race.rename_error != 0) {
    faults.FailEvery({Call::kRenameat2}, race.rename_error);
  }
  faults.BeforeNext({race.publish},
                    [&] { drives.WriteFile(race.to_drive, "out/b", "racer"); });

  Status status =
      fs.RenameFile("C:\\in\\a", std::string{race.to_drive} + ":\\out\\b");

  EXPECT_EQ(status.code(), Error::kAlreadyExists) << status.ToString();
  EXPECT_EQ(drives.ReadFile(race.to_drive, "out/b"), "racer");
  EXPECT_EQ(drives.List(race.to_drive, "out"), Names{"b"});
  EXPECT_EQ(drives.List('C', "in"), Names{"a"});
  if (!race.symlink) {
    EXPECT_EQ(drives.ReadFile('C', "in/a"), "mine");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Races, RacingFileTest,
    ::testing::Values(
        RaceCase{"NoReplaceRename", 'C', false, 0, Call::kRenameat2},
        RaceCase{"HardLink", 'C', false, EINVAL, Call::kLinkat},
        RaceCase{"CrossDeviceCopy", 'E', false, 0, Call::kLinkat},
        RaceCase{"CrossDeviceCopyInjected", 'C', false, EXDEV, Call::kLinkat},
        RaceCase{"CrossDeviceSymlink", 'E', true, 0, Call::kSymlinkat}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::posix

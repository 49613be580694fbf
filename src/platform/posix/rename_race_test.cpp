// RenameFile while other programs act on the same names, at every call
// boundary of a move in turn (through the call table, no timing): an editor
// saving a newer version over the source, a folder exchanged for the file,
// a creator taking the new name with O_EXCL. Also what a move leaves to the
// next one, what the copy across file systems keeps, and which path a
// refusal names.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/fault_injection.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

using platform::testing::Call;
using platform::testing::CallSet;
using platform::testing::FaultInjector;
using platform::testing::TempDrives;
using Names = std::vector<std::string>;

constexpr long kMaxCalls = 2000;

// One way to move, and what the file systems around it refuse.
struct Route {
  const char* name;
  char to_drive;                  // 'D' the same file system, 'E' another
  int rename_error;               // every renameat2 fails with this (0: none)
  int link_error;                 // every linkat fails with this (0: none)
  bool no_unnamed_files = false;  // O_TMPFILE refused
};

const Route kRoutes[] = {
    {"SameDevice", 'D', 0, 0},
    {"NoNoReplaceRename", 'D', EINVAL, 0},
    {"NoHardLinks", 'D', EINVAL, EPERM},
    {"CrossDevice", 'E', 0, 0},
    {"CrossDeviceInjected", 'D', EXDEV, 0},
    {"CrossDeviceNoUnnamedFiles", 'E', 0, 0, true},
};

void PrintTo(const Route& route, std::ostream* os) { *os << route.name; }

std::string RouteName(const ::testing::TestParamInfo<Route>& info) {
  return info.param.name;
}

class RaceTest : public ::testing::TestWithParam<Route> {
 protected:
  RaceTest() : drives_("CDE", "E") {}

  void SetUp() override {
    if (GetParam().to_drive == 'E' && !drives_.CrossesDevice('E')) {
      GTEST_SKIP() << "no second file system here";
    }
  }

  // A fresh source and empty destination folder.
  void Prepare() {
    std::string in = drives_.Host('C', "in");
    std::string out = drives_.Host(to(), "out");
    std::filesystem::remove_all(in);
    std::filesystem::remove_all(out);
    drives_.MakeFolder('C', "in");
    drives_.MakeFolder(to(), "out");
    drives_.WriteFile('C', "in/a.jpg", "original");
  }

  // Moves C:\in\a.jpg to the destination, with `action` run right before
  // the nth call; false when the move made fewer calls.
  bool MoveWithActionAt(long n, const std::function<void()>& action,
                        Status& status) {
    Prepare();
    FaultInjector faults;
    PosixFileSystem fs(drives_.mappings(), faults.table());
    if (GetParam().rename_error != 0) {
      faults.FailEvery({Call::kRenameat2}, GetParam().rename_error);
    }
    if (GetParam().link_error != 0) {
      faults.FailEvery({Call::kLinkat}, GetParam().link_error);
    }
    if (GetParam().no_unnamed_files) {
      faults.FailEveryOpenWith(O_TMPFILE, EOPNOTSUPP);
    }
    faults.BeforeCall(n, CallSet::All(), action);
    status = fs.RenameFile("C:\\in\\a.jpg", To());
    return faults.action_ran();
  }

  char to() const { return GetParam().to_drive; }
  std::string To() const { return std::string{to()} + ":\\out\\b.jpg"; }
  std::string Where(long n, const Status& status) const {
    return "action before call " + std::to_string(n) + ": " + status.ToString();
  }

  TempDrives drives_;
};

// An editor saves a newer version by writing a temporary file and renaming
// it over the name.
class NewerVersionTest : public RaceTest {
 protected:
  void SaveNewerVersion() const {
    std::string temp = drives_.Host('C', "in/a.jpg.new");
    drives_.WriteFile('C', "in/a.jpg.new", "newer");
    ::rename(temp.c_str(), drives_.Host('C', "in/a.jpg").c_str());
  }
};

TEST_P(NewerVersionTest, NeverDeletesANewerVersionSavedOverTheSource) {
  for (long n = 1; n < kMaxCalls && !HasFailure(); ++n) {
    Status status;
    if (!MoveWithActionAt(
            n, [&] { SaveNewerVersion(); }, status))
      break;
    std::string where = Where(n, status);
    bool at_old = drives_.Exists('C', "in/a.jpg");
    bool at_new = drives_.Exists(to(), "out/b.jpg");
    std::string old_content = at_old ? drives_.ReadFile('C', "in/a.jpg") : "";
    std::string new_content = at_new ? drives_.ReadFile(to(), "out/b.jpg") : "";
    EXPECT_TRUE(old_content == "newer" || new_content == "newer")
        << "the newer version is lost; " << where;
    if (status.ok()) {
      EXPECT_TRUE(at_new) << where;
    } else {
      EXPECT_EQ(status.code(), Error::kIo) << where;
      EXPECT_EQ(status.message(),
                "The file changed while it was being moved; it was left "
                "where it was.")
          << where;
      EXPECT_EQ(old_content, "newer") << where;
      EXPECT_FALSE(at_new) << where;
    }
    // Nothing of the move's own is left behind.
    EXPECT_EQ(drives_.List('C', "in"), at_old ? Names{"a.jpg"} : Names{})
        << where;
    EXPECT_EQ(drives_.List(to(), "out"), at_new ? Names{"b.jpg"} : Names{})
        << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, NewerVersionTest, ::testing::ValuesIn(kRoutes),
                         RouteName);

// A folder is swapped in for the listed file (the file goes aside).
class SwappedFolderTest : public RaceTest {
 protected:
  void SwapInAFolder() const {
    ::rename(drives_.Host('C', "in/a.jpg").c_str(),
             drives_.Host('C', "in/aside").c_str());
    drives_.MakeFolder('C', "in/a.jpg");
    drives_.WriteFile('C', "in/a.jpg/inner", "inner");
  }
};

TEST_P(SwappedFolderTest, NeverLeavesAFolderMoved) {
  for (long n = 1; n < kMaxCalls && !HasFailure(); ++n) {
    Status status;
    if (!MoveWithActionAt(
            n, [&] { SwapInAFolder(); }, status))
      break;
    std::string where = Where(n, status);
    struct stat st;
    ASSERT_EQ(::lstat(drives_.Host('C', "in/a.jpg").c_str(), &st), 0) << where;
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << where;
    EXPECT_EQ(drives_.List('C', "in/a.jpg"), Names{"inner"}) << where;
    if (drives_.Exists(to(), "out/b.jpg")) {
      // The file was moved before the swap.
      EXPECT_TRUE(status.ok()) << where;
      EXPECT_EQ(drives_.ReadFile(to(), "out/b.jpg"), "original") << where;
    } else {
      EXPECT_FALSE(status.ok()) << where;
      EXPECT_EQ(drives_.ReadFile('C', "in/aside"), "original") << where;
      EXPECT_EQ(drives_.List(to(), "out"), Names{}) << where;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, SwappedFolderTest,
                         ::testing::ValuesIn(kRoutes), RouteName);

// Another program creates the new name with O_CREAT|O_EXCL, which promises
// it a file of its own.
class ExclusiveCreatorTest : public RaceTest {};

TEST_P(ExclusiveCreatorTest, NeverReplacesTheCreatorsFile) {
  for (long n = 1; n < kMaxCalls && !HasFailure(); ++n) {
    bool created = false;
    auto create = [&] {
      int fd = ::open(drives_.Host(to(), "out/b.jpg").c_str(),
                      O_WRONLY | O_CREAT | O_EXCL, 0644);
      if (fd < 0) return;
      created = ::write(fd, "racer", 5) == 5;
      ::close(fd);
    };
    Status status;
    if (!MoveWithActionAt(n, create, status)) break;
    std::string where = Where(n, status);
    if (created) {
      EXPECT_EQ(drives_.ReadFile(to(), "out/b.jpg"), "racer") << where;
      EXPECT_EQ(status.code(), Error::kAlreadyExists) << where;
      EXPECT_EQ(drives_.ReadFile('C', "in/a.jpg"), "original") << where;
    } else {
      EXPECT_TRUE(status.ok()) << where;
      EXPECT_EQ(drives_.ReadFile(to(), "out/b.jpg"), "original") << where;
    }
    EXPECT_EQ(drives_.List(to(), "out"), Names{"b.jpg"}) << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, ExclusiveCreatorTest,
                         ::testing::ValuesIn(kRoutes), RouteName);

// What a killed move leaves is put right by the next move into or out of
// its folder: the program's own temporaries of a process that no longer
// runs are removed, a claimed source goes back under its name.
struct LeftoverCase {
  const char* name;
  const char* leftover;  // in C:\in; "<pid>" stands for this process
  bool owner_runs;
  const char* taken;  // a file already standing in C:\in (or "")
  Names expected;     // C:\in afterwards, sorted
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.name; }

class LeftoverTest : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(LeftoverTest, TheNextMovePutsItRight) {
  const LeftoverCase& c = GetParam();
  TempDrives drives("C");
  drives.MakeFolder('C', "in");
  drives.WriteFile('C', "in/move.jpg", "moved");
  std::string leftover = c.leftover;
  size_t pid_at = leftover.find("<pid>");
  if (pid_at != std::string::npos) {
    leftover.replace(pid_at, 5, std::to_string(::getpid()));
  }
  drives.WriteFile('C', "in/" + leftover, "left");
  if (*c.taken != '\0')
    drives.WriteFile('C', std::string("in/") + c.taken, "taken");
  FaultInjector faults;
  if (!c.owner_runs) faults.FailEvery({Call::kKill}, ESRCH);
  PosixFileSystem fs(drives.mappings(), faults.table());

  ASSERT_TRUE(fs.RenameFile("C:\\in\\move.jpg", "C:\\in\\moved.jpg").ok());

  Names expected = c.expected;
  for (std::string& name : expected) {
    if (size_t at = name.find("<pid>"); at != std::string::npos) {
      name.replace(at, 5, std::to_string(::getpid()));
    }
  }
  EXPECT_EQ(drives.List('C', "in"), expected);
  if (*c.taken != '\0') {
    EXPECT_EQ(drives.ReadFile('C', std::string("in/") + c.taken), "taken");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, LeftoverTest,
    ::testing::Values(
        LeftoverCase{"DeadProcessTemporaryIsRemoved",
                     ".pelloquin-4242-7-1a2b.tmp",
                     false,
                     "",
                     {"moved.jpg"}},
        LeftoverCase{"LiveProcessTemporaryStays",
                     ".pelloquin-<pid>-7-1a2b.tmp",
                     true,
                     "",
                     {".pelloquin-<pid>-7-1a2b.tmp", "moved.jpg"}},
        LeftoverCase{"ForeignNameStays",
                     ".pelloquin-notes.tmp",
                     false,
                     "",
                     {".pelloquin-notes.tmp", "moved.jpg"}},
        LeftoverCase{"DeadProcessClaimGoesBack",
                     ".pelloquin-claim-4242-3-9f-photo 1.jpg",
                     false,
                     "",
                     {"moved.jpg", "photo 1.jpg"}},
        LeftoverCase{
            "ClaimStaysWhereItsNameIsTaken",
            ".pelloquin-claim-4242-3-9f-photo.jpg",
            false,
            "photo.jpg",
            {".pelloquin-claim-4242-3-9f-photo.jpg", "moved.jpg", "photo.jpg"}},
        LeftoverCase{"LiveProcessClaimStays",
                     ".pelloquin-claim-<pid>-3-9f-photo.jpg",
                     true,
                     "",
                     {".pelloquin-claim-<pid>-3-9f-photo.jpg", "moved.jpg"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LeftoverTest, AClaimPutBackKeepsItsContent) {
  TempDrives drives("C");
  drives.MakeFolder('C', "in");
  drives.WriteFile('C', "in/.pelloquin-claim-4242-3-9f-a.jpg", "claimed");
  FaultInjector faults;
  faults.FailEvery({Call::kKill}, ESRCH);
  PosixFileSystem fs(drives.mappings(), faults.table());

  EXPECT_EQ(fs.RenameFile("C:\\in\\gone.jpg", "C:\\in\\x.jpg").code(),
            Error::kNotFound);

  EXPECT_EQ(drives.List('C', "in"), Names{"a.jpg"});
  EXPECT_EQ(drives.ReadFile('C', "in/a.jpg"), "claimed");
}

// Which path a refusal names: the folder or file that refused.
struct RefusalPathCase {
  const char* name;
  int rename_error;       // every renameat2 fails with this
  int link_error;         // every linkat fails with this (0: none)
  int access_refused_at;  // the nth faccessat fails with EACCES (0: none)
  int renameat_error;     // every renameat fails with this (0: none)
  int create_error;       // every O_CREAT|O_EXCL open fails with this
  Error expected;
  const char* path;
};

void PrintTo(const RefusalPathCase& c, std::ostream* os) { *os << c.name; }

class RefusalPathTest : public ::testing::TestWithParam<RefusalPathCase> {};

TEST_P(RefusalPathTest, NamesWhatRefused) {
  const RefusalPathCase& c = GetParam();
  TempDrives drives("CD");
  drives.MakeFolder('C', "in");
  drives.MakeFolder('D', "out");
  drives.WriteFile('C', "in/a.jpg", "alpha");
  FaultInjector faults;
  PosixFileSystem fs(drives.mappings(), faults.table());
  faults.FailEvery({Call::kRenameat2}, c.rename_error);
  if (c.link_error != 0) faults.FailEvery({Call::kLinkat}, c.link_error);
  if (c.renameat_error != 0) {
    faults.FailEvery({Call::kRenameat}, c.renameat_error);
  }
  if (c.create_error != 0) {
    faults.FailEveryOpenWith(O_CREAT | O_EXCL, c.create_error);
  }
  if (c.access_refused_at != 0) {
    faults.FailAt(c.access_refused_at, EACCES, {Call::kFaccessat});
  }

  Status status = fs.RenameFile("C:\\in\\a.jpg", "D:\\out\\b.jpg");

  EXPECT_EQ(status.code(), c.expected) << status.ToString();
  EXPECT_EQ(status.path(), c.path) << status.ToString();
  EXPECT_EQ(drives.List('C', "in"), Names{"a.jpg"});
  EXPECT_EQ(drives.List('D', "out"), Names{});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalPathTest,
    ::testing::Values(
        RefusalPathCase{"SourceFolderNotWritable", EACCES, 0, 1, 0, 0,
                        Error::kAccessDenied, "C:\\in"},
        RefusalPathCase{"DestinationFolderNotWritable", EACCES, 0, 2, 0, 0,
                        Error::kAccessDenied, "D:\\out"},
        RefusalPathCase{"StickyFolderRefusesTheFile", EPERM, 0, 0, 0, 0,
                        Error::kAccessDenied, "C:\\in\\a.jpg"},
        RefusalPathCase{"NameRefusedAsMissing", EINVAL, EPERM, 0, ENOENT,
                        ENOENT, Error::kInvalidName, "D:\\out\\b.jpg"},
        RefusalPathCase{"NameRefusedAsInvalid", EINVAL, EPERM, 0, EINVAL,
                        EINVAL, Error::kInvalidName, "D:\\out\\b.jpg"}),
    [](const auto& info) { return std::string(info.param.name); });

// A move onto a file system with no no-replace rename, no hard links and no
// unnamed files, which cannot hold a mode, owner or time either (a FUSE FAT
// mount): published by reserving the name, metadata best-effort.
TEST(PoorDestinationTest, MovesOntoAFileSystemWithoutLinksOrModes) {
  TempDrives drives("CE", "E");
  if (!drives.CrossesDevice('E')) GTEST_SKIP() << "no second file system here";
  drives.MakeFolder('C', "in");
  drives.MakeFolder('E', "out");
  drives.WriteFile('C', "in/a.jpg", "alpha");
  FaultInjector faults;
  PosixFileSystem fs(drives.mappings(), faults.table());
  faults.FailEvery({Call::kRenameat2}, EINVAL);
  faults.FailEvery({Call::kLinkat}, EPERM);
  faults.FailEveryOpenWith(O_TMPFILE, EOPNOTSUPP);
  faults.FailEvery({Call::kFchmod, Call::kFchown, Call::kFutimens}, ENOSYS);

  Status status = fs.RenameFile("C:\\in\\a.jpg", "E:\\out\\b.jpg");

  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(drives.List('C', "in"), Names{});
  EXPECT_EQ(drives.List('E', "out"), Names{"b.jpg"});
  EXPECT_EQ(drives.ReadFile('E', "out/b.jpg"), "alpha");
}

// What a copy across file systems keeps, on a real second file system and
// with EXDEV injected on one.
class CopyAcrossTest : public ::testing::TestWithParam<bool> {
 protected:
  // C:\in, and the folder "out" on E: (another file system) or, with EXDEV
  // injected, on C:.
  void SetUp() override {
    if (!injected() && !drives_.CrossesDevice('E')) {
      GTEST_SKIP() << "no second file system here";
    }
    drives_.MakeFolder('C', "in");
    drives_.MakeFolder(to(), "out");
    if (injected()) faults_.FailEvery({Call::kRenameat2}, EXDEV);
  }

  bool injected() const { return GetParam(); }
  char to() const { return injected() ? 'C' : 'E'; }
  Status Move(const std::string& from_name, const std::string& to_name) {
    PosixFileSystem fs(drives_.mappings(), faults_.table());
    return fs.RenameFile("C:\\in\\" + from_name,
                         std::string{to()} + ":\\out\\" + to_name);
  }

  TempDrives drives_{"CE", "E"};
  FaultInjector faults_;
};

// A sparse file keeps its holes: only its data is copied.
TEST_P(CopyAcrossTest, KeepsTheHoles) {
  constexpr off_t kSize = off_t{96} << 20;
  constexpr off_t kTailAt = off_t{64} << 20;
  {
    int fd = ::open(drives_.Host('C', "in/disk.img").c_str(),
                    O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
    ASSERT_EQ(::pwrite(fd, "tail", 4, kTailAt), 4);
    ASSERT_EQ(::ftruncate(fd, kSize), 0);  // and a hole at the end
    ::close(fd);
  }

  Status status = Move("disk.img", "disk.img");

  ASSERT_TRUE(status.ok()) << status.ToString();
  std::string moved = drives_.Host(to(), "out/disk.img");
  struct stat st;
  ASSERT_EQ(::stat(moved.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, kSize);
  EXPECT_LT(st.st_blocks * 512, off_t{4} << 20) << "the holes were filled";
  int fd = ::open(moved.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  char head[5] = {}, tail[5] = {}, between[5] = {1, 1, 1, 1, 1};
  EXPECT_EQ(::pread(fd, head, 4, 0), 4);
  EXPECT_EQ(::pread(fd, tail, 4, kTailAt), 4);
  EXPECT_EQ(::pread(fd, between, 4, kTailAt - 4), 4);
  ::close(fd);
  EXPECT_STREQ(head, "head");
  EXPECT_STREQ(tail, "tail");
  EXPECT_EQ(std::string(between, 4), std::string(4, '\0'));
}

// Extended attributes travel with the copy.
TEST_P(CopyAcrossTest, KeepsExtendedAttributes) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  std::string source = drives_.Host('C', "in/a.jpg");
  if (::setxattr(source.c_str(), "user.origin", "camera 2", 8, 0) != 0) {
    GTEST_SKIP() << "no user attributes here";
  }
  ASSERT_EQ(::setxattr(source.c_str(), "user.empty", "", 0, 0), 0);

  Status status = Move("a.jpg", "a.jpg");

  ASSERT_TRUE(status.ok()) << status.ToString();
  std::string moved = drives_.Host(to(), "out/a.jpg");
  char value[32] = {};
  EXPECT_EQ(::getxattr(moved.c_str(), "user.origin", value, sizeof value), 8);
  EXPECT_STREQ(value, "camera 2");
  EXPECT_EQ(::getxattr(moved.c_str(), "user.empty", value, sizeof value), 0);
}

INSTANTIATE_TEST_SUITE_P(RealAndInjected, CopyAcrossTest,
                         ::testing::Values(false, true), [](const auto& info) {
                           return info.param ? "Injected" : "Real";
                         });

}  // namespace
}  // namespace platform::posix

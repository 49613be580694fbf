#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/fault_injection.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

using Names = std::vector<std::string>;
using platform::testing::Call;
using platform::testing::FaultInjector;
using platform::testing::TempDrives;

// U+F000 + byte, as UTF-8: how the model spells a host byte it cannot hold.
std::string Escaped(unsigned char byte) {
  return std::string{static_cast<char>(0xEF),
                     static_cast<char>(0x80 | (byte >> 6)),
                     static_cast<char>(0x80 | (byte & 0x3F))};
}

struct stat LinkStat(const std::string& host_path) {
  struct stat st {};
  EXPECT_EQ(::lstat(host_path.c_str(), &st), 0) << host_path;
  return st;
}

// C: and D: on one file system, E: on another where the machine has one.
class RenameFileTest : public ::testing::Test {
 protected:
  RenameFileTest() : drives_("CDE", "E"), fs_(drives_.mappings()) {
    drives_.MakeFolder('C', "in");
    drives_.MakeFolder('D', "out");
    drives_.MakeFolder('E', "out");
  }

  TempDrives drives_;
  PosixFileSystem fs_;
};

TEST_F(RenameFileTest, RenamesInPlaceKeepingContentAndInode) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  ino_t inode = LinkStat(drives_.Host('C', "in/a.jpg")).st_ino;

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\a.jpg", "C:\\in\\Trip09.jpg").ok());

  EXPECT_EQ(drives_.List('C', "in"), Names{"Trip09.jpg"});
  EXPECT_EQ(drives_.ReadFile('C', "in/Trip09.jpg"), "alpha");
  EXPECT_EQ(LinkStat(drives_.Host('C', "in/Trip09.jpg")).st_ino, inode);
}

// The common case costs two system calls a file: the rename and a look at
// what arrived (the folders' leftovers are looked for once, at the first).
TEST_F(RenameFileTest, TakesTwoCallsAFileInTheCommonCase) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  drives_.WriteFile('C', "in/b.jpg", "beta");
  FaultInjector faults;
  PosixFileSystem fs(drives_.mappings(), faults.table());
  ASSERT_TRUE(fs.RenameFile("C:\\in\\a.jpg", "D:\\out\\a.jpg").ok());
  faults.Clear();

  ASSERT_TRUE(fs.RenameFile("C:\\in\\b.jpg", "D:\\out\\b.jpg").ok());

  EXPECT_EQ(faults.calls(), 2);
}

TEST_F(RenameFileTest, MovesToAnotherFolderAndDriveOfTheSameFileSystem) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  drives_.WriteFile('C', "b.jpg", "beta");

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\a.jpg", "D:\\out\\x.jpg").ok());
  ASSERT_TRUE(fs_.RenameFile("C:\\\\b.jpg", "C:\\in\\y.jpg").ok());

  EXPECT_EQ(drives_.ReadFile('D', "out/x.jpg"), "alpha");
  EXPECT_EQ(drives_.ReadFile('C', "in/y.jpg"), "beta");
  EXPECT_EQ(drives_.List('C'), Names{"in"});
}

TEST_F(RenameFileTest, ResolvesRelativePathsAgainstTheCurrentFolder) {
  ASSERT_TRUE(fs_.ChangeFolder("C:\\in").ok());
  drives_.WriteFile('C', "in/a.jpg", "alpha");

  ASSERT_TRUE(fs_.RenameFile("a.jpg", "..\\in\\.\\b.jpg").ok());

  EXPECT_EQ(drives_.List('C', "in"), Names{"b.jpg"});
}

// Each failure leaves both folders exactly as they were.
struct RefusalCase {
  const char* name;
  const char* from;
  const char* to;
  Error expected;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class RenameRefusalTest : public RenameFileTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RenameRefusalTest, FailsAndChangesNothing) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  drives_.WriteFile('C', "in/taken.jpg", "taken");
  drives_.WriteFile('E', "out/taken.jpg", "taken");
  drives_.MakeFolder('C', "in/folder");
  ASSERT_EQ(::symlink("nowhere", drives_.Host('C', "in/dangling").c_str()), 0);
  ASSERT_EQ(::mkfifo(drives_.Host('C', "in/pipe").c_str(), 0600), 0);
  Names before_c = drives_.List('C', "in");

  Status status = fs_.RenameFile(GetParam().from, GetParam().to);

  EXPECT_EQ(status.code(), GetParam().expected) << status.ToString();
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(drives_.List('C', "in"), before_c);
  EXPECT_EQ(drives_.ReadFile('C', "in/a.jpg"), "alpha");
  EXPECT_EQ(drives_.ReadFile('C', "in/taken.jpg"), "taken");
  EXPECT_EQ(drives_.List('D', "out"), Names{});
  EXPECT_EQ(drives_.List('E', "out"), Names{"taken.jpg"});
  EXPECT_EQ(drives_.ReadFile('E', "out/taken.jpg"), "taken");
}

const std::string kLongName = std::string(256, 'n') + ".jpg";
const std::string kLongTarget = "C:\\in\\" + kLongName;

INSTANTIATE_TEST_SUITE_P(
    Refusals, RenameRefusalTest,
    ::testing::Values(RefusalCase{"TargetExists", "C:\\in\\a.jpg",
                                  "C:\\in\\taken.jpg", Error::kAlreadyExists},
                      RefusalCase{"TargetIsADanglingSymlink", "C:\\in\\a.jpg",
                                  "C:\\in\\dangling", Error::kAlreadyExists},
                      RefusalCase{"TargetIsAFolder", "C:\\in\\a.jpg",
                                  "C:\\in\\folder", Error::kAlreadyExists},
                      RefusalCase{"SamePath", "C:\\in\\a.jpg",
                                  "C:\\\\in\\a.jpg", Error::kAlreadyExists},
                      RefusalCase{"TargetExistsOnAnotherFileSystem",
                                  "C:\\in\\a.jpg", "E:\\out\\taken.jpg",
                                  Error::kAlreadyExists},
                      RefusalCase{"SourceGone", "C:\\in\\gone.jpg",
                                  "C:\\in\\b.jpg", Error::kNotFound},
                      RefusalCase{"SourceFolderGone", "C:\\nowhere\\a.jpg",
                                  "C:\\in\\b.jpg", Error::kNotFound},
                      RefusalCase{"SourceGoneAcrossDevices", "C:\\in\\gone.jpg",
                                  "E:\\out\\b.jpg", Error::kNotFound},
                      RefusalCase{"DestinationFolderMissing", "C:\\in\\a.jpg",
                                  "C:\\nowhere\\b.jpg", Error::kPathNotFound},
                      RefusalCase{"DestinationFolderIsAFile", "C:\\in\\a.jpg",
                                  "C:\\in\\taken.jpg\\b.jpg",
                                  Error::kPathNotFound},
                      RefusalCase{"BothMissing", "C:\\in\\gone.jpg",
                                  "C:\\nowhere\\b.jpg", Error::kPathNotFound},
                      RefusalCase{"NewNameTooLong", "C:\\in\\a.jpg",
                                  kLongTarget.c_str(), Error::kNameTooLong},
                      RefusalCase{"RawWildcardInNewName", "C:\\in\\a.jpg",
                                  "C:\\in\\a?.jpg", Error::kInvalidName},
                      RefusalCase{"NewNameIsARoot", "C:\\in\\a.jpg", "D:\\",
                                  Error::kInvalidName},
                      RefusalCase{"UnknownDrive", "C:\\in\\a.jpg", "Q:\\b.jpg",
                                  Error::kNotReady},
                      RefusalCase{"SourceIsAFolder", "C:\\in\\folder",
                                  "C:\\in\\f2", Error::kUnsupported},
                      RefusalCase{"SourceIsAPipe", "C:\\in\\pipe",
                                  "E:\\out\\pipe", Error::kUnsupported}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenameFileTest, RefusesASocket) {
  std::string path = drives_.Host('C', "in/sock");
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address),
            0);

  EXPECT_EQ(fs_.RenameFile("C:\\in\\sock", "C:\\in\\s2").code(),
            Error::kUnsupported);
  ::close(fd);
  EXPECT_EQ(drives_.List('C', "in"), Names{"sock"});
}

TEST_F(RenameFileTest, MovesANonUtf8HostNameThroughItsEscapedName) {
  std::string host_name = "caf\xE9:1.jpg";  // Latin-1 byte and a colon
  drives_.WriteFile('C', "in/" + host_name, "latin");
  std::string model_name = "caf" + Escaped(0xE9) + Escaped(':') + "1.jpg";

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\" + model_name, "D:\\out\\x.jpg").ok());
  EXPECT_EQ(drives_.ReadFile('D', "out/x.jpg"), "latin");

  ASSERT_TRUE(fs_.RenameFile("D:\\out\\x.jpg", "C:\\in\\" + model_name).ok());
  EXPECT_EQ(drives_.List('C', "in"), Names{host_name});
  EXPECT_EQ(drives_.ReadFile('C', "in/" + host_name), "latin");
}

TEST_F(RenameFileTest, RenamesASymlinkItselfNotItsTarget) {
  drives_.WriteFile('C', "in/real.jpg", "real");
  ASSERT_EQ(::symlink("real.jpg", drives_.Host('C', "in/link").c_str()), 0);

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\link", "C:\\in\\moved").ok());

  EXPECT_EQ(drives_.List('C', "in"), (Names{"moved", "real.jpg"}));
  EXPECT_TRUE(S_ISLNK(LinkStat(drives_.Host('C', "in/moved")).st_mode));
}

std::string RandomContent(size_t size) {
  std::mt19937 random(42);
  std::string content(size, '\0');
  for (char& c : content) c = static_cast<char>(random());
  return content;
}

// Moves from C: to E:, across file systems for real where the machine has
// two, and with EXDEV injected on C: to C: in any case.
class CrossDeviceTest : public RenameFileTest,
                        public ::testing::WithParamInterface<bool> {
 protected:
  CrossDeviceTest() : fs_(drives_.mappings(), faults_.table()) {
    if (injected()) {
      drives_.MakeFolder('C', "out");
      faults_.FailEvery({Call::kRenameat2}, EXDEV);
    }
  }
  bool injected() const { return GetParam(); }
  char to_drive() const { return injected() ? 'C' : 'E'; }
  std::string To(const std::string& name) const {
    return std::string{to_drive()} + ":\\out\\" + name;
  }
  void SetUp() override {
    if (!injected() && !drives_.CrossesDevice('E')) {
      GTEST_SKIP() << "no second file system here";
    }
  }

  FaultInjector faults_;
  PosixFileSystem fs_;
};

TEST_P(CrossDeviceTest, MovesContentModeAndTimesAndRemovesTheSource) {
  std::string content = RandomContent(3 * 1024 * 1024 + 17);
  drives_.WriteFile('C', "in/a.bin", content);
  std::string source = drives_.Host('C', "in/a.bin");
  ASSERT_EQ(::chmod(source.c_str(), 0640), 0);
  const struct timespec times[2] = {{1000000000, 111}, {1200000000, 222}};
  ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);

  Status status = fs_.RenameFile("C:\\in\\a.bin", To("b.bin"));

  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(drives_.List('C', "in"), Names{});
  EXPECT_EQ(drives_.List(to_drive(), "out"), Names{"b.bin"});
  EXPECT_EQ(drives_.ReadFile(to_drive(), "out/b.bin"), content);
  struct stat moved = LinkStat(drives_.Host(to_drive(), "out/b.bin"));
  EXPECT_EQ(moved.st_mode & 07777, 0640u);
  EXPECT_EQ(moved.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(moved.st_mtim.tv_nsec, 222);
}

TEST_P(CrossDeviceTest, MovesAnEmptyFile) {
  drives_.WriteFile('C', "in/empty", "");

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\empty", To("empty")).ok());

  EXPECT_EQ(drives_.List('C', "in"), Names{});
  EXPECT_EQ(drives_.List(to_drive(), "out"), Names{"empty"});
  EXPECT_EQ(LinkStat(drives_.Host(to_drive(), "out/empty")).st_size, 0);
}

TEST_P(CrossDeviceTest, RecreatesASymlinkWithoutFollowingIt) {
  drives_.WriteFile('C', "in/real.jpg", "real");
  ASSERT_EQ(::symlink("real.jpg", drives_.Host('C', "in/link").c_str()), 0);
  ASSERT_EQ(
      ::symlink("/no/such/file", drives_.Host('C', "in/dangling").c_str()), 0);

  ASSERT_TRUE(fs_.RenameFile("C:\\in\\link", To("link")).ok());
  ASSERT_TRUE(fs_.RenameFile("C:\\in\\dangling", To("dangling")).ok());

  EXPECT_EQ(drives_.List('C', "in"), Names{"real.jpg"});
  char target[64] = {};
  ASSERT_GT(::readlink(drives_.Host(to_drive(), "out/link").c_str(), target,
                       sizeof target - 1),
            0);
  EXPECT_STREQ(target, "real.jpg");
  EXPECT_TRUE(
      S_ISLNK(LinkStat(drives_.Host(to_drive(), "out/dangling")).st_mode));
}

TEST_P(CrossDeviceTest, UsesAHiddenTemporaryWhereUnnamedFilesAreRefused) {
  drives_.WriteFile('C', "in/b.jpg", "second");
  faults_.FailEveryOpenWith(O_TMPFILE, EOPNOTSUPP);

  Status status = fs_.RenameFile("C:\\in\\b.jpg", To("b.jpg"));

  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(drives_.List('C', "in"), Names{});
  EXPECT_EQ(drives_.List(to_drive(), "out"), Names{"b.jpg"});
  EXPECT_EQ(drives_.ReadFile(to_drive(), "out/b.jpg"), "second");
}

INSTANTIATE_TEST_SUITE_P(RealAndInjected, CrossDeviceTest,
                         ::testing::Values(false, true), [](const auto& info) {
                           return info.param ? "Injected" : "Real";
                         });

// Where the file system has no no-replace rename (EINVAL), a hard link
// takes its place; where it has no hard links either (EPERM), a look and a
// plain rename.
struct FallbackCase {
  const char* name;
  bool links_refused;
};

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class RenameFallbackTest : public RenameFileTest,
                           public ::testing::WithParamInterface<FallbackCase> {
 protected:
  RenameFallbackTest() : fs_(drives_.mappings(), faults_.table()) {}
  void SetUp() override {
    faults_.FailEvery({Call::kRenameat2}, EINVAL);
    if (GetParam().links_refused) faults_.FailEvery({Call::kLinkat}, EPERM);
  }

  FaultInjector faults_;
  PosixFileSystem fs_;
};

TEST_P(RenameFallbackTest, RenamesKeepingTheInode) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  ino_t inode = LinkStat(drives_.Host('C', "in/a.jpg")).st_ino;

  Status status = fs_.RenameFile("C:\\in\\a.jpg", "D:\\out\\b.jpg");

  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(drives_.List('C', "in"), Names{});
  EXPECT_EQ(drives_.List('D', "out"), Names{"b.jpg"});
  EXPECT_EQ(LinkStat(drives_.Host('D', "out/b.jpg")).st_ino, inode);
}

TEST_P(RenameFallbackTest, NeverReplacesAnExistingFile) {
  drives_.WriteFile('C', "in/a.jpg", "alpha");
  drives_.WriteFile('D', "out/b.jpg", "beta");

  Status status = fs_.RenameFile("C:\\in\\a.jpg", "D:\\out\\b.jpg");

  EXPECT_EQ(status.code(), Error::kAlreadyExists) << status.ToString();
  EXPECT_EQ(drives_.ReadFile('C', "in/a.jpg"), "alpha");
  EXPECT_EQ(drives_.ReadFile('D', "out/b.jpg"), "beta");
}

INSTANTIATE_TEST_SUITE_P(
    Fallbacks, RenameFallbackTest,
    ::testing::Values(FallbackCase{"HardLink", false},
                      FallbackCase{"LookThenRename", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::posix

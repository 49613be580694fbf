// A cross-device batch killed (SIGKILL) at each of its system calls in
// turn: no file may be lost or left partial under a final name.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/fault_injection.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

using platform::testing::Call;
using platform::testing::FaultInjector;
using platform::testing::TempDrives;
using Names = std::vector<std::string>;

struct BatchFile {
  std::string name;
  std::string content;  // the link's target for a symlink
  bool symlink = false;
};

std::vector<BatchFile> Batch() {
  std::string big(2 * 1024 * 1024 + 3, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 253);
  return {{"a.jpg", "small"},
          {"b.raw", big},
          {"c.txt", ""},
          {"d.lnk", "../elsewhere", true}};
}

enum class Place { kOld, kNew, kBoth };

class RenameKillTest : public ::testing::TestWithParam<bool> {
 protected:
  bool injected() const { return GetParam(); }
  char to_drive() const { return injected() ? 'C' : 'E'; }

  void Prepare(const TempDrives& drives) const {
    drives.MakeFolder('C', "in");
    drives.MakeFolder(to_drive(), "out");
    for (const BatchFile& file : batch_) {
      if (file.symlink) {
        ASSERT_EQ(::symlink(file.content.c_str(),
                            drives.Host('C', "in/" + file.name).c_str()),
                  0);
      } else {
        drives.WriteFile('C', "in/" + file.name, file.content);
      }
    }
  }

  // Moves the batch through `faults`; the number of files moved.
  int RunBatch(const TempDrives& drives, FaultInjector& faults) const {
    PosixFileSystem fs(drives.mappings(), faults.table());
    if (injected()) faults.FailEvery({Call::kRenameat2}, EXDEV);
    int moved = 0;
    for (const BatchFile& file : batch_) {
      std::string to = std::string{to_drive()} + ":\\out\\" + file.name;
      if (fs.RenameFile("C:\\in\\" + file.name, to).ok()) ++moved;
    }
    return moved;
  }

  bool Whole(const TempDrives& drives, char drive, const std::string& relative,
             const BatchFile& file) const {
    std::string host = drives.Host(drive, relative);
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) return false;
    if (file.symlink) {
      char target[256] = {};
      return S_ISLNK(st.st_mode) &&
             ::readlink(host.c_str(), target, sizeof target - 1) > 0 &&
             file.content == target;
    }
    return S_ISREG(st.st_mode) &&
           drives.ReadFile(drive, relative) == file.content;
  }

  // Where each file is, once the next move out of the source folder has
  // put back what the killed batch left claimed; fails the test for a file
  // lost or partial.
  std::vector<Place> Survey(const TempDrives& drives, long n) const {
    PosixFileSystem next_run(drives.mappings());
    EXPECT_EQ(next_run.RenameFile("C:\\in\\none", "C:\\in\\none2").code(),
              Error::kNotFound);
    std::vector<Place> places;
    Names in, out;
    for (const BatchFile& file : batch_) {
      bool at_old = drives.Exists('C', "in/" + file.name);
      bool at_new = drives.Exists(to_drive(), "out/" + file.name);
      if (at_old) {
        in.push_back(file.name);
        EXPECT_TRUE(Whole(drives, 'C', "in/" + file.name, file))
            << file.name << " damaged at its old path, kill at call " << n;
      }
      if (at_new) {
        out.push_back(file.name);
        EXPECT_TRUE(Whole(drives, to_drive(), "out/" + file.name, file))
            << file.name << " partial at its new path, kill at call " << n;
      }
      EXPECT_TRUE(at_old || at_new) << file.name << " lost, kill at call " << n;
      places.push_back(at_old && at_new ? Place::kBoth
                       : at_old         ? Place::kOld
                                        : Place::kNew);
    }
    EXPECT_EQ(drives.List('C', "in"), in) << "kill at call " << n;
    EXPECT_EQ(drives.List(to_drive(), "out"), out) << "kill at call " << n;
    return places;
  }

  const std::vector<BatchFile> batch_ = Batch();
};

TEST_P(RenameKillTest, NoFileIsLostWhereverTheBatchIsKilled) {
  long total_calls = 0;
  {
    TempDrives drives("CE", "E");
    if (!injected() && !drives.CrossesDevice('E')) {
      GTEST_SKIP() << "no second file system here";
    }
    Prepare(drives);
    FaultInjector counting;
    ASSERT_EQ(RunBatch(drives, counting), static_cast<int>(batch_.size()));
    total_calls = counting.calls();
  }

  int kills_leaving_both = 0;
  for (long n = 1; n <= total_calls + 1 && !HasFailure(); ++n) {
    TempDrives drives("CE", "E");
    Prepare(drives);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FaultInjector faults;
      faults.KillAt(n);
      _exit(RunBatch(drives, faults) == static_cast<int>(batch_.size()) ? 0
                                                                        : 1);
    }
    int wait_status = 0;
    ASSERT_EQ(::waitpid(child, &wait_status, 0), child);
    if (n <= total_calls) {
      ASSERT_TRUE(WIFSIGNALED(wait_status) && WTERMSIG(wait_status) == SIGKILL)
          << "the batch was not killed at call " << n;
    } else {
      ASSERT_TRUE(WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0)
          << "the batch failed without a kill";
    }
    for (Place place : Survey(drives, n)) {
      if (place == Place::kBoth) ++kills_leaving_both;
    }
  }
  // The window between publishing a copy and removing its source was hit.
  EXPECT_GT(kills_leaving_both, 0);
}

INSTANTIATE_TEST_SUITE_P(RealAndInjected, RenameKillTest,
                         ::testing::Values(false, true), [](const auto& info) {
                           return info.param ? "InjectedCrossDevice"
                                             : "RealCrossDevice";
                         });

}  // namespace
}  // namespace platform::posix

// The rename run against the bare system calls, in one run on this machine:
//   1. RunRename over a full rename list (32,767 files in one folder)
//      against a loop of renameat2 over as many files;
//   2. RenameFile moving one 256 MiB file to another file system against
//      cp + rm of the same amount.
// Each side runs several rounds, alternating; the best round of each counts.
//
//   rename_bench [rounds]   (default 3; TMPDIR picks the first file system,
//                            /dev/shm is the second where it is another one)

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rename_run.h"
#include "platform/message_box.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/sys_calls.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 32767;
constexpr size_t kBigFileBytes = size_t{256} << 20;

[[noreturn]] void Die(const std::string& what) {
  fprintf(stderr, "rename_bench: %s: %s\n", what.c_str(), strerror(errno));
  std::exit(1);
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string MakeTempFolder(const std::string& base) {
  std::string pattern = base + "/pelloquin-bench-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) Die("mkdtemp under " + base);
  return pattern;
}

dev_t DeviceOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

std::string FileName(int i) {
  char name[32];
  snprintf(name, sizeof name, "f%05d.dat", i);
  return name;
}

// A fresh folder `name` under `root` holding kFiles empty files.
std::string FillFolder(const std::string& root, const std::string& name) {
  std::string folder = root + "/" + name;
  fs::remove_all(folder);
  fs::create_directory(folder);
  for (int i = 0; i < kFiles; ++i) {
    std::string path = folder + "/" + FileName(i);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) Die("create " + path);
    ::close(fd);
  }
  return folder;
}

// The window side of a run, doing nothing.
class IdleHost final : public engine::RenameHost {
 public:
  void SetFileCount(std::string_view) override {}
  void SetProgress(float) override {}
  void RemoveFirstEntry() override {}
  void SetRunningNumber(std::string_view) override {}
  void SelectPadding(int) override {}
  void RefreshFileList() override {}
};

class SilentMessageBox final : public platform::MessageBox {
 public:
  int Show(std::string_view, int, std::string_view) override {
    return platform::kAnswerOk;
  }
};

// Renames every file of `folder` to Trip00001.jpg, ... through the run.
double TimeRun(platform::posix::PosixFileSystem& file_system) {
  engine::RenameRequest request;
  for (int i = 0; i < kFiles; ++i) {
    request.source_paths.push_back("C:\\run\\" + FileName(i));
  }
  request.base_name = "Trip";
  request.padding_index = 4;
  request.padding_text = "0000";
  request.running_number = "1";
  request.extension = "jpg";
  request.browse_folder = "C:\\run";
  IdleHost host;
  SilentMessageBox messages;
  Clock::time_point start = Clock::now();
  engine::RenameOutcome outcome =
      engine::RunRename(request, host, file_system, messages);
  double seconds = SecondsSince(start);
  if (outcome != engine::RenameOutcome::Completed) {
    fprintf(stderr, "rename_bench: the run did not complete\n");
    std::exit(1);
  }
  return seconds;
}

// The same renames as bare renameat2 calls, names composed as cheaply as C
// allows.
double TimeBareLoop(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) Die("open " + folder);
  char from[32];
  char to[32];
  Clock::time_point start = Clock::now();
  for (int i = 0; i < kFiles; ++i) {
    snprintf(from, sizeof from, "f%05d.dat", i);
    snprintf(to, sizeof to, "Trip%05d.jpg", i + 1);
    if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) != 0) {
      Die(std::string("renameat2 ") + from);
    }
  }
  double seconds = SecondsSince(start);
  ::close(dir);
  return seconds;
}

void BenchRun(const std::string& root, int rounds) {
  platform::posix::PosixFileSystem file_system(
      {platform::posix::DriveMapping{'C', root, ""}});
  double best_run = 1e9;
  double best_bare = 1e9;
  for (int round = 0; round < rounds; ++round) {
    std::string bare = FillFolder(root, "bare");
    FillFolder(root, "run");
    ::sync();
    best_run = std::min(best_run, TimeRun(file_system));
    best_bare = std::min(best_bare, TimeBareLoop(bare));
  }
  printf("Rename run, %d files in one folder (best of %d):\n", kFiles, rounds);
  printf("  RunRename + RenameFile   %8.1f ms  (%.2f us a file)\n",
         best_run * 1e3, best_run * 1e6 / kFiles);
  printf("  bare renameat2 loop      %8.1f ms  (%.2f us a file)\n",
         best_bare * 1e3, best_bare * 1e6 / kFiles);
  printf("  ratio                    %8.3f  (target <= 1.15)\n",
         best_run / best_bare);
}

void WriteBigFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Die("create " + path);
  std::vector<unsigned> block((size_t{1} << 20) / sizeof(unsigned));
  unsigned x = 12345;
  for (size_t written = 0; written < kBigFileBytes;) {
    for (unsigned& word : block) word = x = x * 1103515245u + 12345u;
    size_t bytes = block.size() * sizeof(unsigned);
    if (::write(fd, block.data(), bytes) != static_cast<ssize_t>(bytes)) {
      Die("write " + path);
    }
    written += bytes;
  }
  ::close(fd);
}

int ExdevRename(int, const char*, int, const char*, unsigned) {
  errno = EXDEV;
  return -1;
}

// The real calls, but every rename answers EXDEV, as across file systems.
const platform::posix::SysCalls& CrossingSysCalls() {
  static const platform::posix::SysCalls table = [] {
    platform::posix::SysCalls calls = platform::posix::RealSysCalls();
    calls.renameat2 = ExdevRename;
    return calls;
  }();
  return table;
}

void BenchMove(const std::string& root, int rounds) {
  std::string other = "/dev/shm";
  bool real = DeviceOf(other) != 0 && DeviceOf(other) != DeviceOf(root);
  std::string other_root = real ? MakeTempFolder(other) : root + "/other";
  fs::create_directories(other_root);
  platform::posix::PosixFileSystem file_system(
      {platform::posix::DriveMapping{'C', root, ""},
       platform::posix::DriveMapping{'D', other_root, ""}},
      real ? platform::posix::RealSysCalls() : CrossingSysCalls());

  double best_move = 1e9;
  double best_copy = 1e9;
  for (int round = 0; round < rounds; ++round) {
    fs::remove(other_root + "/moved.bin");
    fs::remove(other_root + "/copied.bin");
    WriteBigFile(root + "/move.bin");
    WriteBigFile(root + "/copy.bin");
    ::sync();

    Clock::time_point start = Clock::now();
    platform::Status status =
        file_system.RenameFile("C:\\move.bin", "D:\\moved.bin");
    best_move = std::min(best_move, SecondsSince(start));
    if (!status.ok()) {
      fprintf(stderr, "rename_bench: %s\n", status.ToString().c_str());
      std::exit(1);
    }

    std::string command = "cp '" + root + "/copy.bin' '" + other_root +
                          "/copied.bin' && rm '" + root + "/copy.bin'";
    start = Clock::now();
    if (std::system(command.c_str()) != 0) Die(command);
    best_copy = std::min(best_copy, SecondsSince(start));
  }
  fs::remove_all(other_root);

  printf("Move of one 256 MiB file, %s to %s (%s; best of %d):\n", root.c_str(),
         other_root.c_str(), real ? "another file system" : "EXDEV injected",
         rounds);
  printf("  RenameFile               %8.1f ms  (%.0f MiB/s)\n", best_move * 1e3,
         256 / best_move);
  printf("  cp + rm                  %8.1f ms  (%.0f MiB/s)\n", best_copy * 1e3,
         256 / best_copy);
  printf("  ratio                    %8.3f  (target <= 1.3)\n",
         best_move / best_copy);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const char* tmp = std::getenv("TMPDIR");
  std::string root = MakeTempFolder(tmp != nullptr && *tmp ? tmp : "/tmp");
  BenchRun(root, rounds);
  BenchMove(root, rounds);
  fs::remove_all(root);
  return 0;
}

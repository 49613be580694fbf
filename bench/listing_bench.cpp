// Times the folder and file listings against a bare opendir/readdir loop
// plus a sort of the same names, in one run, and prints the ratios.
//
//   listing_bench [files] [folders]   (defaults 100000 and 10000)
//
// The folders are made under $TMPDIR (or /tmp) and removed at the end.

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::posix::DriveMapping;
using platform::posix::PosixFileSystem;

constexpr int kRuns = 7;

std::string MakeTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") +
                        "/pelloquin-bench-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  return pattern;
}

// Every tenth file a photo, the rest documents, in mixed case.
void MakeFiles(const std::string& folder, int count) {
  char name[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name,
                  i % 10 == 0 ? "IMG_%06d.jpg" : "Doc %06d.txt", i);
    int fd = ::open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) {
      std::perror(name);
      std::exit(1);
    }
    ::close(fd);
  }
}

void MakeFolders(const std::string& folder, int count) {
  char name[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "Folder %05d", i);
    if (::mkdir((folder + "/" + name).c_str(), 0755) != 0) {
      std::perror(name);
      std::exit(1);
    }
  }
}

bool EndsWithJpg(const char* name) {
  size_t length = std::strlen(name);
  return length >= 4 && ::strcasecmp(name + length - 4, ".jpg") == 0;
}

// The bare loop: readdir, keep what `keep` accepts, sort.
std::vector<std::string> BareList(const std::string& folder,
                                  bool (*keep)(const dirent&)) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 ||
        std::strcmp(entry->d_name, "..") == 0) {
      continue;
    }
    if (keep(*entry)) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// The best of kRuns timings of `run`, in milliseconds; `count` gets the
// number of names the last run gave.
double BestMilliseconds(const std::function<size_t()>& run, size_t& count) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    Clock::time_point start = Clock::now();
    count = run();
    std::chrono::duration<double, std::milli> took = Clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void Compare(const char* what, const std::function<size_t()>& ours,
             const std::function<size_t()>& bare) {
  size_t our_count = 0, bare_count = 0;
  ours();  // warm the folder cache for both
  double bare_ms = BestMilliseconds(bare, bare_count);
  double our_ms = BestMilliseconds(ours, our_count);
  std::printf(
      "%-34s ours %8.2f ms (%zu names)  bare %8.2f ms (%zu names)  "
      "ratio %.2f\n",
      what, our_ms, our_count, bare_ms, bare_count, our_ms / bare_ms);
  if (our_count != bare_count) std::printf("  counts differ!\n");
}

}  // namespace

int main(int argc, char** argv) {
  int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  int folders = argc > 2 ? std::atoi(argv[2]) : 10000;
  std::string root = MakeTempFolder();
  std::string file_folder = root + "/files";
  std::string folder_folder = root + "/folders";
  ::mkdir(file_folder.c_str(), 0755);
  ::mkdir(folder_folder.c_str(), 0755);
  MakeFiles(file_folder, files);
  MakeFolders(folder_folder, folders);

  PosixFileSystem file_system(std::vector<DriveMapping>{{'C', root, ""}});
  std::printf("best of %d runs each; ratio = ours / bare (target <= 1.5)\n",
              kRuns);
  Compare(
      "ListFiles *.* (all files)",
      [&] { return file_system.ListFiles("C:\\files", "*.*")->size(); },
      [&] {
        return BareList(file_folder,
                        [](const dirent& e) { return e.d_type == DT_REG; })
            .size();
      });
  Compare(
      "ListFiles *.jpg (a tenth match)",
      [&] { return file_system.ListFiles("C:\\files", "*.jpg")->size(); },
      [&] {
        return BareList(file_folder,
                        [](const dirent& e) {
                          return e.d_type == DT_REG && EndsWithJpg(e.d_name);
                        })
            .size();
      });
  Compare(
      "ListFolders (subfolders)",
      [&] { return file_system.ListFolders("C:\\folders")->size(); },
      [&] {
        return BareList(folder_folder,
                        [](const dirent& e) { return e.d_type == DT_DIR; })
            .size();
      });

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}

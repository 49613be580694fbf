#include "platform/testing/scratch_drives.h"

#include <unistd.h>

#include <climits>

#include "platform/drive_path.h"
#include "platform/posix/posix_file_system.h"
#include "platform/testing/temp_drives.h"

namespace platform::testing {
namespace {

// Drives C: and D: as temporary folders, D: on another file system where
// there is one.
class PosixScratchDrives final : public ScratchDrives {
 public:
  PosixScratchDrives() : drives_("CD", "D") {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) != nullptr) cwd_ = buffer;
    drives_.MakeFolder('C', "scratch");
    drives_.MakeFolder('D', "scratch");
    file_system_ = std::make_unique<posix::PosixFileSystem>(drives_.mappings());
    file_system_->set_answer_wait(kScratchAnswerWait);
  }
  ~PosixScratchDrives() override {
    if (!cwd_.empty() && ::chdir(cwd_.c_str()) != 0) cwd_.clear();
  }

  FileSystem& file_system() override { return *file_system_; }
  std::string Folder(int drive) const override {
    return drive == 0 ? "C:\\scratch" : "D:\\scratch";
  }

  void WriteFile(std::string_view path, std::string_view content) override {
    drives_.WriteFile(Letter(path), Relative(path), content);
  }
  std::optional<std::string> ReadFile(std::string_view path) override {
    if (!Exists(path)) return std::nullopt;
    return drives_.ReadFile(Letter(path), Relative(path));
  }
  bool Exists(std::string_view path) override {
    return drives_.Exists(Letter(path), Relative(path));
  }
  void MakeFolder(std::string_view path) override {
    drives_.MakeFolder(Letter(path), Relative(path));
  }
  std::vector<std::string> List(std::string_view folder) override {
    return drives_.List(Letter(folder), Relative(folder));
  }
  std::string MakeHidden(std::string_view folder, std::string_view base,
                         bool is_folder) override {
    std::string name = "." + std::string(base);
    std::string path = JoinPath(folder, name);
    if (is_folder) {
      MakeFolder(path);
    } else {
      WriteFile(path, "hidden");
    }
    return name;
  }

 private:
  static char Letter(std::string_view path) { return path[0]; }
  // "C:\a\b" as "a/b".
  static std::string Relative(std::string_view path) {
    std::string relative(path.substr(3));
    for (char& c : relative) {
      if (c == '\\') c = '/';
    }
    return relative;
  }

  TempDrives drives_;
  std::string cwd_;
  std::unique_ptr<posix::PosixFileSystem> file_system_;
};

}  // namespace

std::unique_ptr<ScratchDrives> MakeScratchDrives() {
  return std::make_unique<PosixScratchDrives>();
}

}  // namespace platform::testing

#ifndef PELLOQUIN_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_
#define PELLOQUIN_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/sys_calls.h"

namespace platform::posix {

// One drive letter and the host folder it stands for.
struct DriveMapping {
  char letter = 0;          // upper case
  std::string host_folder;  // absolute, without a trailing "/" (but "/")
  std::string label;
};

// The host drive table: C: for "/", then D:, E:, ... for the file systems
// mounted under /media, /run/media and /mnt, in mount-table order.
std::vector<DriveMapping> ReadHostDrives();

// The drive table for the text of a mount table (the format of
// /proc/self/mounts): C: for "/", then one drive for each mount point at or
// below /media, /run/media or /mnt, in table order, each mount point once,
// while letters last. The label is the mount point's last name.
std::vector<DriveMapping> DrivesFromMountTable(std::string_view table);

// The file system on a POSIX host, in drive-letter form (see FileSystem).
class PosixFileSystem final : public FileSystem {
 public:
  // The host's drives, re-read from the mount table when listed.
  explicit PosixFileSystem(const SysCalls& sys = RealSysCalls());
  // A fixed drive table (tests use temporary folders as drives). The host
  // working directory picks the current drive and folder: the drive whose
  // host folder is its longest prefix; outside every drive, the first
  // drive's root.
  explicit PosixFileSystem(std::vector<DriveMapping> drives,
                           const SysCalls& sys = RealSysCalls());
  // Drives read from `read_drives` at start and whenever they are listed,
  // as the host's are from the mount table (tests mount and unmount
  // temporary folders this way).
  explicit PosixFileSystem(
      std::function<std::vector<DriveMapping>()> read_drives,
      const SysCalls& sys = RealSysCalls());

  std::vector<DriveInfo> ListDrives() override;
  char CurrentDrive() const override { return current_drive_; }
  Status ChangeDrive(std::string_view drive) override;
  Result<std::string> CurrentFolder(char drive = 0) const override;
  Status ChangeFolder(std::string_view folder) override;
  Result<std::string> FullPath(std::string_view path) const override;
  Result<std::vector<std::string>> ListFolders(
      std::string_view folder) override;
  Result<std::vector<std::string>> ListFiles(
      std::string_view folder, std::string_view pattern,
      uint32_t include = kAttrNormal) override;
  Result<std::optional<std::string>> FindFirst(std::string_view path,
                                               uint32_t mask) override;
  Result<uint32_t> GetAttributes(std::string_view path) override;
  Status MakeFolder(std::string_view path) override;
  Status RenameFile(std::string_view from, std::string_view to) override;

  // The host path of a drive-letter path, resolved and unescaped.
  Result<std::string> ToHostPath(std::string_view path) const;

  // How long a drive that is read may take to answer (kDriveAnswerWait
  // unless a test shortens it).
  void set_answer_wait(std::chrono::milliseconds wait) { answer_wait_ = wait; }

  const SysCalls& sys() const { return sys_; }

 private:
  struct Drive {
    DriveMapping mapping;
    std::vector<std::string> current;  // current folder, below the root
  };
  // A path resolved against the drive table: its drive and its components
  // below that drive's root.
  struct Resolved {
    const Drive* drive = nullptr;
    std::vector<std::string> components;
  };

  // A resolved path with its host path and its full form in the model.
  struct Located {
    Resolved resolved;
    std::string host;
    std::string model;
  };

  Result<Resolved> Resolve(std::string_view path) const;
  Result<Located> Locate(Resolved resolved) const;
  Result<Located> Locate(std::string_view path) const;
  // FindFirst for a name without wildcards, and for a pattern.
  Result<std::optional<std::string>> FindName(const Located& folder,
                                              const std::string& name,
                                              uint32_t mask);
  Result<std::optional<std::string>> FindPattern(const Located& folder,
                                                 const std::string& pattern,
                                                 uint32_t mask);
  Result<std::string> HostPathOf(const Resolved& resolved) const;
  const Drive* FindDrive(char letter) const;
  Drive* FindDrive(char letter);
  void AdoptHostWorkingDirectory();
  // Re-reads the host table, keeping the current folders of drives that
  // stay; no-op for a fixed table.
  void RefreshDrives();
  // Puts back the leftovers of killed moves in a host folder, the first time
  // this object moves a file into or out of it.
  void SweepOnce(const std::string& host_folder);
  // kPathNotFound unless the host folder is a folder; kNotReady when its
  // drive does not answer within the bounded wait.
  Status CheckFolder(const std::string& host, const std::string& model) const;

  const SysCalls& sys_;
  std::function<std::vector<DriveMapping>()> read_drives_;  // empty: fixed
  std::chrono::milliseconds answer_wait_;
  std::vector<Drive> drives_;
  char current_drive_ = 'C';
  std::unordered_set<std::string> swept_folders_;
};

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_

#ifndef PELLOQUIN_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
#define PELLOQUIN_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/win32_calls.h"

namespace platform::win32 {

// One entry of a folder as the host lists it.
struct HostEntry {
  std::string name;
  uint32_t attributes = 0;  // the host's FILE_ATTRIBUTE_* bits
};

// The file system on a Windows host (see FileSystem). The current drive and
// folders are the process's own, kept where Windows programs keep them: the
// working directory, and for the other drives the "=D:" environment
// variables that the command prompt and the C runtime use.
class Win32FileSystem final : public FileSystem {
 public:
  explicit Win32FileSystem(const Win32Calls& calls = RealWin32Calls());

  std::vector<DriveInfo> ListDrives() override;
  char CurrentDrive() const override;
  Status ChangeDrive(std::string_view drive) override;
  Result<std::string> CurrentFolder(char drive = 0) const override;
  Status ChangeFolder(std::string_view folder) override;
  Result<std::string> FullPath(std::string_view path) const override;
  Result<std::vector<std::string>> ListFolders(
      std::string_view folder) override;
  Result<std::vector<std::string>> ListFiles(std::string_view folder,
                                             std::string_view pattern,
                                             uint32_t include) override;
  Result<std::optional<std::string>> FindFirst(std::string_view path,
                                               uint32_t mask) override;
  Result<uint32_t> GetAttributes(std::string_view path) override;
  Status MakeFolder(std::string_view path) override;
  Status RenameFile(std::string_view from, std::string_view to) override;

  // The host path of a drive-letter path, resolved, in the "\\?\" form
  // that takes every name literally and has no length limit.
  Result<std::wstring> ToHostPath(std::string_view path) const;

  const Win32Calls& calls() const { return calls_; }

  // How long a drive that is read may take to answer (kDriveAnswerWait
  // unless a test shortens it).
  void set_answer_wait(std::chrono::milliseconds wait) { answer_wait_ = wait; }

 private:
  // A path resolved against the current drive and folders.
  struct Resolved {
    char drive = 0;
    std::vector<std::string> components;  // below the drive's root
    std::string Model() const;            // "C:\" or "C:\a\b"
  };
  bool DriveExists(char letter) const;
  bool IsFolder(const std::wstring& host) const;
  // IsFolder within the bounded wait; nullopt when the drive has not
  // answered.
  std::optional<bool> IsFolderWithin(const std::wstring& host) const;
  std::vector<std::string> CurrentComponents(char letter) const;
  // Stores a drive's current folder where the process keeps it for drives
  // that are not current.
  void RememberFolder(char letter, const std::string& model_folder) const;
  Result<Resolved> Resolve(std::string_view path) const;
  // The "\\?\" host path; the last component may hold wildcards when asked.
  Result<std::wstring> HostPathOf(const Resolved& resolved,
                                  bool wildcard_last = false) const;
  // Every entry of the folder but "." and "..".
  Result<std::vector<HostEntry>> ReadFolder(const Resolved& folder) const;
  // The new path a rename moves to, with its last name made as a new
  // entry's name is (see NewEntryName).
  Result<Resolved> ResolveNewEntry(std::string_view path) const;
  // After a move: refuses (and moves back) a folder found at `to`.
  Status CheckArrival(const std::wstring& from, const std::wstring& to,
                      const std::string& source_model,
                      const std::string& target_model);
  // After a move that reported failure: whether it took place all the same.
  bool MovedAfterAll(const std::wstring& from, const std::wstring& to);
  Status CopyAcrossVolumes(const std::wstring& from, const std::wstring& to,
                           const Resolved& source, const Resolved& target);
  // What became of a copied source whose deletion reported failure.
  enum class Source { kStands, kGone, kUnknown };
  Source SourceAfterClose(const std::wstring& from,
                          const BY_HANDLE_FILE_INFORMATION& before);

  const Win32Calls& calls_;
  std::chrono::milliseconds answer_wait_;
};

}  // namespace platform::win32

#endif  // PELLOQUIN_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

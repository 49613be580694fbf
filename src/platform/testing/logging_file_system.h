#ifndef PELLOQUIN_PLATFORM_TESTING_LOGGING_FILE_SYSTEM_H_
#define PELLOQUIN_PLATFORM_TESTING_LOGGING_FILE_SYSTEM_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace platform::testing {

// A file system for tests that forwards every call to another one and
// appends each RenameFile call, as "RenameFile <from> -> <to>", to a log the
// test shares with its other recorders, so one log shows the order of all
// effects. A rename can be made to fail without reaching the file system.
class LoggingFileSystem final : public FileSystem {
 public:
  LoggingFileSystem(FileSystem& inner, std::vector<std::string>& log)
      : inner_(inner), log_(log) {}

  // The `call`-th RenameFile from now on (1 = the next one) returns
  // `status` and changes nothing.
  void FailRename(int call, Status status);

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

 private:
  FileSystem& inner_;
  std::vector<std::string>& log_;
  int renames_ = 0;
  std::map<int, Status> failures_;  // by rename call number
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_LOGGING_FILE_SYSTEM_H_

#include "platform/testing/logging_file_system.h"

namespace platform::testing {

void LoggingFileSystem::FailRename(int call, Status status) {
  failures_[renames_ + call] = std::move(status);
}

std::vector<DriveInfo> LoggingFileSystem::ListDrives() {
  return inner_.ListDrives();
}

char LoggingFileSystem::CurrentDrive() const { return inner_.CurrentDrive(); }

Status LoggingFileSystem::ChangeDrive(std::string_view drive) {
  return inner_.ChangeDrive(drive);
}

Result<std::string> LoggingFileSystem::CurrentFolder(char drive) const {
  return inner_.CurrentFolder(drive);
}

Status LoggingFileSystem::ChangeFolder(std::string_view folder) {
  return inner_.ChangeFolder(folder);
}

Result<std::string> LoggingFileSystem::FullPath(std::string_view path) const {
  return inner_.FullPath(path);
}

Result<std::vector<std::string>> LoggingFileSystem::ListFolders(
    std::string_view folder) {
  return inner_.ListFolders(folder);
}

Result<std::vector<std::string>> LoggingFileSystem::ListFiles(
    std::string_view folder, std::string_view pattern, uint32_t include) {
  return inner_.ListFiles(folder, pattern, include);
}

Result<std::optional<std::string>> LoggingFileSystem::FindFirst(
    std::string_view path, uint32_t mask) {
  return inner_.FindFirst(path, mask);
}

Result<uint32_t> LoggingFileSystem::GetAttributes(std::string_view path) {
  return inner_.GetAttributes(path);
}

Status LoggingFileSystem::MakeFolder(std::string_view path) {
  return inner_.MakeFolder(path);
}

Status LoggingFileSystem::RenameFile(std::string_view from,
                                     std::string_view to) {
  log_.push_back("RenameFile " + std::string(from) + " -> " + std::string(to));
  auto failure = failures_.find(++renames_);
  if (failure != failures_.end()) return failure->second;
  return inner_.RenameFile(from, to);
}

}  // namespace platform::testing

#include "platform/posix/posix_file_system.h"

namespace platform::posix {
namespace {

Status NotBuilt(std::string_view path) {
  return Status(Error::kUnsupported, std::string(path), "Not built yet.");
}

}  // namespace

Result<std::vector<std::string>> PosixFileSystem::ListFolders(
    std::string_view folder) {
  return NotBuilt(folder);
}

Result<std::vector<std::string>> PosixFileSystem::ListFiles(
    std::string_view folder, std::string_view, uint32_t) {
  return NotBuilt(folder);
}

Result<std::optional<std::string>> PosixFileSystem::FindFirst(
    std::string_view path, uint32_t) {
  return NotBuilt(path);
}

Result<uint32_t> PosixFileSystem::GetAttributes(std::string_view path) {
  return NotBuilt(path);
}

Status PosixFileSystem::MakeFolder(std::string_view path) {
  return NotBuilt(path);
}

}  // namespace platform::posix

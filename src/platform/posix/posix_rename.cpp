#include "platform/posix/posix_file_system.h"

namespace platform::posix {

Status PosixFileSystem::RenameFile(std::string_view from, std::string_view to) {
  (void)to;
  return Status(Error::kUnsupported, std::string(from), "Not built yet.");
}

}  // namespace platform::posix

#include <memory>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"

namespace platform {

std::unique_ptr<FileSystem> DefaultFileSystem() {
  return std::make_unique<posix::PosixFileSystem>();
}

}  // namespace platform

#include <memory>

#include "platform/file_system.h"
#include "platform/win32/win32_file_system.h"

namespace platform {

std::unique_ptr<FileSystem> DefaultFileSystem() {
  return std::make_unique<win32::Win32FileSystem>();
}

}  // namespace platform

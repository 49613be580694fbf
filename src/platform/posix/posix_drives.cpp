#include "platform/posix/posix_file_system.h"

namespace platform::posix {

std::vector<DriveMapping> ReadHostDrives() {
  return {DriveMapping{'C', "/", ""}};
}

}  // namespace platform::posix

#include "platform/posix/rename_job.h"

namespace platform::posix {

Status MoveAcrossDevices(const RenameJob& job) {
  return Status(Error::kUnsupported, job.to_path,
                "Moving to another file system is not built yet.");
}

}  // namespace platform::posix

#ifndef PELLOQUIN_PLATFORM_POSIX_ERRNO_STATUS_H_
#define PELLOQUIN_PLATFORM_POSIX_ERRNO_STATUS_H_

#include <string_view>

#include "platform/status.h"

namespace platform::posix {

// A Status for a failed host call: the error kind that `error` (an errno
// value) means, the model path involved and the host's reason in words.
Status StatusFromErrno(int error, std::string_view path);

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_ERRNO_STATUS_H_

#ifndef PELLOQUIN_PLATFORM_WIN32_WIN32_ERROR_H_
#define PELLOQUIN_PLATFORM_WIN32_WIN32_ERROR_H_

#include <cstdint>
#include <string_view>

#include "platform/status.h"

namespace platform::win32 {

// The error kind a Win32 error code (GetLastError) means. Both
// ERROR_ALREADY_EXISTS and ERROR_FILE_EXISTS mean the name is taken.
Error ErrorOfWin32(uint32_t error);

// A Status for a failed host call: the kind `error` means, the model path
// involved and the host's reason in its own words.
Status StatusFromWin32Error(uint32_t error, std::string_view path);

}  // namespace platform::win32

#endif  // PELLOQUIN_PLATFORM_WIN32_WIN32_ERROR_H_

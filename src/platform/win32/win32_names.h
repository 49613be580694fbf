#ifndef PELLOQUIN_PLATFORM_WIN32_WIN32_NAMES_H_
#define PELLOQUIN_PLATFORM_WIN32_WIN32_NAMES_H_

#include <string>
#include <string_view>

#include "platform/status.h"

// The rules Windows sets for the names of files and folders.
namespace platform::win32 {

// Ok when the host can hold `name` as one path component: valid UTF-8, at
// most 255 UTF-16 units, no control character and none of < > : " | ? *
// (the last two allowed when `allow_wildcards`). kInvalidName or
// kNameTooLong otherwise.
Status CheckHostName(std::string_view name, bool allow_wildcards = false);

// The name a new file or folder gets: trailing dots and spaces dropped, as
// Windows drops them from every ordinary path, so that every program can open
// what this one makes. kInvalidName for a name that is nothing but dots and
// spaces and for a name Windows reserves for a device (CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, also with an extension), which other programs would
// open as the device instead of the file.
Result<std::string> NewEntryName(std::string_view name);

}  // namespace platform::win32

#endif  // PELLOQUIN_PLATFORM_WIN32_WIN32_NAMES_H_

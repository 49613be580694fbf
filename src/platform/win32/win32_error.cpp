#include "platform/win32/win32_error.h"

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// The system's text for an error code, without the trailing line break.
std::string HostMessage(uint32_t error) {
  wchar_t* buffer = nullptr;
  DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length > 0 && buffer != nullptr) text.assign(buffer, length);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' ||
                           text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) return "Windows error " + std::to_string(error) + ".";
  return ToUtf8(text);
}

}  // namespace

Error ErrorOfWin32(uint32_t error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return Error::kNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
      return Error::kPathNotFound;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return Error::kAlreadyExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Error::kAccessDenied;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return Error::kInvalidName;
    case ERROR_FILENAME_EXCED_RANGE:
      return Error::kNameTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Error::kNoSpace;
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST:
      return Error::kNotReady;
    default:
      return Error::kIo;
  }
}

Status StatusFromWin32Error(uint32_t error, std::string_view path) {
  return Status(ErrorOfWin32(error), std::string(path), HostMessage(error));
}

}  // namespace platform::win32

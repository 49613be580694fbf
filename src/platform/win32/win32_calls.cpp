#include "platform/win32/win32_calls.h"

namespace platform::win32 {

const Win32Calls& RealWin32Calls() {
  static const Win32Calls table = {
      .get_logical_drives = ::GetLogicalDrives,
      .get_logical_drive_strings = ::GetLogicalDriveStringsW,
      .get_volume_information = ::GetVolumeInformationW,
      .get_current_directory = ::GetCurrentDirectoryW,
      .set_current_directory = ::SetCurrentDirectoryW,
      .get_environment_variable = ::GetEnvironmentVariableW,
      .set_environment_variable = ::SetEnvironmentVariableW,
      .get_file_attributes = ::GetFileAttributesW,
      .find_first_file_ex = ::FindFirstFileExW,
      .find_next_file = ::FindNextFileW,
      .find_close = ::FindClose,
      .create_directory = ::CreateDirectoryW,
      .move_file_ex = ::MoveFileExW,
      .create_file = ::CreateFileW,
      .read_file = ::ReadFile,
      .write_file = ::WriteFile,
      .flush_file_buffers = ::FlushFileBuffers,
      .get_file_information_by_handle = ::GetFileInformationByHandle,
      .set_file_information_by_handle = ::SetFileInformationByHandle,
      .close_handle = ::CloseHandle,
      .get_drive_type = ::GetDriveTypeW,
  };
  return table;
}

}  // namespace platform::win32

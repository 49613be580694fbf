#ifndef PELLOQUIN_PLATFORM_WIN32_WIN32_CALLS_H_
#define PELLOQUIN_PLATFORM_WIN32_WIN32_CALLS_H_

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Every host call the Win32 backend makes that can fail goes through this
// table, so that tests can fail any call of any kind (they swap in their own
// table). Each entry behaves as the function of its name: it reports a
// failure by its return value and SetLastError.
struct Win32Calls {
  decltype(&::GetLogicalDrives) get_logical_drives;
  decltype(&::GetLogicalDriveStringsW) get_logical_drive_strings;
  decltype(&::GetVolumeInformationW) get_volume_information;
  decltype(&::GetCurrentDirectoryW) get_current_directory;
  decltype(&::SetCurrentDirectoryW) set_current_directory;
  decltype(&::GetEnvironmentVariableW) get_environment_variable;
  decltype(&::SetEnvironmentVariableW) set_environment_variable;
  decltype(&::GetFileAttributesW) get_file_attributes;
  decltype(&::FindFirstFileExW) find_first_file_ex;
  decltype(&::FindNextFileW) find_next_file;
  decltype(&::FindClose) find_close;
  decltype(&::CreateDirectoryW) create_directory;
  decltype(&::MoveFileExW) move_file_ex;
  decltype(&::CreateFileW) create_file;
  decltype(&::ReadFile) read_file;
  decltype(&::WriteFile) write_file;
  decltype(&::FlushFileBuffers) flush_file_buffers;
  decltype(&::GetFileInformationByHandle) get_file_information_by_handle;
  decltype(&::SetFileInformationByHandle) set_file_information_by_handle;
  decltype(&::CloseHandle) close_handle;
  decltype(&::GetDriveTypeW) get_drive_type;
};

// The table of the real calls.
const Win32Calls& RealWin32Calls();

}  // namespace platform::win32

#endif  // PELLOQUIN_PLATFORM_WIN32_WIN32_CALLS_H_

// ListDrives of the Win32 backend over a host whose drives and volumes a
// stub table makes up.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// One drive of the made-up host.
struct StubVolume {
  std::wstring root;  // as GetLogicalDriveStringsW gives it: "C:\"
  bool ready;
  std::wstring label;
};

const std::vector<StubVolume>* stub_volumes = nullptr;

DWORD WINAPI StubDriveStrings(DWORD size, LPWSTR buffer) {
  std::wstring strings;
  for (const StubVolume& volume : *stub_volumes) {
    strings += volume.root;
    strings += L'\0';
  }
  // The length without the final terminator, or the size needed.
  if (strings.size() + 1 > size) return static_cast<DWORD>(strings.size() + 1);
  std::copy(strings.begin(), strings.end(), buffer);
  buffer[strings.size()] = L'\0';
  return static_cast<DWORD>(strings.size());
}

BOOL WINAPI StubVolumeInformation(LPCWSTR root, LPWSTR label, DWORD label_size,
                                  LPDWORD, LPDWORD, LPDWORD, LPWSTR, DWORD) {
  for (const StubVolume& volume : *stub_volumes) {
    if (volume.root != root) continue;
    // A failed call may leave anything in the buffer.
    std::wstring text = volume.ready ? volume.label : L"stale";
    if (text.size() + 1 > label_size) break;
    std::copy(text.begin(), text.end(), label);
    label[text.size()] = L'\0';
    if (volume.ready) return TRUE;
    break;
  }
  ::SetLastError(ERROR_NOT_READY);
  return FALSE;
}

struct ExpectedDrive {
  char letter;
  bool ready;
  std::string label;
  std::string name;
};

TEST(Win32ListDrivesTest, NamesDrivesByLetterAndLabel) {
  const std::vector<StubVolume> volumes = {
      {L"C:\\", true, L"System"},
      {L"D:\\", true, L""},
      {L"E:\\", false, L""},         // no medium
      {L"f:\\", true, L"D\u00eda"},  // "Día"
  };
  const ExpectedDrive expected[] = {
      {'C', true, "System", "c: [System]"},
      {'D', true, "", "d:"},
      {'E', false, "", "e:"},
      {'F', true,
       "D\xc3\xad"
       "a",
       "f: [D\xc3\xad"
       "a]"},
  };
  stub_volumes = &volumes;
  Win32Calls calls = RealWin32Calls();
  calls.get_logical_drive_strings = StubDriveStrings;
  calls.get_volume_information = StubVolumeInformation;
  Win32FileSystem fs(calls);

  std::vector<DriveInfo> drives = fs.ListDrives();
  stub_volumes = nullptr;

  ASSERT_EQ(drives.size(), std::size(expected));
  for (size_t i = 0; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i].letter, expected[i].letter) << i;
    EXPECT_EQ(drives[i].ready, expected[i].ready) << i;
    EXPECT_EQ(drives[i].label, expected[i].label) << i;
    EXPECT_EQ(drives[i].name, expected[i].name) << i;
  }
}

}  // namespace
}  // namespace platform::win32

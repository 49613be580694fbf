// ListDrives of the Win32 backend over a host whose drives and volumes a
// stub table makes up.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// One drive of the made-up host.
struct StubVolume {
  std::wstring root;  // as GetLogicalDriveStringsW gives it: "C:\"
  UINT type;          // DRIVE_FIXED, DRIVE_REMOTE, ...
  bool ready;
  std::wstring label;
};

const std::vector<StubVolume>* stub_volumes = nullptr;
// The roots whose volume was asked for, in order.
std::vector<std::wstring> asked;

UINT WINAPI StubDriveType(LPCWSTR root) {
  for (const StubVolume& volume : *stub_volumes) {
    if (volume.root == root) return volume.type;
  }
  return DRIVE_NO_ROOT_DIR;
}

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
  asked.push_back(root);
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
  std::string label;
  std::string name;
};

// Only fixed disks are asked for their labels: a network, removable or
// optical drive is listed by its letter, without waiting on it.
TEST(Win32ListDrivesTest, NamesDrivesByLetterAndTheLabelsOfFixedDisks) {
  const std::vector<StubVolume> volumes = {
      {L"C:\\", DRIVE_FIXED, true, L"System"},
      {L"D:\\", DRIVE_FIXED, true, L""},
      {L"E:\\", DRIVE_FIXED, false, L""},         // does not answer
      {L"f:\\", DRIVE_FIXED, true, L"D\u00eda"},  // "Día"
      {L"G:\\", DRIVE_REMOTE, true, L"Share"},
      {L"H:\\", DRIVE_REMOVABLE, true, L"Stick"},
      {L"I:\\", DRIVE_CDROM, false, L""},
  };
  const ExpectedDrive expected[] = {
      {'C', "System", "c: [System]"},
      {'D', "", "d:"},
      {'E', "", "e:"},
      {'F',
       "D\xc3\xad"
       "a",
       "f: [D\xc3\xad"
       "a]"},
      {'G', "", "g:"},
      {'H', "", "h:"},
      {'I', "", "i:"},
  };
  stub_volumes = &volumes;
  asked.clear();
  Win32Calls calls = RealWin32Calls();
  calls.get_logical_drive_strings = StubDriveStrings;
  calls.get_volume_information = StubVolumeInformation;
  calls.get_drive_type = StubDriveType;
  Win32FileSystem fs(calls);

  std::vector<DriveInfo> drives = fs.ListDrives();
  stub_volumes = nullptr;

  ASSERT_EQ(drives.size(), std::size(expected));
  for (size_t i = 0; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i].letter, expected[i].letter) << i;
    EXPECT_EQ(drives[i].label, expected[i].label) << i;
    EXPECT_EQ(drives[i].name, expected[i].name) << i;
  }
  EXPECT_EQ(asked,
            (std::vector<std::wstring>{L"C:\\", L"D:\\", L"E:\\", L"f:\\"}));
}

// A drive that does not answer: the stalled calls wait until released.
struct Stall {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  int inside = 0;
};
Stall stall;

void WaitForRelease() {
  std::unique_lock<std::mutex> lock(stall.mutex);
  ++stall.inside;
  stall.changed.wait(lock, [] { return stall.released; });
  --stall.inside;
  stall.changed.notify_all();
}

DWORD WINAPI StalledAttributes(LPCWSTR) {
  WaitForRelease();
  ::SetLastError(ERROR_NOT_READY);
  return INVALID_FILE_ATTRIBUTES;
}

HANDLE WINAPI StalledFindFirst(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID,
                               FINDEX_SEARCH_OPS, LPVOID, DWORD) {
  WaitForRelease();
  ::SetLastError(ERROR_NOT_READY);
  return INVALID_HANDLE_VALUE;
}

TEST(Win32StalledDriveTest, ReadsGiveUpAfterTheBoundedWait) {
  Win32Calls calls = RealWin32Calls();
  calls.get_file_attributes = StalledAttributes;
  calls.find_first_file_ex = StalledFindFirst;
  Win32FileSystem fs(calls);
  constexpr auto kWait = std::chrono::milliseconds(200);
  fs.set_answer_wait(kWait);
  const std::string drive{static_cast<char>(fs.CurrentDrive()), ':'};

  struct Read {
    const char* what;
    Status status;
  };
  auto started = std::chrono::steady_clock::now();
  const Read reads[] = {
      {"ChangeDrive", fs.ChangeDrive(drive)},
      {"ListFolders", fs.ListFolders(drive + "\\").status()},
      {"ListFiles", fs.ListFiles(drive + "\\", "*.*", 0).status()},
  };
  auto took = std::chrono::steady_clock::now() - started;
  for (const Read& read : reads) {
    EXPECT_EQ(read.status.code(), Error::kNotReady) << read.what;
    EXPECT_EQ(read.status.message(), "The drive does not answer.") << read.what;
  }
  EXPECT_GE(took, 3 * kWait);
  EXPECT_LT(took, 15 * kWait);

  // The workers finish once the drive answers, and leave the table.
  std::unique_lock<std::mutex> lock(stall.mutex);
  stall.released = true;
  stall.changed.notify_all();
  EXPECT_TRUE(stall.changed.wait_for(lock, std::chrono::seconds(5),
                                     [] { return stall.inside == 0; }));
}

}  // namespace
}  // namespace platform::win32

#ifndef PELLOQUIN_PLATFORM_TESTING_WIN32_WIN32_FAULT_INJECTION_H_
#define PELLOQUIN_PLATFORM_TESTING_WIN32_WIN32_FAULT_INJECTION_H_

#include <cstdint>
#include <functional>

#include "platform/win32/win32_calls.h"

// Fault injection for the Win32 backend: a Win32Calls table whose entries
// pass every call on to the real one and count the calls, and on request
// fail the Nth of them with a chosen Win32 error (SetLastError and the
// entry's failure value) or have it do its work and then fail, fail every
// call of one kind, or run an action right before a call (to make a racing
// file appear).
//
//   Win32FaultInjector faults;
//   win32::Win32FileSystem fs(faults.table());
//   faults.FailEvery(Win32Call::kMoveFileEx, ERROR_NOT_SAME_DEVICE);
//   faults.FailAt(3, ERROR_DISK_FULL);  // and the 3rd call from now fails
//
// A failed CloseHandle still closes the handle. Table entries are plain
// function pointers, so the state is the process's: one Win32FaultInjector
// may exist at a time, used from one thread.
namespace platform::testing {

// The kinds of call, one for each entry of Win32Calls.
enum class Win32Call {
  kGetLogicalDrives,
  kGetLogicalDriveStrings,
  kGetVolumeInformation,
  kGetCurrentDirectory,
  kSetCurrentDirectory,
  kGetEnvironmentVariable,
  kSetEnvironmentVariable,
  kGetFileAttributes,
  kFindFirstFileEx,
  kFindNextFile,
  kFindClose,
  kCreateDirectory,
  kMoveFileEx,
  kCreateFile,
  kReadFile,
  kWriteFile,
  kFlushFileBuffers,
  kGetFileInformationByHandle,
  kSetFileInformationByHandle,
  kCloseHandle,
  kCount,
};

// The entry's name: "move_file_ex".
const char* Win32CallName(Win32Call call);

class Win32FaultInjector {
 public:
  Win32FaultInjector();
  ~Win32FaultInjector();
  Win32FaultInjector(const Win32FaultInjector&) = delete;
  Win32FaultInjector& operator=(const Win32FaultInjector&) = delete;

  // The table to give the code under test.
  const win32::Win32Calls& table() const;

  // Until Clear: every call of `kind` fails with `error` instead of running
  // (unless FailAt fails it first). Counted as calls, not as failures.
  void FailEvery(Win32Call kind, uint32_t error);

  // Counting afresh from now, calls of every kind: the nth (1 for the next)
  // fails with `error` instead of running; with `sticky` every later one
  // fails too. Replaces the FailAt asked before.
  void FailAt(long n, uint32_t error, bool sticky = false);

  // As FailAt, but a call that changes the disk (MoveFileExW, CreateFileW
  // that may create or truncate, CreateDirectoryW, WriteFile,
  // FlushFileBuffers, SetFileInformationByHandle: renames, attributes,
  // times, deletion) does its work first and then reports the failure, as a
  // lost reply from a network share does. A created file's handle is closed
  // again. Other calls fail without running.
  void FailAfterAt(long n, uint32_t error, bool sticky = false);

  // Runs `action` once, right before the next call of `kind` runs (or
  // fails). The action's own host calls must not go through the table.
  void BeforeNext(Win32Call kind, std::function<void()> action);

  // No more faults or actions; the counts start again at zero.
  void Clear();

  // Calls failed by FailAt since the last FailAt or Clear.
  long failures() const;
  bool fired() const { return failures() > 0; }
  // The kind of the first call FailAt failed (kCount if none).
  Win32Call first_failed() const;
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_WIN32_WIN32_FAULT_INJECTION_H_

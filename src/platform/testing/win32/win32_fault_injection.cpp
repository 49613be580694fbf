#include "platform/testing/win32/win32_fault_injection.h"

#include <array>
#include <cstdlib>
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

namespace platform::testing {
namespace {

using win32::RealWin32Calls;
using win32::Win32Calls;

constexpr size_t kKinds = static_cast<size_t>(Win32Call::kCount);

constexpr const char* kCallNames[] = {
    "get_logical_drives",
    "get_logical_drive_strings",
    "get_volume_information",
    "get_current_directory",
    "set_current_directory",
    "get_environment_variable",
    "set_environment_variable",
    "get_file_attributes",
    "find_first_file_ex",
    "find_next_file",
    "find_close",
    "create_directory",
    "move_file_ex",
    "create_file",
    "read_file",
    "write_file",
    "flush_file_buffers",
    "get_file_information_by_handle",
    "set_file_information_by_handle",
    "close_handle",
};
static_assert(std::size(kCallNames) == kKinds);

struct State {
  long at = 0;  // 0: no counted fault
  DWORD error = 0;
  bool sticky = false;
  bool run_first = false;  // a call that changes the disk runs, then fails
  long calls = 0;
  long failures = 0;
  Win32Call first_failed = Win32Call::kCount;
  std::array<DWORD, kKinds> every_error{};
  Win32Call hook_kind = Win32Call::kCount;
  std::function<void()> hook;
};

State* state = nullptr;

// What becomes of one call: it runs (error 0), or it fails with `error`,
// having run first when `run_first`.
struct Verdict {
  DWORD error = 0;
  bool run_first = false;
};

// Counts the call and gives its verdict. Runs a pending action first.
Verdict VerdictFor(Win32Call call) {
  if (state == nullptr) return {};
  if (state->hook && state->hook_kind == call) {
    std::function<void()> hook = std::move(state->hook);
    state->hook = nullptr;
    hook();
  }
  long n = ++state->calls;
  bool hit =
      state->at > 0 && (n == state->at || (state->sticky && n > state->at));
  if (!hit) return {state->every_error[static_cast<size_t>(call)], false};
  if (state->failures++ == 0) state->first_failed = call;
  return {state->error, state->run_first};
}

// Whether the call changes the disk, so that it can do its work and still
// report failure. A CreateFileW only when it may create or truncate.
template <Win32Call kKind, typename... Args>
bool ChangesDisk(const Args&... args) {
  if constexpr (kKind == Win32Call::kCreateFile) {
    return std::get<4>(std::forward_as_tuple(args...)) != OPEN_EXISTING;
  } else {
    return kKind == Win32Call::kCreateDirectory ||
           kKind == Win32Call::kMoveFileEx || kKind == Win32Call::kWriteFile ||
           kKind == Win32Call::kFlushFileBuffers ||
           kKind == Win32Call::kSetFileInformationByHandle;
  }
}

// What an entry returns to report a failure.
template <Win32Call kKind, typename R>
R FailureValue() {
  if constexpr (std::is_pointer_v<R>) {
    return INVALID_HANDLE_VALUE;  // the only handles the table hands out
  } else if constexpr (kKind == Win32Call::kGetFileAttributes) {
    return INVALID_FILE_ATTRIBUTES;
  } else {
    return R{0};  // FALSE, or a length of 0
  }
}

// The table entry for `kMember`: counts, maybe fails, else calls the real
// entry.
template <Win32Call kKind, auto kMember, typename Entry>
struct Wrapper;

template <Win32Call kKind, auto kMember, typename R, typename... Args>
struct Wrapper<kKind, kMember, R (*)(Args...)> {
  static R WINAPI Run(Args... args) {
    Verdict verdict = VerdictFor(kKind);
    if (verdict.error == 0) return (RealWin32Calls().*kMember)(args...);
    if (verdict.run_first && ChangesDisk<kKind>(args...)) {
      R result = (RealWin32Calls().*kMember)(args...);
      if (result == FailureValue<kKind, R>()) return result;  // failed anyway
      // The file was made; its handle is lost with the reply.
      if constexpr (kKind == Win32Call::kCreateFile) {
        RealWin32Calls().close_handle(result);
      }
    } else if constexpr (kKind == Win32Call::kCloseHandle) {
      (RealWin32Calls().*kMember)(args...);  // a failing close still closes
    }
    ::SetLastError(verdict.error);
    return FailureValue<kKind, R>();
  }
};

template <Win32Call kKind, auto kMember>
constexpr auto Wrap() {
  return &Wrapper<
      kKind, kMember,
      std::remove_cvref_t<decltype(RealWin32Calls().*kMember)>>::Run;
}

const Win32Calls kFaultyCalls = {
    .get_logical_drives =
        Wrap<Win32Call::kGetLogicalDrives, &Win32Calls::get_logical_drives>(),
    .get_logical_drive_strings = Wrap<Win32Call::kGetLogicalDriveStrings,
                                      &Win32Calls::get_logical_drive_strings>(),
    .get_volume_information = Wrap<Win32Call::kGetVolumeInformation,
                                   &Win32Calls::get_volume_information>(),
    .get_current_directory = Wrap<Win32Call::kGetCurrentDirectory,
                                  &Win32Calls::get_current_directory>(),
    .set_current_directory = Wrap<Win32Call::kSetCurrentDirectory,
                                  &Win32Calls::set_current_directory>(),
    .get_environment_variable = Wrap<Win32Call::kGetEnvironmentVariable,
                                     &Win32Calls::get_environment_variable>(),
    .set_environment_variable = Wrap<Win32Call::kSetEnvironmentVariable,
                                     &Win32Calls::set_environment_variable>(),
    .get_file_attributes =
        Wrap<Win32Call::kGetFileAttributes, &Win32Calls::get_file_attributes>(),
    .find_first_file_ex =
        Wrap<Win32Call::kFindFirstFileEx, &Win32Calls::find_first_file_ex>(),
    .find_next_file =
        Wrap<Win32Call::kFindNextFile, &Win32Calls::find_next_file>(),
    .find_close = Wrap<Win32Call::kFindClose, &Win32Calls::find_close>(),
    .create_directory =
        Wrap<Win32Call::kCreateDirectory, &Win32Calls::create_directory>(),
    .move_file_ex = Wrap<Win32Call::kMoveFileEx, &Win32Calls::move_file_ex>(),
    .create_file = Wrap<Win32Call::kCreateFile, &Win32Calls::create_file>(),
    .read_file = Wrap<Win32Call::kReadFile, &Win32Calls::read_file>(),
    .write_file = Wrap<Win32Call::kWriteFile, &Win32Calls::write_file>(),
    .flush_file_buffers =
        Wrap<Win32Call::kFlushFileBuffers, &Win32Calls::flush_file_buffers>(),
    .get_file_information_by_handle =
        Wrap<Win32Call::kGetFileInformationByHandle,
             &Win32Calls::get_file_information_by_handle>(),
    .set_file_information_by_handle =
        Wrap<Win32Call::kSetFileInformationByHandle,
             &Win32Calls::set_file_information_by_handle>(),
    .close_handle = Wrap<Win32Call::kCloseHandle, &Win32Calls::close_handle>(),
    .get_drive_type = ::GetDriveTypeW,
};

}  // namespace

const char* Win32CallName(Win32Call call) {
  size_t index = static_cast<size_t>(call);
  return index < kKinds ? kCallNames[index] : "none";
}

Win32FaultInjector::Win32FaultInjector() {
  if (state != nullptr) std::abort();  // one at a time
  state = new State;
}

Win32FaultInjector::~Win32FaultInjector() {
  delete state;
  state = nullptr;
}

const win32::Win32Calls& Win32FaultInjector::table() const {
  return kFaultyCalls;
}

void Win32FaultInjector::FailEvery(Win32Call kind, uint32_t error) {
  state->every_error[static_cast<size_t>(kind)] = error;
}

void Win32FaultInjector::FailAt(long n, uint32_t error, bool sticky) {
  state->at = n;
  state->error = error;
  state->sticky = sticky;
  state->run_first = false;
  state->calls = 0;
  state->failures = 0;
  state->first_failed = Win32Call::kCount;
}

void Win32FaultInjector::FailAfterAt(long n, uint32_t error, bool sticky) {
  FailAt(n, error, sticky);
  state->run_first = true;
}

void Win32FaultInjector::BeforeNext(Win32Call kind,
                                    std::function<void()> action) {
  state->hook_kind = kind;
  state->hook = std::move(action);
}

void Win32FaultInjector::Clear() { *state = State(); }

long Win32FaultInjector::failures() const { return state->failures; }

Win32Call Win32FaultInjector::first_failed() const {
  return state->first_failed;
}

}  // namespace platform::testing

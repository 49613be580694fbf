#include "platform/testing/fault_injection.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <type_traits>
#include <utility>

namespace platform::testing {
namespace {

using posix::SysCalls;

constexpr const char* kCallNames[] = {
    "openat",          "close",      "fstat",    "fstatat",  "fstatfs",
    "faccessat",       "renameat2",  "renameat", "linkat",   "unlinkat",
    "symlinkat",       "readlinkat", "mkdirat",  "read",     "write",
    "copy_file_range", "fsync",      "fchmod",   "fchown",   "futimens",
    "utimensat",       "fdopendir",  "readdir",  "closedir", "chdir",
    "getcwd",
};
static_assert(std::size(kCallNames) == static_cast<size_t>(Call::kCount));

enum class Action { kNone, kFail, kKill };

struct State {
  Action action = Action::kNone;
  long at = 0;
  int error = 0;
  bool sticky = false;
  CallSet kinds = CallSet::All();
  long calls = 0;
  long failures = 0;
  Call first_failed = Call::kCount;
};

// What FailAt and KillAt leave alone.
struct Standing {
  int every_error[static_cast<int>(Call::kCount)] = {};
  int open_flags = 0;
  int open_error = 0;
  CallSet hook_kinds = CallSet::All();
  std::function<void()> hook;
};

State* state = nullptr;
Standing* standing = nullptr;

// Counts the call and says whether it must fail (errno then set). Runs a
// pending action first, and never returns for a kill.
bool ShouldFail(Call call) {
  if (state == nullptr) return false;
  if (standing->hook && standing->hook_kinds.Contains(call)) {
    std::function<void()> hook = std::move(standing->hook);
    standing->hook = nullptr;
    int saved = errno;
    hook();
    errno = saved;
  }
  if (!state->kinds.Contains(call)) return false;
  long n = ++state->calls;
  bool hit = state->action != Action::kNone &&
             (n == state->at || (state->sticky && n > state->at));
  if (!hit) {
    int error = standing->every_error[static_cast<int>(call)];
    errno = error != 0 ? error : errno;
    return error != 0;
  }
  if (state->action == Action::kKill) {
    ::kill(::getpid(), SIGKILL);
    std::abort();  // not reached
  }
  if (state->failures++ == 0) state->first_failed = call;
  errno = state->error;
  return true;
}

template <typename R>
R FailureValue() {
  if constexpr (std::is_pointer_v<R>) {
    return nullptr;
  } else {
    return static_cast<R>(-1);
  }
}

// The table entry for `kMember`: counts, maybe fails, else calls the real
// entry.
template <Call kKind, auto kMember, typename Entry>
struct Wrapper;

template <Call kKind, auto kMember, typename R, typename... Args>
struct Wrapper<kKind, kMember, R (*)(Args...)> {
  static R Run(Args... args) {
    if constexpr (kKind == Call::kClose || kKind == Call::kClosedir) {
      // A failing close still releases the descriptor, as on Linux.
      bool fail = ShouldFail(kKind);
      int error = errno;
      R result = (posix::RealSysCalls().*kMember)(args...);
      if (!fail) return result;
      errno = error;
      return FailureValue<R>();
    } else {
      if (ShouldFail(kKind)) return FailureValue<R>();
      return (posix::RealSysCalls().*kMember)(args...);
    }
  }
};

int InjectingOpenat(int dir_fd, const char* path, int flags, mode_t mode) {
  if (ShouldFail(Call::kOpenat)) return -1;
  if (standing != nullptr && standing->open_error != 0 &&
      (flags & standing->open_flags) == standing->open_flags) {
    errno = standing->open_error;
    return -1;
  }
  return posix::RealSysCalls().openat(dir_fd, path, flags, mode);
}

#define PELLOQUIN_WRAP(entry, kind) \
  table.entry = Wrapper<kind, &SysCalls::entry, decltype(SysCalls::entry)>::Run

const SysCalls& InjectingTable() {
  static const SysCalls injecting = [] {
    SysCalls table = posix::RealSysCalls();
    table.openat = InjectingOpenat;
    PELLOQUIN_WRAP(close, Call::kClose);
    PELLOQUIN_WRAP(fstat, Call::kFstat);
    PELLOQUIN_WRAP(fstatat, Call::kFstatat);
    PELLOQUIN_WRAP(fstatfs, Call::kFstatfs);
    PELLOQUIN_WRAP(faccessat, Call::kFaccessat);
    PELLOQUIN_WRAP(renameat2, Call::kRenameat2);
    PELLOQUIN_WRAP(renameat, Call::kRenameat);
    PELLOQUIN_WRAP(linkat, Call::kLinkat);
    PELLOQUIN_WRAP(unlinkat, Call::kUnlinkat);
    PELLOQUIN_WRAP(symlinkat, Call::kSymlinkat);
    PELLOQUIN_WRAP(readlinkat, Call::kReadlinkat);
    PELLOQUIN_WRAP(mkdirat, Call::kMkdirat);
    PELLOQUIN_WRAP(read, Call::kRead);
    PELLOQUIN_WRAP(write, Call::kWrite);
    PELLOQUIN_WRAP(copy_file_range, Call::kCopyFileRange);
    PELLOQUIN_WRAP(fsync, Call::kFsync);
    PELLOQUIN_WRAP(fchmod, Call::kFchmod);
    PELLOQUIN_WRAP(fchown, Call::kFchown);
    PELLOQUIN_WRAP(futimens, Call::kFutimens);
    PELLOQUIN_WRAP(utimensat, Call::kUtimensat);
    PELLOQUIN_WRAP(fdopendir, Call::kFdopendir);
    PELLOQUIN_WRAP(readdir, Call::kReaddir);
    PELLOQUIN_WRAP(closedir, Call::kClosedir);
    PELLOQUIN_WRAP(chdir, Call::kChdir);
    PELLOQUIN_WRAP(getcwd, Call::kGetcwd);
    return table;
  }();
  return injecting;
}

#undef PELLOQUIN_WRAP

uint64_t Bit(Call call) { return uint64_t{1} << static_cast<int>(call); }

}  // namespace

const char* CallName(Call call) {
  return call < Call::kCount ? kCallNames[static_cast<int>(call)] : "none";
}

CallSet::CallSet(std::initializer_list<Call> calls) {
  for (Call call : calls) bits_ |= Bit(call);
}

CallSet CallSet::All() {
  CallSet all;
  all.bits_ = Bit(Call::kCount) - 1;
  return all;
}

bool CallSet::Contains(Call call) const { return (bits_ & Bit(call)) != 0; }

FaultInjector::FaultInjector() {
  if (state != nullptr) std::abort();  // one at a time
  state = new State;
  standing = new Standing;
}

FaultInjector::~FaultInjector() {
  delete state;
  state = nullptr;
  delete standing;
  standing = nullptr;
}

const posix::SysCalls& FaultInjector::table() const { return InjectingTable(); }

void FaultInjector::FailEvery(CallSet kinds, int error) {
  for (int call = 0; call < static_cast<int>(Call::kCount); ++call) {
    if (kinds.Contains(static_cast<Call>(call))) {
      standing->every_error[call] = error;
    }
  }
}

void FaultInjector::FailEveryOpenWith(int flags, int error) {
  standing->open_flags = flags;
  standing->open_error = error;
}

void FaultInjector::FailAt(long n, int error, CallSet kinds, bool sticky) {
  *state = State();
  state->action = Action::kFail;
  state->at = n;
  state->error = error;
  state->kinds = kinds;
  state->sticky = sticky;
}

void FaultInjector::KillAt(long n, CallSet kinds) {
  *state = State();
  state->action = Action::kKill;
  state->at = n;
  state->kinds = kinds;
}

void FaultInjector::BeforeNext(CallSet kinds, std::function<void()> action) {
  standing->hook_kinds = kinds;
  standing->hook = std::move(action);
}

void FaultInjector::Clear() {
  *state = State();
  *standing = Standing();
}

long FaultInjector::calls() const { return state->calls; }

long FaultInjector::failures() const { return state->failures; }

Call FaultInjector::first_failed() const { return state->first_failed; }

}  // namespace platform::testing

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
    "openat",          "close",      "fstat",     "fstatat",  "fstatfs",
    "faccessat",       "renameat2",  "renameat",  "linkat",   "unlinkat",
    "symlinkat",       "readlinkat", "mkdirat",   "read",     "write",
    "copy_file_range", "fsync",      "fchmod",    "fchown",   "futimens",
    "utimensat",       "fdopendir",  "readdir",   "closedir", "chdir",
    "getcwd",          "lseek",      "ftruncate", "kill",     "flistxattr",
    "fgetxattr",       "fsetxattr",
};
static_assert(std::size(kCallNames) == static_cast<size_t>(Call::kCount));

enum class Action { kNone, kFail, kFailAfter, kKill };

// What one call does under the injector.
enum class Verdict { kRun, kFail, kRunThenFail };

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
  long hook_countdown = 0;  // calls of hook_kinds still to pass
  std::function<void()> hook;
  bool hook_ran = false;
};

State* state = nullptr;
Standing* standing = nullptr;

// The calls that change the file system: the ones a "did it, then failed"
// reply can come from.
bool Changes(Call call) {
  switch (call) {
    case Call::kOpenat:
    case Call::kRenameat2:
    case Call::kRenameat:
    case Call::kLinkat:
    case Call::kUnlinkat:
    case Call::kSymlinkat:
    case Call::kMkdirat:
    case Call::kWrite:
    case Call::kCopyFileRange:
    case Call::kFsync:
    case Call::kFtruncate:
    case Call::kFsetxattr:
    case Call::kFchmod:
    case Call::kFchown:
    case Call::kFutimens:
    case Call::kUtimensat:
      return true;
    default:
      return false;
  }
}

void RunHook(Call call) {
  if (!standing->hook || !standing->hook_kinds.Contains(call)) return;
  if (--standing->hook_countdown > 0) return;
  std::function<void()> hook = std::move(standing->hook);
  standing->hook = nullptr;
  standing->hook_ran = true;
  int saved = errno;
  hook();
  errno = saved;
}

// Counts the call and says what it does (errno set for a failure). Runs a
// pending action first, and never returns for a kill.
Verdict Judge(Call call) {
  if (state == nullptr) return Verdict::kRun;
  RunHook(call);
  bool counted = state->kinds.Contains(call);
  long n = counted ? ++state->calls : 0;
  bool hit = counted && state->action != Action::kNone &&
             (n == state->at || (state->sticky && n > state->at));
  if (!hit) {
    // A FailEvery holds for every kind, counted or not.
    int error = standing->every_error[static_cast<int>(call)];
    errno = error != 0 ? error : errno;
    return error != 0 ? Verdict::kFail : Verdict::kRun;
  }
  if (state->action == Action::kKill) {
    ::kill(::getpid(), SIGKILL);
    std::abort();  // not reached
  }
  if (state->failures++ == 0) state->first_failed = call;
  errno = state->error;
  bool after = state->action == Action::kFailAfter && Changes(call);
  return after ? Verdict::kRunThenFail : Verdict::kFail;
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
    Verdict verdict = Judge(kKind);
    int error = errno;
    bool releases = kKind == Call::kClose || kKind == Call::kClosedir;
    if (verdict == Verdict::kFail && !releases) return FailureValue<R>();
    // A failing close still releases the descriptor, as on Linux.
    R result = (posix::RealSysCalls().*kMember)(args...);
    if (verdict == Verdict::kRun || result == FailureValue<R>()) return result;
    errno = error;
    return FailureValue<R>();
  }
};

int InjectingOpenat(int dir_fd, const char* path, int flags, mode_t mode) {
  Verdict verdict = Judge(Call::kOpenat);
  if (verdict == Verdict::kFail) return -1;
  if (standing != nullptr && standing->open_error != 0 &&
      (flags & standing->open_flags) == standing->open_flags) {
    errno = standing->open_error;
    return -1;
  }
  int error = errno;
  int fd = posix::RealSysCalls().openat(dir_fd, path, flags, mode);
  if (verdict == Verdict::kRun || fd < 0) return fd;
  // The file was opened (or made); the caller hears a failure.
  posix::RealSysCalls().close(fd);
  errno = error;
  return -1;
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
    PELLOQUIN_WRAP(lseek, Call::kLseek);
    PELLOQUIN_WRAP(ftruncate, Call::kFtruncate);
    PELLOQUIN_WRAP(kill, Call::kKill);
    PELLOQUIN_WRAP(flistxattr, Call::kFlistxattr);
    PELLOQUIN_WRAP(fgetxattr, Call::kFgetxattr);
    PELLOQUIN_WRAP(fsetxattr, Call::kFsetxattr);
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

void FaultInjector::FailAfterAt(long n, int error, CallSet kinds, bool sticky) {
  FailAt(n, error, kinds, sticky);
  state->action = Action::kFailAfter;
}

void FaultInjector::KillAt(long n, CallSet kinds) {
  *state = State();
  state->action = Action::kKill;
  state->at = n;
  state->kinds = kinds;
}

void FaultInjector::BeforeNext(CallSet kinds, std::function<void()> action) {
  BeforeCall(1, kinds, std::move(action));
}

void FaultInjector::BeforeCall(long n, CallSet kinds,
                               std::function<void()> action) {
  standing->hook_kinds = kinds;
  standing->hook_countdown = n;
  standing->hook = std::move(action);
  standing->hook_ran = false;
}

bool FaultInjector::action_ran() const { return standing->hook_ran; }

void FaultInjector::Clear() {
  *state = State();
  *standing = Standing();
}

long FaultInjector::calls() const { return state->calls; }

long FaultInjector::failures() const { return state->failures; }

Call FaultInjector::first_failed() const { return state->first_failed; }

}  // namespace platform::testing

#ifndef PELLOQUIN_PLATFORM_TESTING_FAULT_INJECTION_H_
#define PELLOQUIN_PLATFORM_TESTING_FAULT_INJECTION_H_

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/posix/sys_calls.h"

// Fault injection for the POSIX backend: a system-call table whose entries
// pass every call on to the real one, count the calls, and on request fail
// the Nth of them with a chosen errno (before or after doing its work), kill
// the process at the Nth, or run an action right before a call (to make a
// racing file appear).
//
//   FaultInjector faults;
//   posix::PosixFileSystem fs(drives.mappings(), faults.table());
//   faults.FailEvery({Call::kRenameat2}, EXDEV);
//                                   // every rename crosses devices
//   faults.FailAt(3, EIO);          // and the 3rd call from now fails
//
// The loop that tries every fault point in turn:
//
//   for (long n = 1;; ++n) {
//     ... set up ...
//     faults.FailAt(n, ENOSPC);
//     Status status = fs.RenameFile(from, to);
//     bool fired = faults.fired();
//     faults.Clear();
//     ... check the invariant ...
//     if (!fired) break;  // the whole operation ran in fewer than n calls
//   }
//
// A failed close or closedir still releases what it closes, as on Linux.
// Table entries are plain function pointers, so the state is the process's:
// one FaultInjector may exist at a time, used from one thread. Entries added
// to the table after this was written pass through uncounted.
namespace platform::testing {

// The kinds of call in the table, one for each entry.
enum class Call {
  kOpenat,
  kClose,
  kFstat,
  kFstatat,
  kFstatfs,
  kFaccessat,
  kRenameat2,
  kRenameat,
  kLinkat,
  kUnlinkat,
  kSymlinkat,
  kReadlinkat,
  kMkdirat,
  kRead,
  kWrite,
  kCopyFileRange,
  kFsync,
  kFchmod,
  kFchown,
  kFutimens,
  kUtimensat,
  kFdopendir,
  kReaddir,
  kClosedir,
  kChdir,
  kGetcwd,
  kLseek,
  kFtruncate,
  kKill,
  kFlistxattr,
  kFgetxattr,
  kFsetxattr,
  kCount,
};

// The entry's name: "renameat2".
const char* CallName(Call call);

// A set of call kinds.
class CallSet {
 public:
  CallSet(std::initializer_list<Call> calls);
  static CallSet All();
  bool Contains(Call call) const;

 private:
  CallSet() = default;
  uint64_t bits_ = 0;
};

class FaultInjector {
 public:
  FaultInjector();
  ~FaultInjector();
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  // The table to give the code under test.
  const posix::SysCalls& table() const;

  // Until Clear: every call of `kinds` fails with `error` instead of
  // running. Such failures are counted as calls, not as failures.
  void FailEvery(CallSet kinds, int error);

  // Until Clear: every openat whose flags hold all of `flags` fails with
  // `error`, such as (O_TMPFILE, EOPNOTSUPP) for a file system without
  // unnamed files. Counted as calls, not as failures.
  void FailEveryOpenWith(int flags, int error);

  // FailAt and KillAt each replace the counted fault asked before them.
  //
  // Counting afresh from now, only calls of `kinds`: the nth of them
  // (1 for the next) fails with `error` instead of running; with `sticky`
  // every later one of those kinds fails too.
  void FailAt(long n, int error, CallSet kinds = CallSet::All(),
              bool sticky = false);

  // As FailAt, but a call that changes the file system (open, rename, link,
  // unlink, write, sync, mode, owner, times) does its work first and then
  // reports the failure, as a lost reply on NFS does. An open's descriptor
  // is closed again. Other calls fail without running.
  void FailAfterAt(long n, int error, CallSet kinds = CallSet::All(),
                   bool sticky = false);

  // Counting afresh from now, only calls of `kinds`: the nth of them kills
  // the process with SIGKILL instead of running.
  void KillAt(long n, CallSet kinds = CallSet::All());

  // Runs `action` once, right before the next call of `kinds` runs (or
  // fails). The action's own calls must not go through the table.
  void BeforeNext(CallSet kinds, std::function<void()> action);
  // Runs `action` once, right before the nth call of `kinds` from now.
  void BeforeCall(long n, CallSet kinds, std::function<void()> action);
  // Whether the action asked last has run.
  bool action_ran() const;

  // No more faults of any kind, kills or actions; the counts start again
  // at zero.
  void Clear();

  // Calls counted (of the chosen kinds) since the last FailAt, KillAt or
  // Clear, including the failed ones.
  long calls() const;
  // Calls failed since then.
  long failures() const;
  bool fired() const { return failures() > 0; }
  // The kind of the first call failed since then (kCount if none).
  Call first_failed() const;
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_FAULT_INJECTION_H_

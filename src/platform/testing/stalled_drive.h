#ifndef PELLOQUIN_PLATFORM_TESTING_STALLED_DRIVE_H_
#define PELLOQUIN_PLATFORM_TESTING_STALLED_DRIVE_H_

#include <string>

#include "platform/posix/sys_calls.h"

namespace platform::testing {

// A mount that no longer answers: a call table in which every stat and
// open of a path at or below one host folder blocks until Release(), as a
// stalled network or FUSE mount does; every other call is the real one.
// One at a time. Going away releases the blocked calls and waits until each
// has left the table, so no late caller finds it gone.
class StalledDrive {
 public:
  explicit StalledDrive(std::string host_folder);
  ~StalledDrive();
  StalledDrive(const StalledDrive&) = delete;
  StalledDrive& operator=(const StalledDrive&) = delete;

  const posix::SysCalls& calls() const { return calls_; }
  // How many calls have blocked so far.
  int blocked() const;
  // Lets every blocked call, and all later ones, go on.
  void Release();

 private:
  posix::SysCalls calls_;
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_STALLED_DRIVE_H_

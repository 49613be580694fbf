#ifndef PELLOQUIN_PLATFORM_POSIX_RENAME_JOB_H_
#define PELLOQUIN_PLATFORM_POSIX_RENAME_JOB_H_

#include <sys/stat.h>

#include <string>

#include "platform/posix/sys_calls.h"
#include "platform/status.h"

namespace platform::posix {

// A file descriptor, closed through the system-call table when it goes.
class ScopedFd {
 public:
  explicit ScopedFd(const SysCalls& sys, int fd = -1) : sys_(&sys), fd_(fd) {}
  ScopedFd(ScopedFd&& other) noexcept : sys_(other.sys_), fd_(other.fd_) {
    other.fd_ = -1;
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  ~ScopedFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Reset(int fd = -1);

 private:
  const SysCalls* sys_;
  int fd_;
};

// One file on its way: both folders open, the host names in them, the
// model paths for messages, and what the source was when the move began.
struct RenameJob {
  const SysCalls& sys;
  int from_dir = -1;
  std::string from_name;
  std::string from_path;
  int to_dir = -1;
  std::string to_name;
  std::string to_path;
  struct stat source {};  // not following a symlink
};

// True when both describe the same file (device and inode).
bool SameFile(const struct stat& a, const struct stat& b);

// Removes `name` from the folder `dir` only if it still is the file
// `created`. True when no entry of that file is left under the name.
bool RemoveIfSame(const SysCalls& sys, int dir, const std::string& name,
                  const struct stat& created);

// kAlreadyExists when an entry of the new name exists (a dangling symlink
// counts); ok when the name is free.
Status CheckTargetFree(const RenameJob& job);

// The failure of a move whose copy could not be taken back: the file now
// exists at both paths. `cause` says why the move failed.
Status Duplicated(const RenameJob& job, const Status& cause);

// Moves a regular file or a symlink to another file system (where a rename
// answers EXDEV, which it does before looking at the target) by copying it
// and removing the source. On failure the
// source is untouched and the copy is gone, or the Status is kDuplicated.
Status MoveAcrossDevices(const RenameJob& job);

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_RENAME_JOB_H_

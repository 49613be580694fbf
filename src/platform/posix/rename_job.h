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

// True for what RenameFile moves: a regular file or a symlink.
bool IsMovable(const struct stat& st);

// True for the errors of a file system that has no hard links (or refuses
// this one).
bool LinksRefused(int error);

// The model path of the folder a model path lies in.
std::string ModelFolderOf(const std::string& model_path);

// Removes `name` from the folder `dir` only if it still is the file
// `created`. True when no entry of that file is left under the name (also
// when the unlink answered an error after it took effect).
bool RemoveIfSame(const SysCalls& sys, int dir, const std::string& name,
                  const struct stat& created);

// Renames `old_name` (a name only this call knows: a claim or a temporary)
// to `new_name` without replacing anything, on any file system: a
// no-replace rename, else a link and an unlink of the old name, else a
// reservation of the new name and a rename over it. 0, or the errno.
int RenameOwnNameNoReplace(const SysCalls& sys, int old_dir,
                           const std::string& old_name, int new_dir,
                           const std::string& new_name);

// Makes `name` in `dir` an empty file only this call made (O_EXCL), to be
// renamed over. 0 and its identity in `reserved`, or the errno and, in
// `left_behind`, whether a reservation it could not check stays.
int Reserve(const SysCalls& sys, int dir, const std::string& name,
            struct stat& reserved, bool* left_behind);

// kAlreadyExists when an entry of the new name exists (a dangling symlink
// counts); ok when the name is free.
Status CheckTargetFree(const RenameJob& job);

// The failure of a move whose copy could not be taken back: the file now
// exists at both paths. `cause` says why the move failed.
Status Duplicated(const RenameJob& job, const Status& cause);

// How the file under the new path is held against the claimed source.
enum class Published {
  kLink,  // another name of the source's inode: the same inode suffices
  kCopy,  // a copy: the source must also keep its size and modification time
};

// The new path holds `published`; removes the source, the file `expected`:
// claims it (renames it to a private name in its folder), checks the claimed
// entry, and unlinks the claim. When the source was replaced meanwhile, the
// newer file is put back, the published file is removed, and the failure
// says so. A failed call that did its work counts as done.
Status RetireSource(const RenameJob& job, const struct stat& published,
                    const struct stat& expected, Published kind);

// Moves a regular file or a symlink to another file system (where a rename
// answers EXDEV, which it does before looking at the target) by copying it
// and removing the source. On failure the source is untouched and the copy
// is gone, or the Status is kDuplicated.
Status MoveAcrossDevices(const RenameJob& job);

// The names this backend gives its own entries in a folder.
// A copy under construction, where unnamed files are refused.
std::string TemporaryName();
// A source claimed by a move: the process, and the name it had.
std::string ClaimName(const std::string& name);

// Puts back the claims and removes the temporaries a process that no longer
// runs left in the host folder, as far as the file system lets it.
void SweepLeftovers(const SysCalls& sys, const std::string& host_folder);

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_RENAME_JOB_H_

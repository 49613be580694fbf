#include "platform/posix/rename_job.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/posix/errno_status.h"

namespace platform::posix {

void ScopedFd::Reset(int fd) {
  if (fd_ >= 0) sys_->close(fd_);
  fd_ = fd;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool RemoveIfSame(const SysCalls& sys, int dir, const std::string& name,
                  const struct stat& created) {
  struct stat now;
  if (sys.fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT;
  }
  // Another file under the name is not ours to remove; ours is gone.
  if (!SameFile(now, created)) return true;
  return sys.unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT;
}

Status CheckTargetFree(const RenameJob& job) {
  struct stat st;
  if (job.sys.fstatat(job.to_dir, job.to_name.c_str(), &st,
                      AT_SYMLINK_NOFOLLOW) == 0) {
    return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
  }
  if (errno == ENOENT) return Status();
  return StatusFromErrno(errno, job.to_path);
}

Status Duplicated(const RenameJob& job, const Status& cause) {
  return Status(Error::kDuplicated, job.to_path,
                "The move failed half-way (" + cause.message() +
                    ") and the file now exists twice: at " + job.from_path +
                    " and at " + job.to_path + ".");
}

}  // namespace platform::posix

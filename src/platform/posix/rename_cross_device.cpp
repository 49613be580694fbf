#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>

#include "platform/posix/errno_status.h"
#include "platform/posix/rename_job.h"

namespace platform::posix {
namespace {

constexpr size_t kCopyChunk = size_t{1} << 30;
constexpr size_t kBufferSize = size_t{1} << 20;
constexpr int kTempNameTries = 16;

Status Failed(const std::string& path) { return StatusFromErrno(errno, path); }

Status SourceChanged(const RenameJob& job) {
  return Status(Error::kIo, job.from_path,
                "The file changed while it was being moved; it was left "
                "where it was.");
}

// Same file, same size, same modification time.
bool Unchanged(const struct stat& now, const struct stat& before) {
  return SameFile(now, before) && now.st_size == before.st_size &&
         now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

// Takes back the copy published at the new path, after `cause`.
Status Undo(const RenameJob& job, const struct stat& created,
            const Status& cause) {
  if (!RemoveIfSame(job.sys, job.to_dir, job.to_name, created)) {
    return Duplicated(job, cause);
  }
  return cause;
}

// The copy stands at the new path as `created`: makes that durable, then
// removes the source, if it still is the file that was copied.
Status FinishMove(const RenameJob& job, const struct stat& created,
                  const struct stat& copied) {
  // The folder was opened only to name files in; syncing needs a real open.
  ScopedFd folder(
      job.sys,
      job.sys.openat(job.to_dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!folder.valid() || job.sys.fsync(folder.get()) != 0) {
    return Undo(job, created, Failed(job.to_path));
  }
  struct stat now;
  if (job.sys.fstatat(job.from_dir, job.from_name.c_str(), &now,
                      AT_SYMLINK_NOFOLLOW) != 0) {
    return Undo(job, created, Failed(job.from_path));
  }
  if (!Unchanged(now, copied)) return Undo(job, created, SourceChanged(job));
  if (job.sys.unlinkat(job.from_dir, job.from_name.c_str(), 0) != 0) {
    return Undo(job, created, Failed(job.from_path));
  }
  return Status();
}

Result<std::string> ReadLinkTarget(const RenameJob& job) {
  size_t size = static_cast<size_t>(job.source.st_size) + 1;
  for (;;) {
    std::string target(size, '\0');
    ssize_t n = job.sys.readlinkat(job.from_dir, job.from_name.c_str(),
                                   target.data(), target.size());
    if (n < 0) return Failed(job.from_path);
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      return target;
    }
    size *= 2;  // the link grew since it was looked at
  }
}

// A symlink is re-created as a link, never followed.
Status MoveSymlink(const RenameJob& job) {
  Result<std::string> target = ReadLinkTarget(job);
  if (!target.ok()) return target.status();
  if (job.sys.symlinkat(target->c_str(), job.to_dir, job.to_name.c_str()) !=
      0) {
    if (errno == EEXIST) {
      return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
    }
    return Failed(job.to_path);
  }
  struct stat created;
  if (job.sys.fstatat(job.to_dir, job.to_name.c_str(), &created,
                      AT_SYMLINK_NOFOLLOW) != 0) {
    // Without its identity the new link cannot safely be taken back.
    return Duplicated(job, Failed(job.to_path));
  }
  // Keeping the link's own times is a courtesy some file systems refuse.
  const struct timespec times[2] = {job.source.st_atim, job.source.st_mtim};
  job.sys.utimensat(job.to_dir, job.to_name.c_str(), times,
                    AT_SYMLINK_NOFOLLOW);
  return FinishMove(job, created, job.source);
}

// The copy under construction: unnamed (O_TMPFILE), or under a hidden
// temporary name where the file system refuses unnamed files.
struct Staging {
  explicit Staging(const SysCalls& sys) : fd(sys) {}
  ScopedFd fd;
  std::string temp_name;  // empty while unnamed
  struct stat identity {};
};

bool RefusesUnnamedFiles(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

std::string HiddenTempName() {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char name[64];
  snprintf(name, sizeof name, ".pelloquin-%d-%u-%llx.tmp",
           static_cast<int>(getpid()), counter++,
           static_cast<unsigned long long>(ticks));
  return name;
}

Status OpenNamedStaging(const RenameJob& job, Staging& staging) {
  for (int tries = 0; tries < kTempNameTries; ++tries) {
    std::string name = HiddenTempName();
    staging.fd.Reset(job.sys.openat(
        job.to_dir, name.c_str(),
        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (staging.fd.valid()) {
      staging.temp_name = name;
      return Status();
    }
    if (errno != EEXIST) return Failed(job.to_path);
  }
  return Failed(job.to_path);
}

Status OpenStaging(const RenameJob& job, Staging& staging) {
  staging.fd.Reset(
      job.sys.openat(job.to_dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (!staging.fd.valid()) {
    if (!RefusesUnnamedFiles(errno)) return Failed(job.to_path);
    if (Status named = OpenNamedStaging(job, staging); !named.ok()) {
      return named;
    }
  }
  if (job.sys.fstat(staging.fd.get(), &staging.identity) != 0) {
    Status cause = Failed(job.to_path);
    if (staging.temp_name.empty()) return cause;
    // Our name, just made with O_EXCL; yet unchecked it stays.
    return Status(cause.code(), cause.path(),
                  cause.message() + "; the temporary file " +
                      staging.temp_name + " was left in the folder.");
  }
  return Status();
}

// Removes what staging made before it was published; on failure names the
// temporary file that was left.
Status DropStaging(const RenameJob& job, const Staging& staging,
                   const Status& cause) {
  if (staging.temp_name.empty() ||
      RemoveIfSame(job.sys, job.to_dir, staging.temp_name, staging.identity)) {
    return cause;
  }
  return Status(cause.code(), cause.path(),
                cause.message() + "; the temporary file " + staging.temp_name +
                    " was left in the folder.");
}

bool KernelCopyUnavailable(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS ||
         error == EOPNOTSUPP;
}

// Writes all of `data`, or fails with errno set.
bool WriteAll(const SysCalls& sys, int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = sys.write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies from the file positions of `in` and `out` to the end of `in`:
// in the kernel where it can, then through a buffer.
Status CopyContent(const RenameJob& job, int in, int out) {
  for (;;) {
    ssize_t n =
        job.sys.copy_file_range(in, nullptr, out, nullptr, kCopyChunk, 0);
    if (n > 0) continue;
    if (n == 0) break;  // the end, or a file system that copies nothing
    if (errno == EINTR) continue;
    if (KernelCopyUnavailable(errno)) break;
    return Failed(job.to_path);
  }
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  for (;;) {
    ssize_t n = job.sys.read(in, buffer.get(), kBufferSize);
    if (n == 0) return Status();
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(job.from_path);
    }
    if (!WriteAll(job.sys, out, buffer.get(), static_cast<size_t>(n))) {
      return Failed(job.to_path);
    }
  }
}

// Content, owner where allowed, mode, times, then to disk.
Status FillCopy(const RenameJob& job, int in, const struct stat& copied,
                int out) {
  if (Status content = CopyContent(job, in, out); !content.ok()) return content;
  // Only a privileged user may give a file away; others own the copy, as
  // with any copy they make.
  job.sys.fchown(out, copied.st_uid, copied.st_gid);
  if (job.sys.fchmod(out, copied.st_mode & 07777) != 0) {
    return Failed(job.to_path);
  }
  const struct timespec times[2] = {copied.st_atim, copied.st_mtim};
  if (job.sys.futimens(out, times) != 0) return Failed(job.to_path);
  if (job.sys.fsync(out) != 0) return Failed(job.to_path);
  return Status();
}

Status TakenStatus(const RenameJob& job) {
  return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
}

// Gives the unnamed copy its final name; a racer's file there stays.
Status PublishUnnamed(const RenameJob& job, const Staging& staging) {
  if (job.sys.linkat(staging.fd.get(), "", job.to_dir, job.to_name.c_str(),
                     AT_EMPTY_PATH) == 0) {
    return Status();
  }
  // Linking by descriptor needs a privilege; the /proc name does not.
  if (errno == ENOENT || errno == EPERM) {
    std::string proc = "/proc/self/fd/" + std::to_string(staging.fd.get());
    if (job.sys.linkat(AT_FDCWD, proc.c_str(), job.to_dir, job.to_name.c_str(),
                       AT_SYMLINK_FOLLOW) == 0) {
      return Status();
    }
  }
  return errno == EEXIST ? TakenStatus(job) : Failed(job.to_path);
}

// Renames the hidden copy into its final name without replacing.
Status PublishNamed(const RenameJob& job, const Staging& staging) {
  const char* temp = staging.temp_name.c_str();
  if (job.sys.renameat2(job.to_dir, temp, job.to_dir, job.to_name.c_str(),
                        RENAME_NOREPLACE) == 0) {
    return Status();
  }
  if (errno != EINVAL) {
    return errno == EEXIST ? TakenStatus(job) : Failed(job.to_path);
  }
  if (job.sys.linkat(job.to_dir, temp, job.to_dir, job.to_name.c_str(), 0) !=
      0) {
    return errno == EEXIST ? TakenStatus(job) : Failed(job.to_path);
  }
  if (job.sys.unlinkat(job.to_dir, temp, 0) != 0) {
    Status cause = Failed(job.to_path);
    return Undo(job, staging.identity, cause);
  }
  return Status();
}

Status MoveRegularFile(const RenameJob& job) {
  ScopedFd in(job.sys, job.sys.openat(job.from_dir, job.from_name.c_str(),
                                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK |
                                          O_NOCTTY | O_CLOEXEC,
                                      0));
  if (!in.valid()) {
    return errno == ELOOP ? SourceChanged(job) : Failed(job.from_path);
  }
  struct stat copied;
  if (job.sys.fstat(in.get(), &copied) != 0) return Failed(job.from_path);
  if (!S_ISREG(copied.st_mode) || !SameFile(copied, job.source)) {
    return SourceChanged(job);
  }

  Staging staging(job.sys);
  if (Status opened = OpenStaging(job, staging); !opened.ok()) return opened;
  if (Status filled = FillCopy(job, in.get(), copied, staging.fd.get());
      !filled.ok()) {
    return DropStaging(job, staging, filled);
  }
  Status published = staging.temp_name.empty() ? PublishUnnamed(job, staging)
                                               : PublishNamed(job, staging);
  if (!published.ok()) {
    if (published.code() == Error::kDuplicated) return published;
    return DropStaging(job, staging, published);
  }
  return FinishMove(job, staging.identity, copied);
}

}  // namespace

Status MoveAcrossDevices(const RenameJob& job) {
  if (Status free = CheckTargetFree(job); !free.ok()) return free;
  // The source is removed at the end; find out now, before copying.
  if (job.sys.faccessat(job.from_dir, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    return Failed(job.from_path);
  }
  if (S_ISLNK(job.source.st_mode)) return MoveSymlink(job);
  return MoveRegularFile(job);
}

}  // namespace platform::posix

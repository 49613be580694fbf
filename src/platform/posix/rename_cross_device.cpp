#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
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

// Takes back the copy published at the new path, after `cause`.
Status Undo(const RenameJob& job, const struct stat& created,
            const Status& cause) {
  if (!RemoveIfSame(job.sys, job.to_dir, job.to_name, created)) {
    return Duplicated(job, cause);
  }
  return cause;
}

// The copy stands at the new path as `created`: makes that durable, then
// retires the source, if it still is the file `copied`.
Status FinishMove(const RenameJob& job, const struct stat& created,
                  const struct stat& copied) {
  // The folder was opened only to name files in; syncing needs a real open.
  ScopedFd folder(
      job.sys,
      job.sys.openat(job.to_dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!folder.valid() || job.sys.fsync(folder.get()) != 0) {
    return Undo(job, created, Failed(job.to_path));
  }
  return RetireSource(job, created, copied, Published::kCopy);
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

// After a symlinkat that answered an error: whether the new path holds a
// symlink to `target` all the same, which the call then made.
bool MadeLinkAnyway(const RenameJob& job, const std::string& target) {
  struct stat st;
  if (job.sys.fstatat(job.to_dir, job.to_name.c_str(), &st,
                      AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISLNK(st.st_mode) ||
      static_cast<size_t>(st.st_size) != target.size()) {
    return false;
  }
  std::string now(target.size() + 1, '\0');
  ssize_t n = job.sys.readlinkat(job.to_dir, job.to_name.c_str(), now.data(),
                                 now.size());
  return n >= 0 && now.substr(0, static_cast<size_t>(n)) == target;
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
    Status cause = Failed(job.to_path);
    if (!MadeLinkAnyway(job, *target)) return cause;
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

Status OpenNamedStaging(const RenameJob& job, Staging& staging) {
  for (int tries = 0; tries < kTempNameTries; ++tries) {
    std::string name = TemporaryName();
    staging.fd.Reset(job.sys.openat(
        job.to_dir, name.c_str(),
        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (staging.fd.valid()) {
      staging.temp_name = name;
      return Status();
    }
    if (errno != EEXIST) {
      Status cause = Failed(job.to_path);
      // The name is this call's alone: whatever stands there, the failed
      // open made.
      struct stat left;
      if (job.sys.fstatat(job.to_dir, name.c_str(), &left,
                          AT_SYMLINK_NOFOLLOW) == 0 &&
          !RemoveIfSame(job.sys, job.to_dir, name, left)) {
        return Status(cause.code(), cause.path(),
                      cause.message() + "; the temporary file " + name +
                          " was left in the folder.");
      }
      return cause;
    }
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

// Copies bytes [from, to) of `in` to the same place in `out`: in the kernel
// where it can, then through a buffer.
Status CopyRange(const RenameJob& job, int in, int out, off_t from, off_t to) {
  off_t in_pos = from;
  off_t out_pos = from;
  while (in_pos < to) {
    size_t want = static_cast<size_t>(std::min<off_t>(to - in_pos, kCopyChunk));
    ssize_t n = job.sys.copy_file_range(in, &in_pos, out, &out_pos, want, 0);
    if (n > 0) continue;
    if (n == 0) break;  // the end, or a file system that copies nothing
    if (errno == EINTR) continue;
    if (KernelCopyUnavailable(errno)) break;
    return Failed(job.to_path);
  }
  if (in_pos >= to) return Status();
  if (job.sys.lseek(in, in_pos, SEEK_SET) < 0) return Failed(job.from_path);
  if (job.sys.lseek(out, in_pos, SEEK_SET) < 0) return Failed(job.to_path);
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  while (in_pos < to) {
    size_t want =
        static_cast<size_t>(std::min<off_t>(to - in_pos, kBufferSize));
    ssize_t n = job.sys.read(in, buffer.get(), want);
    if (n == 0) return Status();  // shorter than it was: the final check sees
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(job.from_path);
    }
    if (!WriteAll(job.sys, out, buffer.get(), static_cast<size_t>(n))) {
      return Failed(job.to_path);
    }
    in_pos += n;
  }
  return Status();
}

// Copies the data of `in` (of `size` bytes) into the empty `out`, extent by
// extent, so that holes stay holes.
Status CopyContent(const RenameJob& job, int in, int out, off_t size) {
  off_t pos = 0;
  while (pos < size) {
    off_t data = job.sys.lseek(in, pos, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      if (errno != EINVAL && errno != EOPNOTSUPP) return Failed(job.from_path);
      data = pos;  // no extents to ask for: all of it is data
    }
    if (data >= size) break;
    off_t hole = job.sys.lseek(in, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    if (Status copied = CopyRange(job, in, out, data, hole); !copied.ok()) {
      return copied;
    }
    pos = hole;
  }
  // A trailing hole is length without data.
  if (job.sys.ftruncate(out, size) != 0) return Failed(job.to_path);
  return Status();
}

// A mode, owner or time the destination cannot hold is no reason to fail
// a move (a FAT or FUSE mount refuses them); a failing device is.
bool MetadataRefused(int error) {
  return error == EPERM || error == ENOSYS || error == EOPNOTSUPP ||
         error == EINVAL || error == EACCES;
}

// Reads a list or value whose size the kernel tells first; nullopt when the
// file system has none to give.
template <typename Fetch>
std::optional<std::string> FetchSized(Fetch fetch) {
  for (int tries = 0; tries < 4; ++tries) {
    ssize_t size = fetch(nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string buffer(static_cast<size_t>(size), '\0');
    ssize_t got = fetch(buffer.data(), buffer.size());
    if (got >= 0) {
      buffer.resize(static_cast<size_t>(got));
      return buffer;
    }
    if (errno != ERANGE) return std::nullopt;  // grew meanwhile: again
  }
  return std::nullopt;
}

// Extended attributes (user.*, and security.* and POSIX ACLs where the
// destination and privileges allow), as far as the destination takes them:
// what it refuses is left behind, as mv does.
void CopyAttributes(const SysCalls& sys, int in, int out) {
  std::optional<std::string> names = FetchSized(
      [&](char* data, size_t size) { return sys.flistxattr(in, data, size); });
  if (!names) return;
  for (size_t at = 0; at < names->size();) {
    const char* name = names->c_str() + at;
    at += std::char_traits<char>::length(name) + 1;
    std::optional<std::string> value = FetchSized([&](char* data, size_t size) {
      return sys.fgetxattr(in, name, data, size);
    });
    if (value) sys.fsetxattr(out, name, value->data(), value->size(), 0);
  }
}

// Content, owner where allowed, mode, attributes, times, then to disk.
Status FillCopy(const RenameJob& job, int in, const struct stat& copied,
                int out) {
  if (Status content = CopyContent(job, in, out, copied.st_size);
      !content.ok()) {
    return content;
  }
  // Only a privileged user may give a file away; others own the copy, as
  // with any copy they make.
  job.sys.fchown(out, copied.st_uid, copied.st_gid);
  if (job.sys.fchmod(out, copied.st_mode & 07777) != 0 &&
      !MetadataRefused(errno)) {
    return Failed(job.to_path);
  }
  CopyAttributes(job.sys, in, out);
  const struct timespec times[2] = {copied.st_atim, copied.st_mtim};
  if (job.sys.futimens(out, times) != 0 && !MetadataRefused(errno)) {
    return Failed(job.to_path);
  }
  if (job.sys.fsync(out) != 0) return Failed(job.to_path);
  return Status();
}

Status TakenStatus(const RenameJob& job) {
  return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
}

// Gives the unnamed copy its final name; a racer's file there stays.
Status PublishUnnamed(const RenameJob& job, const Staging& staging) {
  auto arrived = [&] {
    struct stat now;
    return job.sys.fstatat(job.to_dir, job.to_name.c_str(), &now,
                           AT_SYMLINK_NOFOLLOW) == 0 &&
           SameFile(now, staging.identity);
  };
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
  int error = errno;
  if (arrived()) return Status();  // linked, though the reply said not
  return error == EEXIST ? TakenStatus(job)
                         : StatusFromErrno(error, job.to_path);
}

// Renames the hidden copy into its final name without replacing, by
// whatever the destination's file system offers for that.
Status PublishNamed(const RenameJob& job, const Staging& staging) {
  int error = RenameOwnNameNoReplace(job.sys, job.to_dir, staging.temp_name,
                                     job.to_dir, job.to_name);
  if (error == 0) return Status();
  if (error == EEXIST) return TakenStatus(job);
  return StatusFromErrno(error, job.to_path);
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
  // Written to meanwhile, the copy is not the file any more.
  struct stat after;
  if (job.sys.fstat(in.get(), &after) != 0) {
    return DropStaging(job, staging, Failed(job.from_path));
  }
  if (after.st_ctim.tv_sec != copied.st_ctim.tv_sec ||
      after.st_ctim.tv_nsec != copied.st_ctim.tv_nsec) {
    return DropStaging(job, staging, SourceChanged(job));
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
    Status status = Failed(job.from_path);
    return Status(status.code(), ModelFolderOf(job.from_path),
                  status.message() +
                      " (the folder does not let files be taken out of it).");
  }
  if (S_ISLNK(job.source.st_mode)) return MoveSymlink(job);
  return MoveRegularFile(job);
}

}  // namespace platform::posix

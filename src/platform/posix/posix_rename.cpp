#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/errno_status.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/rename_job.h"

namespace platform::posix {
namespace {

// A file's host path, and the same split into its folder and its name there.
struct HostEntry {
  std::string path;
  std::string folder;
  std::string name;
};

// Splits a host path below a drive's root into its folder and name.
HostEntry SplitHostPath(std::string host) {
  size_t slash = host.rfind('/');
  std::string folder = slash == 0 ? "/" : host.substr(0, slash);
  std::string name = host.substr(slash + 1);
  return HostEntry{std::move(host), std::move(folder), std::move(name)};
}

Status WithCode(Error code, const Status& status) {
  return Status(code, status.path(), status.message());
}

// Opens a host folder as a place to name files in (O_PATH: the cheapest
// open); 0, or the errno of the failure.
int OpenFolder(const SysCalls& sys, const std::string& host_folder,
               ScopedFd& fd) {
  fd.Reset(sys.openat(AT_FDCWD, host_folder.c_str(),
                      O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
  return fd.valid() ? 0 : errno;
}

bool IsMovable(const struct stat& st) {
  return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}

// Refuses what RenameFile does not move: folders, devices, pipes, sockets.
Status CheckMovable(const RenameJob& job) {
  if (IsMovable(job.source)) return Status();
  if (S_ISDIR(job.source.st_mode)) {
    return Status(Error::kUnsupported, job.from_path,
                  "It is a folder; only files are renamed.");
  }
  return Status(Error::kUnsupported, job.from_path,
                "It is a device, pipe or socket; only files are renamed.");
}

// The Status of a failed rename or link whose error was `error`. ENOENT
// there means the source or the destination folder went since they were
// opened; look which.
Status RenameFailure(const RenameJob& job, int error) {
  if (error == EEXIST || error == ENOTEMPTY) {
    return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
  }
  if (error != ENOENT) return StatusFromErrno(error, job.to_path);
  struct stat st;
  if (job.sys.fstatat(job.from_dir, job.from_name.c_str(), &st,
                      AT_SYMLINK_NOFOLLOW) != 0) {
    return StatusFromErrno(ENOENT, job.from_path);
  }
  return WithCode(Error::kPathNotFound, StatusFromErrno(ENOENT, job.to_path));
}

// Hard links are refused here too (exFAT, some FUSE mounts), so no atomic
// no-replace call is left: look, then rename. A file created at the new
// path between the look and the rename would be replaced; this is the one
// place with that race, and no call on such a file system closes it.
Status CheckThenRename(const RenameJob& job) {
  if (Status free = CheckTargetFree(job); !free.ok()) return free;
  if (job.sys.renameat(job.from_dir, job.from_name.c_str(), job.to_dir,
                       job.to_name.c_str()) != 0) {
    return RenameFailure(job, errno);
  }
  return Status();
}

// For file systems without a no-replace rename (NFS, most FUSE mounts):
// a hard link under the new name fails if the name is taken.
Status LinkThenUnlink(const RenameJob& job) {
  if (job.sys.linkat(job.from_dir, job.from_name.c_str(), job.to_dir,
                     job.to_name.c_str(), 0) != 0) {
    int error = errno;
    if (error == EPERM || error == EOPNOTSUPP) return CheckThenRename(job);
    if (error == EXDEV) return MoveAcrossDevices(job);
    return RenameFailure(job, error);
  }
  if (job.sys.unlinkat(job.from_dir, job.from_name.c_str(), 0) != 0) {
    Status cause = StatusFromErrno(errno, job.from_path);
    if (!RemoveIfSame(job.sys, job.to_dir, job.to_name, job.source)) {
      return Duplicated(job, cause);
    }
    return cause;
  }
  return Status();
}

// A rename whose folders are opened first, so that every failure is told
// apart. `rename_error` is what a plain rename of the same paths already
// answered (0: none was tried); it is not tried again.
Status RenameThroughFolders(const SysCalls& sys, std::string_view from,
                            std::string_view to, const HostEntry& source,
                            const HostEntry& target, int rename_error) {
  // The destination folder first: a bare rename answers ENOENT both for a
  // missing folder and for a missing source.
  ScopedFd to_dir(sys);
  if (int error = OpenFolder(sys, target.folder, to_dir); error != 0) {
    Status status = StatusFromErrno(error, to);
    bool missing = error == ENOENT || error == ENOTDIR;
    return missing ? WithCode(Error::kPathNotFound, status) : status;
  }
  ScopedFd from_dir(sys);
  bool same_folder = source.folder == target.folder;
  if (int error = same_folder ? 0 : OpenFolder(sys, source.folder, from_dir);
      error != 0) {
    Status status = StatusFromErrno(error, from);
    return error == ENOTDIR ? WithCode(Error::kNotFound, status) : status;
  }

  RenameJob job{sys,
                same_folder ? to_dir.get() : from_dir.get(),
                source.name,
                std::string(from),
                to_dir.get(),
                target.name,
                std::string(to)};
  if (sys.fstatat(job.from_dir, job.from_name.c_str(), &job.source,
                  AT_SYMLINK_NOFOLLOW) != 0) {
    return StatusFromErrno(errno, from);
  }
  if (Status movable = CheckMovable(job); !movable.ok()) return movable;

  if (rename_error == 0) {
    if (sys.renameat2(job.from_dir, job.from_name.c_str(), job.to_dir,
                      job.to_name.c_str(), RENAME_NOREPLACE) == 0) {
      return Status();
    }
    rename_error = errno;
  }
  if (rename_error == EXDEV) return MoveAcrossDevices(job);
  if (rename_error == EINVAL) return LinkThenUnlink(job);
  return RenameFailure(job, rename_error);
}

// The common case in two calls: the source is a file, and a rename by path
// moves it on its file system; as safe as through opened folders, which
// only telling a failure apart needs. None when the source is no file to
// rename so; otherwise 0, or the rename's errno.
std::optional<int> TryPlainRename(const SysCalls& sys, const HostEntry& source,
                                  const HostEntry& target) {
  struct stat st;
  int looked =
      sys.fstatat(AT_FDCWD, source.path.c_str(), &st, AT_SYMLINK_NOFOLLOW);
  if (looked != 0 || !IsMovable(st)) return std::nullopt;
  if (sys.renameat2(AT_FDCWD, source.path.c_str(), AT_FDCWD,
                    target.path.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  return errno;
}

}  // namespace

Status PosixFileSystem::RenameFile(std::string_view from, std::string_view to) {
  auto host_entry = [this](std::string_view path) -> Result<HostEntry> {
    Result<Resolved> resolved = Resolve(path);
    if (!resolved.ok()) return resolved.status();
    if (resolved->components.empty()) {
      return Status(Error::kInvalidName, std::string(path),
                    "It names a drive, not a file.");
    }
    Result<std::string> host = HostPathOf(*resolved);
    if (!host.ok()) return host.status();
    return SplitHostPath(std::move(*host));
  };
  Result<HostEntry> source = host_entry(from);
  if (!source.ok()) return source.status();
  Result<HostEntry> target = host_entry(to);
  if (!target.ok()) return target.status();

  std::optional<int> plain = TryPlainRename(sys_, *source, *target);
  if (plain == 0) return Status();
  return RenameThroughFolders(sys_, from, to, *source, *target,
                              plain.value_or(0));
}

}  // namespace platform::posix

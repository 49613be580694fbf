// RenameFile on POSIX.
//
// Other programs act on the same files at the same moment: an editor saves
// by renaming a new version over the name, a folder can be exchanged for a
// file. The rule: never unlink, and never leave renamed, a name whose file
// has not been verified under a name only this call knows, or after the
// fact under the name it was moved to.
//
// The order of calls:
//  1. renameat2(from, to, RENAME_NOREPLACE) by path, then a look (lstat) at
//     what now stands under the new name: two calls in the common case. A
//     folder or special file found there was swapped in for the listed file;
//     it is renamed back and refused.
//  2. Only when that rename fails are the folders opened: to tell "folder
//     missing" from "source missing" (both ENOENT), to see whether a rename
//     that answered an error did its work all the same, and to
//  3. where the file system refuses NOREPLACE (EINVAL: NFS, most FUSE
//     mounts): link the source to the new name, claim the source (rename it
//     to a private name in its folder), check that the claim is the linked
//     inode, unlink the claim;
//  4. where links are refused too: reserve the new name with O_EXCL and
//     rename over the reservation (ReserveThenRename says what it leaves
//     open);
//  5. across file systems (EXDEV): copy, publish without replace, claim the
//     source, compare it with what was copied, unlink the claim
//     (rename_cross_device.cpp).
// The invariant, under every failure, "did it but failed" reply, concurrent
// writer and kill: each file exists, whole, at its old path or its new path,
// at both (kDuplicated, or a kill between publishing and retiring the
// source), or under a claim name in its old folder that the next move in or
// out of that folder puts back. Never at neither, never partial under a
// final name, never a newer version deleted.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

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

// Refuses what RenameFile does not move: folders, devices, pipes, sockets.
Status Refusal(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) {
    return Status(Error::kUnsupported, path,
                  "It is a folder; only files are renamed.");
  }
  return Status(Error::kUnsupported, path,
                "It is a device, pipe or socket; only files are renamed.");
}

// A rename refused for want of permission: names the folder that refused,
// or the file where both folders are writable (a sticky folder).
Status AccessFailure(const RenameJob& job, int error) {
  const SysCalls& sys = job.sys;
  Status status = StatusFromErrno(error, job.from_path);
  if (sys.faccessat(job.from_dir, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    return Status(status.code(), ModelFolderOf(job.from_path),
                  status.message() +
                      " (the folder does not let files be "
                      "taken out of it).");
  }
  if (sys.faccessat(job.to_dir, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    return Status(status.code(), ModelFolderOf(job.to_path),
                  status.message() +
                      " (the folder does not let files be "
                      "added to it).");
  }
  return status;
}

// The Status of a failed rename, link or reservation whose error was
// `error`, naming the path that refused.
Status RenameFailure(const RenameJob& job, int error) {
  if (error == EEXIST || error == ENOTEMPTY) {
    return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
  }
  if (error == EACCES || error == EPERM) return AccessFailure(job, error);
  if (error == EINVAL) {
    return Status(Error::kInvalidName, job.to_path,
                  "The file system refuses this name (" +
                      StatusFromErrno(error, job.to_path).message() + ").");
  }
  if (error != ENOENT) return StatusFromErrno(error, job.to_path);
  // ENOENT: the source or the destination folder went since they were
  // opened, or the file system refuses the new name as if it were missing.
  struct stat st;
  if (job.sys.fstatat(job.from_dir, job.from_name.c_str(), &st,
                      AT_SYMLINK_NOFOLLOW) != 0) {
    return StatusFromErrno(ENOENT, job.from_path);
  }
  if (job.sys.fstat(job.to_dir, &st) != 0 || st.st_nlink == 0) {
    return WithCode(Error::kPathNotFound,
                    StatusFromErrno(ENOENT, ModelFolderOf(job.to_path)));
  }
  return Status(Error::kInvalidName, job.to_path,
                "The file system refuses this name.");
}

// True when `name` in `dir` now holds the file `file`.
bool Holds(const SysCalls& sys, int dir, const std::string& name,
           const struct stat& file) {
  struct stat now;
  return sys.fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
         SameFile(now, file);
}

// Removes the reservation of the new name after `cause`; says so when it
// could not.
Status DropReservation(const RenameJob& job, const struct stat& reserved,
                       const Status& cause) {
  if (RemoveIfSame(job.sys, job.to_dir, job.to_name, reserved)) return cause;
  return Status(cause.code(), cause.path(),
                cause.message() + " The empty file reserving the new name " +
                    "could not be removed.");
}

// Where links are refused as well (exfat-fuse, fusefat; another user's file
// under fs.protected_hardlinks) no call renames without replacing. The new
// name is reserved with O_CREAT|O_EXCL, checked to still be the
// reservation, and renamed over: a racing creator that uses O_EXCL fails
// against the reservation and never loses its file. The one window left: a
// program that opens the name without O_EXCL, or renames over it, between
// the check and the rename, loses what it wrote there. A kill inside the
// window leaves an empty reservation (mode 0) under the new name and the
// source whole at its old path; the next move there reports the name taken.
Status ReserveThenRename(const RenameJob& job) {
  const SysCalls& sys = job.sys;
  struct stat reserved;
  bool left_behind = false;
  if (int error = Reserve(sys, job.to_dir, job.to_name, reserved, &left_behind);
      error != 0) {
    Status cause = RenameFailure(job, error);
    if (!left_behind) return cause;
    return Status(cause.code(), cause.path(),
                  cause.message() + " The empty file reserving the new name " +
                      "could not be removed.");
  }
  struct stat now;
  if (sys.fstatat(job.to_dir, job.to_name.c_str(), &now, AT_SYMLINK_NOFOLLOW) !=
      0) {
    return DropReservation(job, reserved, StatusFromErrno(errno, job.to_path));
  }
  if (!SameFile(now, reserved)) {
    // Another program replaced the reservation: the name is theirs.
    return Status(Error::kAlreadyExists, job.to_path, "The file exists.");
  }
  int renamed = sys.renameat(job.from_dir, job.from_name.c_str(), job.to_dir,
                             job.to_name.c_str()) == 0
                    ? 0
                    : errno;
  if (renamed != 0 && !Holds(sys, job.to_dir, job.to_name, job.source)) {
    if (renamed == EXDEV &&
        RemoveIfSame(sys, job.to_dir, job.to_name, reserved)) {
      return MoveAcrossDevices(job);
    }
    if (sys.fstatat(job.from_dir, job.from_name.c_str(), &now,
                    AT_SYMLINK_NOFOLLOW) == 0 &&
        !IsMovable(now)) {
      return DropReservation(job, reserved, Refusal(job.from_path, now));
    }
    return DropReservation(job, reserved, RenameFailure(job, renamed));
  }
  struct stat arrived;
  if (sys.fstatat(job.to_dir, job.to_name.c_str(), &arrived,
                  AT_SYMLINK_NOFOLLOW) == 0 &&
      !IsMovable(arrived)) {
    RenameOwnNameNoReplace(sys, job.to_dir, job.to_name, job.from_dir,
                           job.from_name);
    return Refusal(job.from_path, arrived);
  }
  return Status();
}

// For file systems without a no-replace rename: a hard link under the new
// name fails if the name is taken; then the source is retired by its claim.
Status LinkThenRetire(const RenameJob& job) {
  const SysCalls& sys = job.sys;
  int linked_error = sys.linkat(job.from_dir, job.from_name.c_str(), job.to_dir,
                                job.to_name.c_str(), 0) == 0
                         ? 0
                         : errno;
  if (linked_error != 0 && !Holds(sys, job.to_dir, job.to_name, job.source)) {
    int error = linked_error;
    if (error == EXDEV) return MoveAcrossDevices(job);
    if (LinksRefused(error)) return ReserveThenRename(job);
    return RenameFailure(job, error);
  }
  struct stat linked;
  if (sys.fstatat(job.to_dir, job.to_name.c_str(), &linked,
                  AT_SYMLINK_NOFOLLOW) != 0) {
    Status cause = StatusFromErrno(errno, job.to_path);
    if (!RemoveIfSame(sys, job.to_dir, job.to_name, job.source)) {
      return Duplicated(job, cause);
    }
    return cause;
  }
  if (!IsMovable(linked)) {
    RemoveIfSame(sys, job.to_dir, job.to_name, linked);
    return Refusal(job.from_path, linked);
  }
  return RetireSource(job, linked, linked, Published::kLink);
}

// A rename that failed with `rename_error`, looked at through opened
// folders: the failure told apart, or the fallback the error calls for.
Status RenameThroughFolders(const SysCalls& sys, std::string_view from,
                            std::string_view to, const HostEntry& source,
                            const HostEntry& target, int rename_error) {
  ScopedFd to_dir(sys);
  if (int error = OpenFolder(sys, target.folder, to_dir); error != 0) {
    Status status = StatusFromErrno(error, ModelFolderOf(std::string(to)));
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
    int error = errno;
    struct stat arrived;
    bool may_have_moved = error == ENOENT && rename_error != ENOENT &&
                          rename_error != EEXIST && rename_error != ENOTDIR;
    if (may_have_moved &&
        sys.fstatat(job.to_dir, job.to_name.c_str(), &arrived,
                    AT_SYMLINK_NOFOLLOW) == 0 &&
        IsMovable(arrived)) {
      // The rename answered an error after it took effect (a lost reply).
      return Status();
    }
    return StatusFromErrno(error, from);
  }
  if (!IsMovable(job.source)) return Refusal(job.from_path, job.source);

  if (rename_error == EXDEV) return MoveAcrossDevices(job);
  if (rename_error == EINVAL) return LinkThenRetire(job);
  return RenameFailure(job, rename_error);
}

// After a rename by path: what stands under the new name must be a file or
// a symlink; anything else was swapped in for the source, and goes back.
Status CheckArrival(const SysCalls& sys, std::string_view from,
                    std::string_view to, const HostEntry& source,
                    const HostEntry& target) {
  struct stat arrived;
  if (sys.fstatat(AT_FDCWD, target.path.c_str(), &arrived,
                  AT_SYMLINK_NOFOLLOW) != 0) {
    // Unseen, it was the listed file as far as anyone can tell: the rename
    // stands.
    return Status();
  }
  if (IsMovable(arrived)) return Status();
  Status refusal = Refusal(std::string(from), arrived);
  if (sys.renameat2(AT_FDCWD, target.path.c_str(), AT_FDCWD,
                    source.path.c_str(), RENAME_NOREPLACE) == 0) {
    return refusal;
  }
  struct stat back;
  if (sys.fstatat(AT_FDCWD, source.path.c_str(), &back, AT_SYMLINK_NOFOLLOW) ==
          0 &&
      SameFile(back, arrived)) {
    return refusal;  // the rename back answered an error after it took effect
  }
  return Status(refusal.code(), refusal.path(),
                refusal.message() + " It could not be put back and stands at " +
                    std::string(to) + ".");
}

}  // namespace

void PosixFileSystem::SweepOnce(const std::string& host_folder) {
  if (swept_folders_.insert(host_folder).second) {
    SweepLeftovers(sys_, host_folder);
  }
}

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
  SweepOnce(source->folder);
  SweepOnce(target->folder);

  if (sys_.renameat2(AT_FDCWD, source->path.c_str(), AT_FDCWD,
                     target->path.c_str(), RENAME_NOREPLACE) == 0) {
    return CheckArrival(sys_, from, to, *source, *target);
  }
  return RenameThroughFolders(sys_, from, to, *source, *target, errno);
}

}  // namespace platform::posix

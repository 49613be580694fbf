#include "platform/posix/rename_job.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/posix/errno_status.h"

namespace platform::posix {
namespace {

constexpr std::string_view kOwnPrefix = ".pelloquin-";
constexpr std::string_view kClaimPrefix = ".pelloquin-claim-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr size_t kMaxNameBytes = 255;

// "<pid>-<counter>-<ticks>": unique to this process and moment.
std::string UniqueStem() {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char stem[64];
  snprintf(stem, sizeof stem, "%d-%u-%llx", static_cast<int>(getpid()),
           counter++, static_cast<unsigned long long>(ticks));
  return stem;
}

// The process that made one of our names, read from "<pid>-..." after the
// prefix; 0 when the name is none of ours.
pid_t OwnerOf(std::string_view rest) {
  pid_t pid = 0;
  size_t i = 0;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i < 10) {
    pid = pid * 10 + (rest[i] - '0');
    ++i;
  }
  return i > 0 && i < rest.size() && rest[i] == '-' ? pid : 0;
}

// The name a claim stood for: what follows "<pid>-<n>-<ticks>-"; empty when
// it was too long to keep.
std::string ClaimedName(std::string_view rest) {
  size_t dashes = 0;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '-' && ++dashes == 3) return std::string(rest.substr(i + 1));
  }
  return "";
}

bool Runs(const SysCalls& sys, pid_t pid) {
  return sys.kill(pid, 0) == 0 || errno != ESRCH;
}

std::vector<std::string> OwnNames(const SysCalls& sys, int folder) {
  std::vector<std::string> names;
  int fd = sys.openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return names;
  DIR* dir = sys.fdopendir(fd);
  if (dir == nullptr) {
    sys.close(fd);
    return names;
  }
  while (struct dirent* entry = sys.readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.substr(0, kOwnPrefix.size()) == kOwnPrefix) {
      names.emplace_back(name);
    }
  }
  sys.closedir(dir);
  return names;
}

}  // namespace

void ScopedFd::Reset(int fd) {
  if (fd_ >= 0) sys_->close(fd_);
  fd_ = fd;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool LinksRefused(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS ||
         error == EMLINK;
}

bool IsMovable(const struct stat& st) {
  return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}

std::string ModelFolderOf(const std::string& model_path) {
  size_t slash = model_path.find_last_of('\\');
  if (slash == std::string::npos) return model_path;
  // "C:\a" lies in "C:\".
  bool root = slash > 0 && model_path[slash - 1] == ':';
  return model_path.substr(0, root ? slash + 1 : slash);
}

bool RemoveIfSame(const SysCalls& sys, int dir, const std::string& name,
                  const struct stat& created) {
  for (int tries = 0; tries < 2; ++tries) {
    struct stat now;
    if (sys.fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT;
    }
    // Another file under the name is not ours to remove; ours is gone.
    if (!SameFile(now, created)) return true;
    if (sys.unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT) {
      return true;
    }
    // The unlink may have taken effect all the same: look once more.
  }
  return false;
}

int Reserve(const SysCalls& sys, int dir, const std::string& name,
            struct stat& reserved, bool* left_behind) {
  if (left_behind != nullptr) *left_behind = false;
  int fd = sys.openat(dir, name.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) {
    int error = errno;
    // An open that made the file and then failed leaves it: empty, mode 0,
    // as no other program makes a file.
    struct stat left;
    if (error != EEXIST &&
        sys.fstatat(dir, name.c_str(), &left, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(left.st_mode) && left.st_size == 0 &&
        (left.st_mode & 07777) == 0 && !RemoveIfSame(sys, dir, name, left) &&
        left_behind != nullptr) {
      *left_behind = true;
    }
    return error;
  }
  int error = sys.fstat(fd, &reserved) == 0 ? 0 : errno;
  sys.close(fd);
  if (error == 0) return 0;
  // Unchecked, the reservation is not provably ours to remove; a look by
  // name right after making it is all that is left.
  bool removed =
      sys.fstatat(dir, name.c_str(), &reserved, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(reserved.st_mode) && reserved.st_size == 0 &&
      RemoveIfSame(sys, dir, name, reserved);
  if (left_behind != nullptr) *left_behind = !removed;
  return error;
}

int RenameOwnNameNoReplace(const SysCalls& sys, int old_dir,
                           const std::string& old_name, int new_dir,
                           const std::string& new_name) {
  struct stat own;
  if (sys.fstatat(old_dir, old_name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno;
  }
  auto arrived = [&] {
    struct stat now;
    return sys.fstatat(new_dir, new_name.c_str(), &now, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           SameFile(now, own);
  };
  if (S_ISDIR(own.st_mode)) {
    // A folder (swapped in for a file, now going back) cannot replace a
    // file, only an empty folder: a plain rename is safe everywhere.
    if (sys.renameat(old_dir, old_name.c_str(), new_dir, new_name.c_str()) ==
        0) {
      return 0;
    }
    int error = errno;
    if (arrived()) return 0;
    return error == ENOTDIR || error == EISDIR ? EEXIST : error;
  }
  if (sys.renameat2(old_dir, old_name.c_str(), new_dir, new_name.c_str(),
                    RENAME_NOREPLACE) == 0) {
    return 0;
  }
  int error = errno;
  if (arrived()) return 0;
  // EINVAL: no such rename on this file system; for anything but a taken
  // or missing name the next way may still work.
  if (error == EEXIST || error == ENOENT) return error;
  error =
      sys.linkat(old_dir, old_name.c_str(), new_dir, new_name.c_str(), 0) == 0
          ? 0
          : errno;
  if (error == 0 || arrived()) {
    // The old name is ours alone; a failure to drop it leaves a second,
    // hidden name of the file, never a loss.
    RemoveIfSame(sys, old_dir, old_name, own);
    return 0;
  }
  if (!LinksRefused(error)) return error;
  struct stat reserved;
  if (int reserve_error = Reserve(sys, new_dir, new_name, reserved, nullptr);
      reserve_error != 0) {
    return reserve_error;
  }
  error =
      sys.renameat(old_dir, old_name.c_str(), new_dir, new_name.c_str()) == 0
          ? 0
          : errno;
  if (error == 0 || arrived()) return 0;
  RemoveIfSame(sys, new_dir, new_name, reserved);
  return error;
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

std::string TemporaryName() {
  return std::string(kOwnPrefix) + UniqueStem() + std::string(kTemporarySuffix);
}

std::string ClaimName(const std::string& name) {
  std::string claim = std::string(kClaimPrefix) + UniqueStem() + "-";
  // A name too long to keep is not put back by a sweep, only kept.
  return claim.size() + name.size() <= kMaxNameBytes ? claim + name : claim;
}

namespace {

// Claims the source: renames it to a private name in its own folder, so
// that no other program's file can stand under that name. The claim name is
// unique to this call, so a plain rename cannot replace anything. 0, or the
// errno.
int Claim(const RenameJob& job, const std::string& claim) {
  const SysCalls& sys = job.sys;
  if (sys.renameat(job.from_dir, job.from_name.c_str(), job.from_dir,
                   claim.c_str()) == 0) {
    return 0;
  }
  int error = errno;
  // The rename may have taken effect before it failed.
  struct stat st;
  return sys.fstatat(job.from_dir, claim.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
             ? 0
             : error;
}

bool Matches(const struct stat& now, const struct stat& expected,
             Published kind) {
  if (!SameFile(now, expected)) return false;
  if (kind == Published::kLink) return true;
  return now.st_size == expected.st_size &&
         now.st_mtim.tv_sec == expected.st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == expected.st_mtim.tv_nsec;
}

Status SourceChanged(const RenameJob& job) {
  return Status(Error::kIo, job.from_path,
                "The file changed while it was being moved; it was left "
                "where it was.");
}

// After `cause`: puts the claimed source back under its name and takes the
// published file back from the new path.
Status Restore(const RenameJob& job, const std::string& claim,
               const struct stat& published, const Status& cause) {
  bool back = RenameOwnNameNoReplace(job.sys, job.from_dir, claim, job.from_dir,
                                     job.from_name) == 0;
  if (!back) {
    // The source keeps the claim's name; the published file must stay, or
    // the file would only be found under a hidden name.
    return Status(Error::kDuplicated, job.to_path,
                  "The move failed half-way (" + cause.message() +
                      ") and the file now exists twice: at " + job.to_path +
                      " and, under the name " + claim + ", in the folder " +
                      ModelFolderOf(job.from_path) + ".");
  }
  if (!RemoveIfSame(job.sys, job.to_dir, job.to_name, published)) {
    return Duplicated(job, cause);
  }
  return cause;
}

}  // namespace

Status RetireSource(const RenameJob& job, const struct stat& published,
                    const struct stat& expected, Published kind) {
  const SysCalls& sys = job.sys;
  std::string claim = ClaimName(job.from_name);
  if (int error = Claim(job, claim); error != 0) {
    Status cause = StatusFromErrno(error, job.from_path);
    struct stat now;
    if (sys.fstatat(job.from_dir, job.from_name.c_str(), &now,
                    AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) return Duplicated(job, cause);
      // Another program took the source away: the file stands at the new
      // path, which is where it was to go.
      return Status();
    }
    bool same = Matches(now, expected, kind);
    if (!RemoveIfSame(sys, job.to_dir, job.to_name, published)) {
      return Duplicated(job, same ? cause : SourceChanged(job));
    }
    return same ? cause : SourceChanged(job);
  }
  struct stat claimed;
  if (sys.fstatat(job.from_dir, claim.c_str(), &claimed, AT_SYMLINK_NOFOLLOW) !=
      0) {
    return Restore(job, claim, published,
                   StatusFromErrno(errno, job.from_path));
  }
  if (!Matches(claimed, expected, kind)) {
    return Restore(job, claim, published, SourceChanged(job));
  }
  if (sys.unlinkat(job.from_dir, claim.c_str(), 0) != 0) {
    Status cause = StatusFromErrno(errno, job.from_path);
    struct stat left;
    if (sys.fstatat(job.from_dir, claim.c_str(), &left, AT_SYMLINK_NOFOLLOW) !=
            0 &&
        errno == ENOENT) {
      return Status();  // the unlink took effect
    }
    return Restore(job, claim, published, cause);
  }
  return Status();
}

void SweepLeftovers(const SysCalls& sys, const std::string& host_folder) {
  int folder = sys.openat(AT_FDCWD, host_folder.c_str(),
                          O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
  if (folder < 0) return;
  for (const std::string& name : OwnNames(sys, folder)) {
    std::string_view rest = name;
    bool claim = rest.substr(0, kClaimPrefix.size()) == kClaimPrefix;
    rest.remove_prefix(claim ? kClaimPrefix.size() : kOwnPrefix.size());
    pid_t owner = OwnerOf(rest);
    if (owner <= 0 || Runs(sys, owner)) continue;
    if (claim) {
      // Its source, whole (a claim is only made of a whole file); the name
      // it had may be taken since, and then it stays where it is.
      std::string original = ClaimedName(rest);
      if (!original.empty()) {
        RenameOwnNameNoReplace(sys, folder, name, folder, original);
      }
    } else if (name.size() > kTemporarySuffix.size() &&
               name.substr(name.size() - kTemporarySuffix.size()) ==
                   kTemporarySuffix) {
      // A copy that was never published: its source is whole elsewhere.
      sys.unlinkat(folder, name.c_str(), 0);
    }
  }
  sys.close(folder);
}

}  // namespace platform::posix

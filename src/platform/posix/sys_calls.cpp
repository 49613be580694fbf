#include "platform/posix/sys_calls.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform::posix {
namespace {

int OpenAt(int dir_fd, const char* path, int flags, mode_t mode) {
  return ::openat(dir_fd, path, flags, mode);
}

int RenameAt2(int old_dir, const char* old_path, int new_dir,
              const char* new_path, unsigned flags) {
  return ::renameat2(old_dir, old_path, new_dir, new_path, flags);
}

ssize_t CopyFileRange(int fd_in, off_t* off_in, int fd_out, off_t* off_out,
                      size_t size, unsigned flags) {
  return ::copy_file_range(fd_in, off_in, fd_out, off_out, size, flags);
}

}  // namespace

const SysCalls& RealSysCalls() {
  static const SysCalls table = {
      .openat = OpenAt,
      .close = ::close,
      .fstat = ::fstat,
      .fstatat = ::fstatat,
      .fstatfs = ::fstatfs,
      .faccessat = ::faccessat,
      .renameat2 = RenameAt2,
      .renameat = ::renameat,
      .linkat = ::linkat,
      .unlinkat = ::unlinkat,
      .symlinkat = ::symlinkat,
      .readlinkat = ::readlinkat,
      .mkdirat = ::mkdirat,
      .read = ::read,
      .write = ::write,
      .copy_file_range = CopyFileRange,
      .fsync = ::fsync,
      .fchmod = ::fchmod,
      .fchown = ::fchown,
      .futimens = ::futimens,
      .utimensat = ::utimensat,
      .fdopendir = ::fdopendir,
      .readdir = ::readdir,
      .closedir = ::closedir,
      .chdir = ::chdir,
      .getcwd = ::getcwd,
      .lseek = ::lseek,
      .ftruncate = ::ftruncate,
      .kill = ::kill,
      .flistxattr = ::flistxattr,
      .fgetxattr = ::fgetxattr,
      .fsetxattr = ::fsetxattr,
  };
  return table;
}

}  // namespace platform::posix

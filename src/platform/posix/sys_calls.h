#ifndef PELLOQUIN_PLATFORM_POSIX_SYS_CALLS_H_
#define PELLOQUIN_PLATFORM_POSIX_SYS_CALLS_H_

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/vfs.h>

#include <cstddef>
#include <ctime>

namespace platform::posix {

// Every system call the POSIX backend makes goes through this table, so that
// tests can fail any call of any kind (they swap in their own table). Each
// entry behaves as the call of its name: -1 (or nullptr) and errno on
// failure.
struct SysCalls {
  int (*openat)(int dir_fd, const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  int (*fstat)(int fd, struct stat* st);
  int (*fstatat)(int dir_fd, const char* path, struct stat* st, int flags);
  int (*fstatfs)(int fd, struct statfs* st);
  int (*faccessat)(int dir_fd, const char* path, int mode, int flags);
  int (*renameat2)(int old_dir, const char* old_path, int new_dir,
                   const char* new_path, unsigned flags);
  int (*renameat)(int old_dir, const char* old_path, int new_dir,
                  const char* new_path);
  int (*linkat)(int old_dir, const char* old_path, int new_dir,
                const char* new_path, int flags);
  int (*unlinkat)(int dir_fd, const char* path, int flags);
  int (*symlinkat)(const char* target, int dir_fd, const char* path);
  ssize_t (*readlinkat)(int dir_fd, const char* path, char* buffer,
                        size_t size);
  int (*mkdirat)(int dir_fd, const char* path, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  ssize_t (*copy_file_range)(int fd_in, off_t* off_in, int fd_out,
                             off_t* off_out, size_t size, unsigned flags);
  int (*fsync)(int fd);
  int (*fchmod)(int fd, mode_t mode);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*futimens)(int fd, const struct timespec times[2]);
  int (*utimensat)(int dir_fd, const char* path, const struct timespec times[2],
                   int flags);
  DIR* (*fdopendir)(int fd);
  struct dirent* (*readdir)(DIR* dir);
  int (*closedir)(DIR* dir);
  int (*chdir)(const char* path);
  char* (*getcwd)(char* buffer, size_t size);
  off_t (*lseek)(int fd, off_t offset, int whence);
  int (*ftruncate)(int fd, off_t length);
  int (*kill)(pid_t pid, int signal);  // signal 0: does the process run?
  ssize_t (*flistxattr)(int fd, char* list, size_t size);
  ssize_t (*fgetxattr)(int fd, const char* name, void* value, size_t size);
  int (*fsetxattr)(int fd, const char* name, const void* value, size_t size,
                   int flags);
};

// The table of the real calls.
const SysCalls& RealSysCalls();

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_SYS_CALLS_H_

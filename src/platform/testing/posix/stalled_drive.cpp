#include "platform/testing/stalled_drive.h"

#include <condition_variable>
#include <mutex>
#include <string_view>

namespace platform::testing {
namespace {

// The stalled folder, shared with the plain functions of the table. Never
// destroyed: a worker that was blocked may pass through after the test.
struct Stall {
  std::mutex mutex;
  std::condition_variable changed;
  std::string host_folder;  // empty: nothing stalls
  bool released = true;
  int blocked = 0;
  int inside = 0;  // calls now waiting in the table
};

Stall& TheStall() {
  static Stall* stall = new Stall;
  return *stall;
}

bool Below(std::string_view path, std::string_view folder) {
  return !folder.empty() && path.substr(0, folder.size()) == folder &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

// Waits while `path` lies on the stalled drive and it is not released.
void WaitIfStalled(const char* path) {
  Stall& stall = TheStall();
  std::unique_lock<std::mutex> lock(stall.mutex);
  if (stall.released || !Below(path, stall.host_folder)) return;
  ++stall.blocked;
  ++stall.inside;
  stall.changed.wait(lock, [&] { return stall.released; });
  --stall.inside;
  stall.changed.notify_all();
}

int StalledOpenAt(int dir_fd, const char* path, int flags, mode_t mode) {
  WaitIfStalled(path);
  return posix::RealSysCalls().openat(dir_fd, path, flags, mode);
}

int StalledFstatAt(int dir_fd, const char* path, struct stat* st, int flags) {
  WaitIfStalled(path);
  return posix::RealSysCalls().fstatat(dir_fd, path, st, flags);
}

int StalledChdir(const char* path) {
  WaitIfStalled(path);
  return posix::RealSysCalls().chdir(path);
}

}  // namespace

StalledDrive::StalledDrive(std::string host_folder)
    : calls_(posix::RealSysCalls()) {
  calls_.openat = StalledOpenAt;
  calls_.fstatat = StalledFstatAt;
  calls_.chdir = StalledChdir;
  Stall& stall = TheStall();
  const std::lock_guard<std::mutex> lock(stall.mutex);
  stall.host_folder = std::move(host_folder);
  stall.released = false;
  stall.blocked = 0;
}

StalledDrive::~StalledDrive() {
  Release();
  Stall& stall = TheStall();
  std::unique_lock<std::mutex> lock(stall.mutex);
  stall.changed.wait(lock, [&] { return stall.inside == 0; });
  stall.host_folder.clear();
}

int StalledDrive::blocked() const {
  Stall& stall = TheStall();
  const std::lock_guard<std::mutex> lock(stall.mutex);
  return stall.blocked;
}

void StalledDrive::Release() {
  Stall& stall = TheStall();
  const std::lock_guard<std::mutex> lock(stall.mutex);
  stall.released = true;
  stall.changed.notify_all();
}

}  // namespace platform::testing

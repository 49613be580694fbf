#ifndef PELLOQUIN_PLATFORM_TESTING_TEMP_DRIVES_H_
#define PELLOQUIN_PLATFORM_TESTING_TEMP_DRIVES_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/posix_file_system.h"

namespace platform::testing {

// Temporary host folders that stand in as drives C:, D:, ... for one test,
// removed with everything in them when the object goes. Drives are made
// under $TMPDIR (or /tmp); a drive asked for "on another file system" is
// made under /dev/shm when that is a different file system, so that moves
// to it cross devices for real.
class TempDrives {
 public:
  // `letters` names the drives, e.g. "CD". Letters listed in
  // `other_file_system` go to the second file system where there is one.
  explicit TempDrives(std::string_view letters,
                      std::string_view other_file_system = "");
  ~TempDrives();
  TempDrives(const TempDrives&) = delete;
  TempDrives& operator=(const TempDrives&) = delete;

  const std::vector<posix::DriveMapping>& mappings() const { return mappings_; }
  // The host folder of a drive.
  const std::string& HostFolder(char letter) const;
  // True when drive `letter` really lies on another file system than C:.
  bool CrossesDevice(char letter) const;

  // Host-side helpers: `relative` is a host path below the drive's folder.
  std::string Host(char letter, std::string_view relative) const;
  void WriteFile(char letter, std::string_view relative,
                 std::string_view content) const;
  std::string ReadFile(char letter, std::string_view relative) const;
  bool Exists(char letter, std::string_view relative) const;
  void MakeFolder(char letter, std::string_view relative) const;
  // The names in a host folder of a drive, sorted.
  std::vector<std::string> List(char letter,
                                std::string_view relative = "") const;

 private:
  std::vector<posix::DriveMapping> mappings_;
  std::vector<std::string> roots_;  // what to remove at the end
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_TEMP_DRIVES_H_

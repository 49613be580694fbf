#ifndef PELLOQUIN_PLATFORM_TESTING_SCRATCH_DRIVES_H_
#define PELLOQUIN_PLATFORM_TESTING_SCRATCH_DRIVES_H_

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace platform::testing {

// The scratch folders are local: an answer that is slow to come there comes
// from a loaded machine (a busy CI runner, Wine starting up), not from a
// stalled drive, so their file system waits longer than the window's.
inline constexpr std::chrono::milliseconds kScratchAnswerWait{30000};

// The host's file system for one test, whatever the backend, with an empty
// scratch folder on a first drive and, where the host has one, on a second
// drive. Everything in the scratch folders goes, and the process's current
// drive and folders come back, when the object goes.
//
// The helpers work on the host directly, never through file_system(), so
// that a test can set up and check what the file system did. Their paths
// are model paths inside a scratch folder, of plain ASCII names.
class ScratchDrives {
 public:
  virtual ~ScratchDrives() = default;

  virtual FileSystem& file_system() = 0;

  // The model path of the scratch folder on the first drive (0) or the
  // second (1); empty when there is no second drive.
  virtual std::string Folder(int drive) const = 0;

  virtual void WriteFile(std::string_view path, std::string_view content) = 0;
  // The content of a file; nullopt when there is none.
  virtual std::optional<std::string> ReadFile(std::string_view path) = 0;
  virtual bool Exists(std::string_view path) = 0;
  virtual void MakeFolder(std::string_view path) = 0;
  // The names in a folder, sorted by their bytes.
  virtual std::vector<std::string> List(std::string_view folder) = 0;
  // Makes a file (or folder) in `folder` that the host counts as hidden,
  // named after `base` by the host's convention, and returns its name.
  virtual std::string MakeHidden(std::string_view folder, std::string_view base,
                                 bool is_folder) = 0;
};

std::unique_ptr<ScratchDrives> MakeScratchDrives();

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_SCRATCH_DRIVES_H_

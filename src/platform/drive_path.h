#ifndef PELLOQUIN_PLATFORM_DRIVE_PATH_H_
#define PELLOQUIN_PLATFORM_DRIVE_PATH_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

// The lexical side of drive-letter paths, shared by every backend.
namespace platform {

// A drive-letter path taken apart, not yet resolved.
struct ParsedPath {
  char drive = 0;       // upper-case letter; 0 when the text names none
  bool rooted = false;  // a separator follows the drive (or starts the text)
  std::vector<std::string> components;  // as written, "." and ".." kept
};

// The letter of a drive name as a drive list shows it ("c:", "D:",
// "d: [label]"), upper case; nullopt for any other text.
std::optional<char> DriveNameLetter(std::string_view text);

// Splits a path. A drive name stands for that drive's current folder (not
// rooted, no components). Runs of "\" and "/" are one separator. Empty text
// and text holding a NUL are kInvalidName.
Result<ParsedPath> ParsePath(std::string_view text);

// Appends `relative` to the folder `base` (both lists of components below a
// root), resolving "." and ".." lexically, never above the root.
std::vector<std::string> ResolveComponents(
    std::vector<std::string> base, const std::vector<std::string>& relative);

// "C:\" for a root, "C:\a\b" below it.
std::string FormatFolderPath(char drive,
                             const std::vector<std::string>& components);

// A path to `name` in `folder`: "C:\a" + "x" = "C:\a\x", "C:\" + "x" = "C:\x".
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_DRIVE_PATH_H_

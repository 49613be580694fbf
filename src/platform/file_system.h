#ifndef PELLOQUIN_PLATFORM_FILE_SYSTEM_H_
#define PELLOQUIN_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace platform {

// Attribute bits of a directory entry.
inline constexpr uint32_t kAttrNormal = 0;
inline constexpr uint32_t kAttrReadOnly = 1;
inline constexpr uint32_t kAttrHidden = 2;
inline constexpr uint32_t kAttrSystem = 4;
inline constexpr uint32_t kAttrVolume = 8;
inline constexpr uint32_t kAttrFolder = 16;
inline constexpr uint32_t kAttrArchive = 32;

struct DriveInfo {
  char letter = 0;    // upper case: 'C'
  std::string label;  // may be empty
  std::string name;   // as the drive list shows it: "c:" or "d: [label]"
};

// The file system in drive-letter form. Paths are UTF-8 drive-letter paths
// with backslashes: "C:\" for a root, "C:\Photos\2024" below it; a file path
// may hold a doubled backslash ("C:\\a.jpg"). Runs of "\" and "/" count as one
// separator. Relative forms: "name" (current folder of the current drive),
// "\name" (root of the current drive), "D:name" (current folder of D:).
// "." and ".." resolve lexically and never climb above a root. A drive name
// as the drive list shows it ("d:", "d: [label]") stands for that drive's
// current folder.
//
// Every operation returns its failure as a Status naming the path and the
// host's reason, and leaves nothing changed when it fails, unless its comment
// says otherwise. Listing the drives touches none of them; making a drive or
// folder current and listing a folder wait a bounded time for the drive
// (kDriveAnswerWait), after which the drive is kNotReady.
class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // The drives, in letter order, re-read from the host each time, without
  // touching any of them: a stalled or empty drive is listed all the same,
  // and opening it tells whether it is ready.
  virtual std::vector<DriveInfo> ListDrives() = 0;

  // The current drive's letter.
  virtual char CurrentDrive() const = 0;

  // Makes the drive named ("d", "d:", "D:\...", "d: [label]") current; a
  // drive whose current folder has gone is made current at its root.
  // kNotReady for an unknown drive or one that is not ready.
  virtual Status ChangeDrive(std::string_view drive) = 0;

  // The current folder of a drive (0: the current drive), as a full folder
  // path. kNotReady for an unknown drive.
  virtual Result<std::string> CurrentFolder(char drive = 0) const = 0;

  // Makes the folder the current folder of the drive it lies on; the current
  // drive stays. If that is the current drive, the host working directory
  // follows. kPathNotFound when the folder does not exist.
  virtual Status ChangeFolder(std::string_view folder) = 0;

  // The full form of a path, resolved lexically against the current drive
  // and folders: "C:\" or "C:\a\b" (no trailing backslash below a root).
  // Touches nothing on disk; fails only for an unknown drive (kNotReady) or
  // text that is no path (kInvalidName).
  virtual Result<std::string> FullPath(std::string_view path) const = 0;

  // The names of the subfolders of a folder (symlinks to folders included),
  // in NameLess order (name_order.h: runs of digits by value, letters
  // case-insensitively, accented letters beside their base letters), without
  // "." and "..". Hidden folders are left
  // out, as hidden files are from the file list by default.
  virtual Result<std::vector<std::string>> ListFolders(
      std::string_view folder) = 0;

  // The names of the files (not folders) of a folder that match the pattern
  // ("*", "?", "*.*" matches every name, "*." names without a dot, several
  // patterns separated by ";", case-insensitive), in NameLess order.
  // Hidden and system files are left out unless `include` holds kAttrHidden
  // or kAttrSystem.
  virtual Result<std::vector<std::string>> ListFiles(
      std::string_view folder, std::string_view pattern,
      uint32_t include = kAttrNormal) = 0;

  // The name of the first entry that matches the last component of the path
  // (wildcards allowed) in its folder under the attribute mask: entries
  // whose hidden, system and folder bits all lie within the mask. Mask 0
  // finds plain files, 16 folders and plain files, 31 any entry; mask 8
  // alone finds the volume label. A name without wildcards is looked up as
  // the host spells names (case-sensitive where the host is); a pattern
  // matches case-insensitively and gives the first match in list order.
  // nullopt when nothing matches.
  virtual Result<std::optional<std::string>> FindFirst(std::string_view path,
                                                       uint32_t mask) = 0;

  // The attribute bits of an entry (never kAttrVolume on a listed entry).
  virtual Result<uint32_t> GetAttributes(std::string_view path) = 0;

  // Makes one new folder. kAlreadyExists when the name is taken,
  // kPathNotFound when its parent is missing.
  virtual Status MakeFolder(std::string_view path) = 0;

  // Renames or moves one file, also across folders and file systems, never
  // overwriting. Fails, changing nothing, when a file of the new path
  // exists (kAlreadyExists), the source is gone (kNotFound), or the
  // destination folder is missing (kPathNotFound) or not writable
  // (kAccessDenied). Folders and special files are refused (kUnsupported),
  // also one swapped in for the file while it is renamed. A failure names
  // the folder or file that refused.
  //
  // Other programs may act on the same names meanwhile. A newer version
  // saved over the source during a move is never deleted: the move then
  // fails (kIo, "The file changed while it was being moved; it was left
  // where it was.") and the newer version stays at the old path.
  //
  // After any failure, "did it but failed" reply or kill, the file exists,
  // whole, at its old path or its new path, or at both (kDuplicated says
  // so; a kill between copying and removing the source can leave both),
  // never at neither. On POSIX a kill while the source is being retired can
  // leave it under a hidden claim name in its old folder,
  // ".pelloquin-claim-<process>-<n>-<ticks>-<old name>"; the next move into
  // or out of that folder puts it back under its old name (when that is
  // still free), and removes the temporaries ".pelloquin-*.tmp" of moves
  // killed before they published their copy.
  virtual Status RenameFile(std::string_view from, std::string_view to) = 0;
};

// The host's file system, with its real drives and current folders.
std::unique_ptr<FileSystem> DefaultFileSystem();

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_FILE_SYSTEM_H_

#include <fcntl.h>

#include <cerrno>
#include <string>

#include "platform/posix/host_name.h"
#include "platform/posix/posix_file_system.h"

namespace platform::posix {
namespace {

constexpr const char* kMountTable = "/proc/self/mounts";
constexpr std::string_view kMountFolders[] = {"/media", "/run/media", "/mnt"};

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// A mount-table field with its octal escapes ("\040" for a space) decoded.
std::string DecodeField(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2]) &&
        IsOctalDigit(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 +
                               (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// The second whitespace-separated field of a line, or "" when it has none.
std::string_view MountPointField(std::string_view line) {
  constexpr std::string_view kBlanks = " \t";
  size_t start = line.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  start = line.find_first_of(kBlanks, start);
  if (start == std::string_view::npos) return {};
  start = line.find_first_not_of(kBlanks, start);
  if (start == std::string_view::npos) return {};
  size_t end = line.find_first_of(kBlanks, start);
  if (end == std::string_view::npos) end = line.size();
  return line.substr(start, end - start);
}

bool IsDriveMountPoint(std::string_view path) {
  for (std::string_view folder : kMountFolders) {
    if (path.substr(0, folder.size()) != folder) continue;
    std::string_view rest = path.substr(folder.size());
    if (rest.empty() || rest.front() == '/') return true;
  }
  return false;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string LastName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path
                                                     : path.substr(slash + 1));
}

// The whole text of a small file, or "" when it cannot be read.
std::string ReadSmallFile(const SysCalls& sys, const char* path) {
  int fd = sys.openat(AT_FDCWD, path, O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return {};
  std::string text;
  char buffer[8192];
  for (;;) {
    ssize_t got = sys.read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  sys.close(fd);
  return text;
}

}  // namespace

std::vector<DriveMapping> DrivesFromMountTable(std::string_view table) {
  std::vector<DriveMapping> drives = {DriveMapping{'C', "/", ""}};
  size_t pos = 0;
  while (pos < table.size() && drives.back().letter < 'Z') {
    size_t end = table.find('\n', pos);
    if (end == std::string_view::npos) end = table.size();
    std::string_view line = table.substr(pos, end - pos);
    pos = end + 1;
    std::string mount_point =
        WithoutTrailingSlashes(DecodeField(MountPointField(line)));
    if (!IsDriveMountPoint(mount_point)) continue;
    bool listed = false;
    for (const DriveMapping& drive : drives) {
      listed = listed || drive.host_folder == mount_point;
    }
    if (listed) continue;
    char letter = static_cast<char>(drives.back().letter + 1);
    std::string label = EscapeHostName(LastName(mount_point));
    drives.push_back(
        DriveMapping{letter, std::move(mount_point), std::move(label)});
  }
  return drives;
}

std::vector<DriveMapping> ReadHostDrives() {
  return DrivesFromMountTable(ReadSmallFile(RealSysCalls(), kMountTable));
}

}  // namespace platform::posix

#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/answer_within.h"
#include "platform/drive_path.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/host_name.h"

namespace platform::posix {
namespace {

constexpr size_t kMaxNameBytes = 255;

std::string DriveName(const DriveMapping& mapping) {
  std::string name{static_cast<char>(std::tolower(mapping.letter)), ':'};
  if (!mapping.label.empty()) name += " [" + mapping.label + "]";
  return name;
}

// The components of `host_path` below `host_folder`, or nullopt when the
// path does not lie inside that folder.
std::optional<std::vector<std::string>> HostComponentsBelow(
    std::string_view host_path, std::string_view host_folder) {
  if (host_folder != "/") {
    if (host_path.substr(0, host_folder.size()) != host_folder) return {};
    host_path.remove_prefix(host_folder.size());
    if (!host_path.empty() && host_path.front() != '/') return {};
  }
  std::vector<std::string> components;
  size_t pos = 0;
  while (pos < host_path.size()) {
    size_t end = host_path.find('/', pos);
    if (end == std::string_view::npos) end = host_path.size();
    if (end > pos) {
      components.push_back(EscapeHostName(host_path.substr(pos, end - pos)));
    }
    pos = end + 1;
  }
  return components;
}

}  // namespace

PosixFileSystem::PosixFileSystem(const SysCalls& sys)
    : PosixFileSystem(ReadHostDrives, sys) {}

PosixFileSystem::PosixFileSystem(
    std::function<std::vector<DriveMapping>()> read_drives, const SysCalls& sys)
    : PosixFileSystem(read_drives(), sys) {
  read_drives_ = std::move(read_drives);
}

PosixFileSystem::PosixFileSystem(std::vector<DriveMapping> drives,
                                 const SysCalls& sys)
    : sys_(sys), answer_wait_(kDriveAnswerWait) {
  for (DriveMapping& mapping : drives) {
    drives_.push_back(Drive{std::move(mapping), {}});
  }
  std::sort(drives_.begin(), drives_.end(), [](const Drive& a, const Drive& b) {
    return a.mapping.letter < b.mapping.letter;
  });
  if (!drives_.empty()) current_drive_ = drives_.front().mapping.letter;
  AdoptHostWorkingDirectory();
}

void PosixFileSystem::AdoptHostWorkingDirectory() {
  char buffer[PATH_MAX];
  if (sys_.getcwd(buffer, sizeof buffer) == nullptr) return;
  std::string_view cwd = buffer;
  Drive* best = nullptr;
  std::vector<std::string> best_components;
  for (Drive& drive : drives_) {
    const std::string& folder = drive.mapping.host_folder;
    if (best != nullptr && folder.size() <= best->mapping.host_folder.size()) {
      continue;
    }
    if (auto components = HostComponentsBelow(cwd, folder)) {
      best = &drive;
      best_components = std::move(*components);
    }
  }
  if (best == nullptr) return;
  best->current = std::move(best_components);
  current_drive_ = best->mapping.letter;
}

void PosixFileSystem::RefreshDrives() {
  if (!read_drives_) return;
  std::vector<Drive> fresh;
  for (DriveMapping& mapping : read_drives_()) {
    const Drive* old = FindDrive(mapping.letter);
    bool same =
        old != nullptr && old->mapping.host_folder == mapping.host_folder;
    fresh.push_back(Drive{std::move(mapping),
                          same ? old->current : std::vector<std::string>{}});
  }
  drives_ = std::move(fresh);
  // A current drive that is no longer mounted gives way to the drive that
  // holds the host working directory.
  if (FindDrive(current_drive_) == nullptr && !drives_.empty()) {
    current_drive_ = drives_.front().mapping.letter;
    AdoptHostWorkingDirectory();
  }
}

Status PosixFileSystem::CheckFolder(const std::string& host,
                                    const std::string& model) const {
  // The worker owns copies of all it uses: it may answer after this call.
  std::optional<Status> answer =
      AnswerWithin(answer_wait_, [sys = sys_, host, model]() {
        struct stat st;
        if (sys.fstatat(AT_FDCWD, host.c_str(), &st, 0) != 0) {
          Status status = StatusFromErrno(errno, model);
          return Status(Error::kPathNotFound, model, status.message());
        }
        if (!S_ISDIR(st.st_mode)) {
          return Status(Error::kPathNotFound, model, "It is not a folder.");
        }
        return Status();
      });
  return answer ? *answer : NotAnswering(model);
}

const PosixFileSystem::Drive* PosixFileSystem::FindDrive(char letter) const {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const Drive& drive : drives_) {
    if (drive.mapping.letter == letter) return &drive;
  }
  return nullptr;
}

PosixFileSystem::Drive* PosixFileSystem::FindDrive(char letter) {
  return const_cast<Drive*>(std::as_const(*this).FindDrive(letter));
}

std::vector<DriveInfo> PosixFileSystem::ListDrives() {
  RefreshDrives();
  std::vector<DriveInfo> drives;
  for (const Drive& drive : drives_) {
    drives.push_back(DriveInfo{drive.mapping.letter, drive.mapping.label,
                               DriveName(drive.mapping)});
  }
  return drives;
}

namespace {

// The letter a drive is named by: "d", "d:", "D:\...", "d: [label]".
char DriveLetterOf(std::string_view text) {
  if (text.size() == 1) {
    return DriveNameLetter(std::string(text) + ":").value_or(0);
  }
  Result<ParsedPath> parsed = ParsePath(text);
  return parsed.ok() ? parsed->drive : 0;
}

}  // namespace

Status PosixFileSystem::ChangeDrive(std::string_view drive_text) {
  char letter = DriveLetterOf(drive_text);
  Drive* drive = letter != 0 ? FindDrive(letter) : nullptr;
  if (drive == nullptr) {
    return Status(Error::kNotReady, std::string(drive_text),
                  "The drive is not ready.");
  }
  Status root = CheckFolder(drive->mapping.host_folder,
                            FormatFolderPath(drive->mapping.letter, {}));
  if (!root.ok()) {
    return Status(Error::kNotReady, std::string(drive_text),
                  root.code() == Error::kNotReady ? root.message()
                                                  : "The drive is not ready.");
  }
  Result<std::string> host = HostPathOf(Resolved{drive, drive->current});
  if (!host.ok()) return host.status();
  if (sys_.chdir(host->c_str()) != 0) {
    // The drive's current folder has gone since: its root takes its place,
    // as a drive whose folder vanished opens at the root.
    int error = errno;
    if (error != ENOENT ||
        sys_.chdir(drive->mapping.host_folder.c_str()) != 0) {
      return StatusFromErrno(error, FormatFolderPath(letter, drive->current));
    }
    drive->current.clear();
  }
  current_drive_ = drive->mapping.letter;
  return Status();
}

Result<std::string> PosixFileSystem::CurrentFolder(char letter) const {
  const Drive* drive = FindDrive(letter == 0 ? current_drive_ : letter);
  if (drive == nullptr) {
    return Status(Error::kNotReady, std::string{letter, ':'},
                  "The drive is not ready.");
  }
  return FormatFolderPath(drive->mapping.letter, drive->current);
}

Status PosixFileSystem::ChangeFolder(std::string_view folder) {
  Result<Resolved> resolved = Resolve(folder);
  if (!resolved.ok()) return resolved.status();
  Result<std::string> host = HostPathOf(*resolved);
  if (!host.ok()) return host.status();
  std::string model =
      FormatFolderPath(resolved->drive->mapping.letter, resolved->components);
  if (Status found = CheckFolder(*host, model); !found.ok()) return found;
  Drive* drive = FindDrive(resolved->drive->mapping.letter);
  if (drive->mapping.letter == current_drive_ &&
      sys_.chdir(host->c_str()) != 0) {
    return StatusFromErrno(errno, model);
  }
  drive->current = std::move(resolved->components);
  return Status();
}

Result<std::string> PosixFileSystem::FullPath(std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  return FormatFolderPath(resolved->drive->mapping.letter,
                          resolved->components);
}

Result<std::string> PosixFileSystem::ToHostPath(std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  return HostPathOf(*resolved);
}

Result<PosixFileSystem::Resolved> PosixFileSystem::Resolve(
    std::string_view path) const {
  Result<ParsedPath> parsed = ParsePath(path);
  if (!parsed.ok()) return parsed.status();
  const Drive* drive =
      FindDrive(parsed->drive != 0 ? parsed->drive : current_drive_);
  if (drive == nullptr) {
    return Status(Error::kNotReady, std::string(path),
                  "The drive is not ready.");
  }
  std::vector<std::string> base =
      parsed->rooted ? std::vector<std::string>{} : drive->current;
  return Resolved{drive,
                  ResolveComponents(std::move(base), parsed->components)};
}

Result<PosixFileSystem::Located> PosixFileSystem::Locate(
    Resolved resolved) const {
  Result<std::string> host = HostPathOf(resolved);
  if (!host.ok()) return host.status();
  std::string model =
      FormatFolderPath(resolved.drive->mapping.letter, resolved.components);
  return Located{std::move(resolved), std::move(*host), std::move(model)};
}

Result<PosixFileSystem::Located> PosixFileSystem::Locate(
    std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  return Locate(std::move(*resolved));
}

Result<std::string> PosixFileSystem::HostPathOf(
    const Resolved& resolved) const {
  std::string host = resolved.drive->mapping.host_folder;
  for (const std::string& component : resolved.components) {
    Result<std::string> name = UnescapeModelName(component);
    if (!name.ok()) return name.status();
    if (name->size() > kMaxNameBytes) {
      return Status(Error::kNameTooLong, component,
                    "The name is longer than 255 bytes.");
    }
    if (host.empty() || host.back() != '/') host += '/';
    host += *name;
  }
  return host;
}

}  // namespace platform::posix

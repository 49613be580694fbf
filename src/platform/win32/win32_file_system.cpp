#include "platform/win32/win32_file_system.h"

#include <cctype>
#include <optional>

#include "platform/answer_within.h"
#include "platform/drive_path.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_names.h"

namespace platform::win32 {
namespace {

constexpr std::wstring_view kLiteralPrefix = L"\\\\?\\";

char UpperLetter(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

Status NotReady(std::string_view drive) {
  return Status(Error::kNotReady, std::string(drive),
                "The drive is not ready.");
}

// "C:\" of a drive, as the host wants a root.
std::wstring RootOf(char letter) {
  return std::wstring{static_cast<wchar_t>(letter), L':', L'\\'};
}

// "=C:", the variable that holds a drive's current folder.
std::wstring FolderVariable(char letter) {
  return std::wstring{L'=', static_cast<wchar_t>(letter), L':'};
}

// The components of a host folder path ("C:\a\b", "\\?\C:\a") below the
// root of `letter`, or nullopt when the path lies on another drive.
std::optional<std::vector<std::string>> ComponentsOnDrive(
    std::wstring_view host, char letter) {
  if (host.starts_with(kLiteralPrefix))
    host.remove_prefix(kLiteralPrefix.size());
  Result<ParsedPath> parsed = ParsePath(ToUtf8(host));
  if (!parsed.ok() || parsed->drive != letter || !parsed->rooted) return {};
  return ResolveComponents({}, parsed->components);
}

// The letter a drive is named by: "d", "d:", "D:\...", "d: [label]".
char DriveLetterOf(std::string_view text) {
  if (text.size() == 1) {
    return DriveNameLetter(std::string(text) + ":").value_or(0);
  }
  Result<ParsedPath> parsed = ParsePath(text);
  return parsed.ok() ? parsed->drive : 0;
}

// Keeps the host's dialogs about missing media away while reading a drive.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_); }
  ~QuietDriveErrors() { ::SetThreadErrorMode(old_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD old_ = 0;
};

}  // namespace

Win32FileSystem::Win32FileSystem(const Win32Calls& calls)
    : calls_(calls), answer_wait_(kDriveAnswerWait) {}

std::string Win32FileSystem::Resolved::Model() const {
  return FormatFolderPath(drive, components);
}

bool Win32FileSystem::DriveExists(char letter) const {
  letter = UpperLetter(letter);
  if (letter < 'A' || letter > 'Z') return false;
  return (calls_.get_logical_drives() >> (letter - 'A')) & 1;
}

bool Win32FileSystem::IsFolder(const std::wstring& host) const {
  DWORD attributes = calls_.get_file_attributes(host.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<bool> Win32FileSystem::IsFolderWithin(
    const std::wstring& host) const {
  // The worker owns copies of all it uses: it may answer after this call.
  return AnswerWithin(answer_wait_, [calls = calls_, host]() {
    QuietDriveErrors quiet;
    DWORD attributes = calls.get_file_attributes(host.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  });
}

std::vector<DriveInfo> Win32FileSystem::ListDrives() {
  std::wstring buffer(256, L'\0');
  DWORD length = calls_.get_logical_drive_strings(
      static_cast<DWORD>(buffer.size()), buffer.data());
  if (length > buffer.size()) {
    buffer.assign(length, L'\0');
    length = calls_.get_logical_drive_strings(length, buffer.data());
  }
  if (length > buffer.size()) length = 0;
  buffer.resize(length);

  QuietDriveErrors quiet;
  std::vector<DriveInfo> drives;
  size_t pos = 0;
  while (pos < buffer.size()) {
    size_t end = buffer.find(L'\0', pos);
    if (end == std::wstring::npos) end = buffer.size();
    std::wstring root = buffer.substr(pos, end - pos);
    pos = end + 1;
    if (root.size() < 2 || root[1] != L':' || root[0] > 0x7F) continue;
    DriveInfo drive;
    drive.letter = UpperLetter(static_cast<char>(root[0]));
    // Only a fixed disk is asked for its label: asking a network, removable
    // or optical drive waits on its medium or its server.
    wchar_t label[MAX_PATH + 1] = {};
    if (calls_.get_drive_type(root.c_str()) == DRIVE_FIXED &&
        calls_.get_volume_information(root.c_str(), label, MAX_PATH + 1,
                                      nullptr, nullptr, nullptr, nullptr,
                                      0) != 0) {
      drive.label = ToUtf8(label);
    }
    drive.name = {static_cast<char>(std::tolower(drive.letter)), ':'};
    if (!drive.label.empty()) drive.name += " [" + drive.label + "]";
    drives.push_back(std::move(drive));
  }
  return drives;
}

char Win32FileSystem::CurrentDrive() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = calls_.get_current_directory(MAX_PATH + 1, buffer);
  std::wstring_view cwd(buffer, length <= MAX_PATH ? length : 0);
  if (cwd.starts_with(kLiteralPrefix)) cwd.remove_prefix(kLiteralPrefix.size());
  if (cwd.size() >= 2 && cwd[1] == L':' && cwd[0] < 0x80 &&
      std::isalpha(static_cast<int>(cwd[0]))) {
    return UpperLetter(static_cast<char>(cwd[0]));
  }
  // A working directory on a network share has no drive: the first drive
  // stands in for it.
  DWORD drives = calls_.get_logical_drives();
  for (int bit = 0; bit < 26; ++bit) {
    if ((drives >> bit) & 1) return static_cast<char>('A' + bit);
  }
  return 'C';
}

std::vector<std::string> Win32FileSystem::CurrentComponents(char letter) const {
  std::wstring folder(MAX_PATH + 1, L'\0');
  DWORD length = 0;
  if (letter == CurrentDrive()) {
    length = calls_.get_current_directory(static_cast<DWORD>(folder.size()),
                                          folder.data());
  } else {
    length = calls_.get_environment_variable(FolderVariable(letter).c_str(),
                                             folder.data(),
                                             static_cast<DWORD>(folder.size()));
  }
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  return ComponentsOnDrive(folder, letter).value_or(std::vector<std::string>{});
}

void Win32FileSystem::RememberFolder(char letter,
                                     const std::string& model_folder) const {
  if (std::optional<std::wstring> wide = ToWide(model_folder)) {
    calls_.set_environment_variable(FolderVariable(letter).c_str(),
                                    wide->c_str());
  }
}

Result<std::string> Win32FileSystem::CurrentFolder(char drive) const {
  char letter = drive == 0 ? CurrentDrive() : UpperLetter(drive);
  if (!DriveExists(letter)) return NotReady(std::string{letter, ':'});
  return FormatFolderPath(letter, CurrentComponents(letter));
}

Status Win32FileSystem::ChangeDrive(std::string_view drive_text) {
  char letter = DriveLetterOf(drive_text);
  if (letter == 0 || !DriveExists(letter)) return NotReady(drive_text);
  std::optional<bool> root =
      IsFolderWithin(std::wstring(kLiteralPrefix) + RootOf(letter));
  if (!root) return NotAnswering(std::string(drive_text));
  if (!*root) return NotReady(drive_text);
  char current = CurrentDrive();
  if (letter == current) return Status();
  RememberFolder(current,
                 FormatFolderPath(current, CurrentComponents(current)));
  std::string folder = FormatFolderPath(letter, CurrentComponents(letter));
  std::optional<std::wstring> wide = ToWide(folder);
  if (!wide || !calls_.set_current_directory(wide->c_str())) {
    // The drive's current folder has gone since: its root takes its place.
    folder = FormatFolderPath(letter, {});
    if (!calls_.set_current_directory(RootOf(letter).c_str())) {
      return StatusFromWin32Error(::GetLastError(), folder);
    }
  }
  RememberFolder(letter, folder);
  return Status();
}

Status Win32FileSystem::ChangeFolder(std::string_view folder) {
  Result<Resolved> resolved = Resolve(folder);
  if (!resolved.ok()) return resolved.status();
  Result<std::wstring> host = HostPathOf(*resolved);
  if (!host.ok()) return host.status();
  std::string model = resolved->Model();
  DWORD attributes = calls_.get_file_attributes(host->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Status status = StatusFromWin32Error(::GetLastError(), model);
    return Status(Error::kPathNotFound, model, status.message());
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return Status(Error::kPathNotFound, model, "It is not a folder.");
  }
  if (resolved->drive == CurrentDrive()) {
    std::optional<std::wstring> wide = ToWide(model);
    if (!wide || !calls_.set_current_directory(wide->c_str())) {
      return StatusFromWin32Error(::GetLastError(), model);
    }
  }
  RememberFolder(resolved->drive, model);
  return Status();
}

Result<std::string> Win32FileSystem::FullPath(std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  return resolved->Model();
}

Result<std::wstring> Win32FileSystem::ToHostPath(std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  return HostPathOf(*resolved);
}

Result<Win32FileSystem::Resolved> Win32FileSystem::Resolve(
    std::string_view path) const {
  Result<ParsedPath> parsed = ParsePath(path);
  if (!parsed.ok()) return parsed.status();
  char letter = parsed->drive != 0 ? parsed->drive : CurrentDrive();
  if (!DriveExists(letter)) return NotReady(path);
  std::vector<std::string> base =
      parsed->rooted ? std::vector<std::string>{} : CurrentComponents(letter);
  return Resolved{letter,
                  ResolveComponents(std::move(base), parsed->components)};
}

Result<std::wstring> Win32FileSystem::HostPathOf(const Resolved& resolved,
                                                 bool wildcard_last) const {
  std::wstring host = std::wstring(kLiteralPrefix) + RootOf(resolved.drive);
  for (size_t i = 0; i < resolved.components.size(); ++i) {
    const std::string& component = resolved.components[i];
    bool last = i + 1 == resolved.components.size();
    Status status = CheckHostName(component, wildcard_last && last);
    if (!status.ok()) return status;
    if (host.back() != L'\\') host += L'\\';
    host += *ToWide(component);
  }
  return host;
}

Result<Win32FileSystem::Resolved> Win32FileSystem::ResolveNewEntry(
    std::string_view path) const {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  if (resolved->components.empty()) {
    return Status(Error::kAlreadyExists, resolved->Model(),
                  "The drive's root exists.");
  }
  Result<std::string> name = NewEntryName(resolved->components.back());
  if (!name.ok()) {
    return Status(name.status().code(), resolved->Model(),
                  name.status().message());
  }
  resolved->components.back() = std::move(*name);
  return resolved;
}

}  // namespace platform::win32

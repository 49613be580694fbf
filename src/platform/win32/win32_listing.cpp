#include <optional>
#include <string>
#include <vector>

#include "platform/answer_within.h"
#include "platform/drive_path.h"
#include "platform/name_order.h"
#include "platform/wildcard.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_names.h"

namespace platform::win32 {
namespace {

// The host's attribute bits that the program's attributes carry: the low
// bits mean the same on both sides.
constexpr uint32_t kCarriedBits =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
constexpr uint32_t kMaskedBits = kAttrHidden | kAttrSystem | kAttrFolder;

static_assert(FILE_ATTRIBUTE_READONLY == kAttrReadOnly &&
              FILE_ATTRIBUTE_HIDDEN == kAttrHidden &&
              FILE_ATTRIBUTE_SYSTEM == kAttrSystem &&
              FILE_ATTRIBUTE_DIRECTORY == kAttrFolder &&
              FILE_ATTRIBUTE_ARCHIVE == kAttrArchive);

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' &&
         (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsFolderEntry(uint32_t attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True when the entry's hidden, system and folder bits all lie within the
// mask.
bool WithinMask(uint32_t attributes, uint32_t mask) {
  return (attributes & kMaskedBits & ~mask) == 0;
}

// The failure of a folder that cannot be listed; a missing one is
// kPathNotFound, whatever the host's words.
Status FolderStatus(DWORD error, const std::string& model_folder) {
  Status status = StatusFromWin32Error(error, model_folder);
  if (status.code() == Error::kNotFound || error == ERROR_INVALID_NAME) {
    return Status(Error::kPathNotFound, model_folder, status.message());
  }
  return status;
}

// The matching names among the entries `keep` accepts, sorted as a list
// shows them.
template <typename Keep>
std::vector<std::string> SortedMatches(std::vector<HostEntry> entries,
                                       const WildcardPattern& pattern,
                                       Keep keep) {
  std::vector<KeyedName> found;
  for (HostEntry& entry : entries) {
    if (!keep(entry.attributes)) continue;
    if (!pattern.MatchesFolded(FoldCase(entry.name))) continue;
    KeyedName& kept = found.emplace_back(KeyedName{{}, std::move(entry.name)});
    NameKeyInto(kept.name, kept.key);
  }
  return SortKeyedNames(std::move(found));
}

}  // namespace

namespace {

// Every entry of a host folder but "." and "..".
Result<std::vector<HostEntry>> ReadHostFolder(const Win32Calls& calls,
                                              const std::wstring& host,
                                              const std::string& model) {
  std::wstring pattern = host;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  // Every name, matched here rather than by the host, whose patterns also
  // match the short 8.3 names ("*.jpg" would find "a.jpeg").
  WIN32_FIND_DATAW data;
  HANDLE find = calls.find_first_file_ex(pattern.c_str(), FindExInfoBasic,
                                         &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
  std::vector<HostEntry> entries;
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    // An empty root has not even "." to list.
    DWORD attributes = calls.get_file_attributes(host.c_str());
    bool is_folder = attributes != INVALID_FILE_ATTRIBUTES &&
                     (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (error == ERROR_FILE_NOT_FOUND && is_folder) return entries;
    return FolderStatus(error, model);
  }
  DWORD error = 0;
  for (;;) {
    if (!IsDots(data.cFileName)) {
      entries.push_back(
          HostEntry{ToUtf8(data.cFileName), data.dwFileAttributes});
    }
    if (!calls.find_next_file(find, &data)) {
      error = ::GetLastError();
      break;
    }
  }
  calls.find_close(find);
  if (error != ERROR_NO_MORE_FILES) return FolderStatus(error, model);
  return entries;
}

}  // namespace

Result<std::vector<HostEntry>> Win32FileSystem::ReadFolder(
    const Resolved& folder) const {
  Result<std::wstring> host = HostPathOf(folder);
  if (!host.ok()) return host.status();
  std::string model = folder.Model();
  // The worker owns copies of all it uses: it may answer after this call.
  std::optional<Result<std::vector<HostEntry>>> answer =
      AnswerWithin(answer_wait_, [calls = calls_, host = *host, model]() {
        DWORD old_mode = 0;
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
        return ReadHostFolder(calls, host, model);
      });
  if (!answer) return NotAnswering(model);
  return std::move(*answer);
}

Result<std::vector<std::string>> Win32FileSystem::ListFolders(
    std::string_view folder) {
  Result<Resolved> resolved = Resolve(folder);
  if (!resolved.ok()) return resolved.status();
  Result<std::vector<HostEntry>> entries = ReadFolder(*resolved);
  if (!entries.ok()) return entries.status();
  // Hidden folders stay out, as they do in the file list by default and in
  // the host's own file manager.
  return SortedMatches(std::move(*entries), WildcardPattern::List(""),
                       [](uint32_t attributes) {
                         return IsFolderEntry(attributes) &&
                                (attributes & FILE_ATTRIBUTE_HIDDEN) == 0;
                       });
}

Result<std::vector<std::string>> Win32FileSystem::ListFiles(
    std::string_view folder, std::string_view pattern, uint32_t include) {
  Result<Resolved> resolved = Resolve(folder);
  if (!resolved.ok()) return resolved.status();
  Result<std::vector<HostEntry>> entries = ReadFolder(*resolved);
  if (!entries.ok()) return entries.status();
  uint32_t left_out = (kAttrHidden | kAttrSystem) & ~include;
  return SortedMatches(std::move(*entries), WildcardPattern::List(pattern),
                       [left_out](uint32_t attributes) {
                         return !IsFolderEntry(attributes) &&
                                (attributes & left_out) == 0;
                       });
}

Result<std::optional<std::string>> Win32FileSystem::FindFirst(
    std::string_view path, uint32_t mask) {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  if (mask == kAttrVolume) {
    wchar_t label[MAX_PATH + 1] = {};
    std::wstring root{static_cast<wchar_t>(resolved->drive), L':', L'\\'};
    bool read = calls_.get_volume_information(root.c_str(), label, MAX_PATH + 1,
                                              nullptr, nullptr, nullptr,
                                              nullptr, 0) != 0;
    if (!read || label[0] == L'\0') return std::optional<std::string>();
    return std::optional<std::string>(ToUtf8(label));
  }
  // A drive's root is no entry of any folder.
  if (resolved->components.empty()) return std::optional<std::string>();
  std::string name = std::move(resolved->components.back());
  resolved->components.pop_back();
  Status checked = CheckHostName(name, /*allow_wildcards=*/true);
  if (!checked.ok()) return std::optional<std::string>();

  if (!HasWildcards(name)) {
    // Looked up as a new entry is named (MakeFolder, RenameFile): without
    // trailing dots and blanks, as Windows itself reads names.
    Result<std::string> spelled = NewEntryName(name);
    if (!spelled.ok()) return std::optional<std::string>();
    name = std::move(*spelled);
    Result<std::wstring> folder = HostPathOf(*resolved);
    if (!folder.ok()) return folder.status();
    if (!IsFolder(*folder)) {
      return FolderStatus(ERROR_PATH_NOT_FOUND, resolved->Model());
    }
    std::wstring host = *folder;
    if (host.back() != L'\\') host += L'\\';
    host += *ToWide(name);
    DWORD attributes = calls_.get_file_attributes(host.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !WithinMask(attributes, mask)) {
      return std::optional<std::string>();
    }
    return std::optional<std::string>(name);
  }

  Result<std::vector<HostEntry>> entries = ReadFolder(*resolved);
  if (!entries.ok()) return entries.status();
  std::vector<std::string> found = SortedMatches(
      std::move(*entries), WildcardPattern::One(name),
      [mask](uint32_t attributes) { return WithinMask(attributes, mask); });
  if (found.empty()) return std::optional<std::string>();
  return std::optional<std::string>(std::move(found.front()));
}

Result<uint32_t> Win32FileSystem::GetAttributes(std::string_view path) {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  Result<std::wstring> host = HostPathOf(*resolved);
  if (!host.ok()) return host.status();
  DWORD attributes = calls_.get_file_attributes(host->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return StatusFromWin32Error(::GetLastError(), resolved->Model());
  }
  return static_cast<uint32_t>(attributes & kCarriedBits);
}

Status Win32FileSystem::MakeFolder(std::string_view path) {
  Result<Resolved> resolved = ResolveNewEntry(path);
  if (!resolved.ok()) return resolved.status();
  Result<std::wstring> host = HostPathOf(*resolved);
  if (!host.ok()) return host.status();
  if (calls_.create_directory(host->c_str(), nullptr)) return Status();
  DWORD error = ::GetLastError();
  return FolderStatus(
      error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error,
      resolved->Model());
}

}  // namespace platform::win32

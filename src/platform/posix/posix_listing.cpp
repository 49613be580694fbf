#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/answer_within.h"
#include "platform/drive_path.h"
#include "platform/name_order.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/host_name.h"
#include "platform/posix/posix_file_system.h"
#include "platform/wildcard.h"

namespace platform::posix {
namespace {

enum class EntryKind { kFolder, kFile, kSystem };

constexpr uint32_t kMaskedBits = kAttrHidden | kAttrSystem | kAttrFolder;

// A folder open for reading its entries; closed when the object goes.
class FolderReader {
 public:
  FolderReader(const SysCalls& sys, DIR* dir) : sys_(sys), dir_(dir) {}
  FolderReader(FolderReader&& other) noexcept
      : sys_(other.sys_), dir_(other.dir_) {
    other.dir_ = nullptr;
  }
  FolderReader& operator=(FolderReader&&) = delete;
  ~FolderReader() {
    if (dir_ != nullptr) sys_.closedir(dir_);
  }

  int fd() const { return ::dirfd(dir_); }

  // The next entry other than "." and "..", nullptr at the end or on an
  // error (then error() tells it).
  const struct dirent* Next() {
    for (;;) {
      errno = 0;
      const struct dirent* entry = sys_.readdir(dir_);
      if (entry == nullptr) {
        error_ = errno;
        return nullptr;
      }
      const char* name = entry->d_name;
      bool dots = name[0] == '.' &&
                  (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
      if (!dots) return entry;
    }
  }
  int error() const { return error_; }

 private:
  const SysCalls& sys_;
  DIR* dir_;
  int error_ = 0;
};

// The failure of a folder that cannot be opened or read; a missing one is
// kPathNotFound, whatever the host's words.
Status FolderStatus(int error, const std::string& model_folder) {
  Status status = StatusFromErrno(error, model_folder);
  if (error == ENOENT || error == ENOTDIR) {
    return Status(Error::kPathNotFound, model_folder, status.message());
  }
  return status;
}

Result<FolderReader> OpenFolder(const SysCalls& sys, const std::string& host,
                                const std::string& model_folder) {
  int fd =
      sys.openat(AT_FDCWD, host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return FolderStatus(errno, model_folder);
  DIR* dir = sys.fdopendir(fd);
  if (dir == nullptr) {
    int error = errno;
    sys.close(fd);
    return FolderStatus(error, model_folder);
  }
  return FolderReader(sys, dir);
}

std::optional<EntryKind> KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  if (S_ISREG(mode)) return EntryKind::kFile;
  return EntryKind::kSystem;
}

// The kind the entry's type tells without a stat; nullopt for a symlink
// (a link to a folder is a folder) and for an unknown type.
std::optional<EntryKind> KindOfType(unsigned char type) {
  switch (type) {
    case DT_DIR:
      return EntryKind::kFolder;
    case DT_REG:
      return EntryKind::kFile;
    case DT_LNK:
    case DT_UNKNOWN:
      return std::nullopt;
    default:
      return EntryKind::kSystem;
  }
}

// The kind of a symlink: the folder it leads to, otherwise a file (also
// when it leads nowhere).
EntryKind KindOfLink(const SysCalls& sys, int dir_fd, const char* name) {
  struct stat target;
  bool to_folder =
      sys.fstatat(dir_fd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
  return to_folder ? EntryKind::kFolder : EntryKind::kFile;
}

// The kind of an entry by stat, a symlink as KindOfLink tells it. nullopt
// (errno set) when the entry is not there.
std::optional<EntryKind> KindByStat(const SysCalls& sys, int dir_fd,
                                    const char* name) {
  struct stat st;
  if (sys.fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return std::nullopt;
  }
  if (S_ISLNK(st.st_mode)) return KindOfLink(sys, dir_fd, name);
  return KindOfMode(st.st_mode);
}

// The kind of a listed entry, stat'ing only where its type does not tell.
std::optional<EntryKind> KindOfEntry(const SysCalls& sys, int dir_fd,
                                     const struct dirent& entry) {
  if (entry.d_type == DT_LNK) return KindOfLink(sys, dir_fd, entry.d_name);
  return KindByStat(sys, dir_fd, entry.d_name);
}

uint32_t KindBits(EntryKind kind) {
  switch (kind) {
    case EntryKind::kFolder:
      return kAttrFolder;
    case EntryKind::kSystem:
      return kAttrSystem;
    case EntryKind::kFile:
      break;
  }
  return 0;
}

bool IsHiddenName(const char* host_name) { return host_name[0] == '.'; }

// True when the entry's hidden, system and folder bits all lie within the
// mask.
bool WithinMask(uint32_t attributes, uint32_t mask) {
  return (attributes & kMaskedBits & ~mask) == 0;
}

// Every entry of the folder whose kind `keep` accepts and whose model name
// matches, sorted. Entries `skip_early` refuses by name and type alone are
// never stat'ed.
template <typename SkipEarly, typename Keep>
Result<std::vector<std::string>> CollectEntries(
    const SysCalls& sys, FolderReader& reader, const WildcardPattern& pattern,
    const std::string& model_folder, SkipEarly skip_early, Keep keep) {
  std::vector<KeyedName> found;
  std::string key;  // reused: most names of a filtered folder do not match
  while (const struct dirent* entry = reader.Next()) {
    std::optional<EntryKind> kind = KindOfType(entry->d_type);
    if (skip_early(*entry, kind)) continue;
    std::string_view host_name = entry->d_name;
    bool as_is = IsPlainName(host_name);
    std::string escaped = as_is ? std::string() : EscapeHostName(host_name);
    std::string_view name = as_is ? host_name : std::string_view(escaped);
    if (!pattern.MatchesEverything()) {
      FoldCaseInto(name, key);
      if (!pattern.MatchesFolded(key)) continue;
    }
    if (!kind) kind = KindOfEntry(sys, reader.fd(), *entry);
    if (!kind || !keep(*entry, *kind)) continue;
    KeyedName& kept = found.emplace_back(KeyedName{{}, std::string(name)});
    NameKeyInto(name, kept.key);
  }
  if (reader.error() != 0) return FolderStatus(reader.error(), model_folder);
  return SortKeyedNames(std::move(found));
}

Result<std::vector<std::string>> ReadSubfolders(const SysCalls& sys,
                                                const std::string& host,
                                                const std::string& model) {
  Result<FolderReader> reader = OpenFolder(sys, host, model);
  if (!reader.ok()) return reader.status();
  // Hidden folders stay out, as they do in the file list by default and in
  // the host's own file managers: a home folder would otherwise open on a
  // screenful of settings folders.
  auto skip_early = [](const struct dirent& entry,
                       std::optional<EntryKind> kind) {
    return IsHiddenName(entry.d_name) || (kind && kind != EntryKind::kFolder);
  };
  auto keep = [](const struct dirent&, EntryKind kind) {
    return kind == EntryKind::kFolder;
  };
  return CollectEntries(sys, *reader, WildcardPattern::List(""), model,
                        skip_early, keep);
}

Result<std::vector<std::string>> ReadFiles(const SysCalls& sys,
                                           const std::string& host,
                                           const std::string& model,
                                           std::string_view pattern,
                                           uint32_t include) {
  Result<FolderReader> reader = OpenFolder(sys, host, model);
  if (!reader.ok()) return reader.status();
  bool with_hidden = (include & kAttrHidden) != 0;
  bool with_system = (include & kAttrSystem) != 0;
  auto wanted = [=](std::optional<EntryKind> kind) {
    return !kind || *kind == EntryKind::kFile ||
           (*kind == EntryKind::kSystem && with_system);
  };
  auto skip_early = [&](const struct dirent& entry,
                        std::optional<EntryKind> kind) {
    return (IsHiddenName(entry.d_name) && !with_hidden) || !wanted(kind);
  };
  auto keep = [&](const struct dirent&, EntryKind kind) {
    return wanted(kind);
  };
  return CollectEntries(sys, *reader, WildcardPattern::List(pattern), model,
                        skip_early, keep);
}

// The listing `read` makes, or kNotReady when the drive has not answered
// within `wait`. `read` runs on a thread of its own and must own all it
// uses.
template <typename Read>
Result<std::vector<std::string>> ReadWithin(std::chrono::milliseconds wait,
                                            const std::string& model,
                                            Read read) {
  std::optional<Result<std::vector<std::string>>> answer =
      AnswerWithin(wait, std::move(read));
  if (!answer) return NotAnswering(model);
  return std::move(*answer);
}

}  // namespace

Result<std::vector<std::string>> PosixFileSystem::ListFolders(
    std::string_view folder) {
  Result<Located> located = Locate(folder);
  if (!located.ok()) return located.status();
  return ReadWithin(
      answer_wait_, located->model,
      [sys = sys_, host = located->host, model = located->model]() {
        return ReadSubfolders(sys, host, model);
      });
}

Result<std::vector<std::string>> PosixFileSystem::ListFiles(
    std::string_view folder, std::string_view pattern, uint32_t include) {
  Result<Located> located = Locate(folder);
  if (!located.ok()) return located.status();
  return ReadWithin(answer_wait_, located->model,
                    [sys = sys_, host = located->host, model = located->model,
                     pattern = std::string(pattern), include]() {
                      return ReadFiles(sys, host, model, pattern, include);
                    });
}

Result<std::optional<std::string>> PosixFileSystem::FindFirst(
    std::string_view path, uint32_t mask) {
  Result<Resolved> resolved = Resolve(path);
  if (!resolved.ok()) return resolved.status();
  if (mask == kAttrVolume) {
    const std::string& label = resolved->drive->mapping.label;
    if (label.empty()) return std::optional<std::string>();
    return std::optional<std::string>(label);
  }
  // A drive's root is no entry of any folder.
  if (resolved->components.empty()) return std::optional<std::string>();
  std::string name = std::move(resolved->components.back());
  resolved->components.pop_back();
  Result<Located> folder = Locate(std::move(*resolved));
  if (!folder.ok()) return folder.status();
  return HasWildcards(name) ? FindPattern(*folder, name, mask)
                            : FindName(*folder, name, mask);
}

Result<std::optional<std::string>> PosixFileSystem::FindName(
    const Located& folder, const std::string& name, uint32_t mask) {
  Result<FolderReader> reader = OpenFolder(sys_, folder.host, folder.model);
  if (!reader.ok()) return reader.status();
  // Case follows the host: a plain name is looked up as it is. A name the
  // model cannot hold names no entry.
  Result<std::string> host_name = UnescapeModelName(name);
  if (!host_name.ok()) return std::optional<std::string>();
  std::optional<EntryKind> kind =
      KindByStat(sys_, reader->fd(), host_name->c_str());
  if (!kind) return std::optional<std::string>();
  uint32_t hidden = IsHiddenName(host_name->c_str()) ? kAttrHidden : 0;
  if (!WithinMask(hidden | KindBits(*kind), mask)) {
    return std::optional<std::string>();
  }
  return std::optional<std::string>(name);
}

Result<std::optional<std::string>> PosixFileSystem::FindPattern(
    const Located& folder, const std::string& pattern, uint32_t mask) {
  Result<FolderReader> reader = OpenFolder(sys_, folder.host, folder.model);
  if (!reader.ok()) return reader.status();
  auto bits = [](const struct dirent& entry, std::optional<EntryKind> kind) {
    uint32_t hidden = IsHiddenName(entry.d_name) ? kAttrHidden : 0;
    return hidden | (kind ? KindBits(*kind) : 0);
  };
  auto skip_early = [&](const struct dirent& entry,
                        std::optional<EntryKind> kind) {
    return !WithinMask(bits(entry, kind), mask);
  };
  auto keep = [&](const struct dirent& entry, EntryKind kind) {
    return WithinMask(bits(entry, kind), mask);
  };
  Result<std::vector<std::string>> found =
      CollectEntries(sys_, *reader, WildcardPattern::One(pattern), folder.model,
                     skip_early, keep);
  if (!found.ok()) return found.status();
  if (found->empty()) return std::optional<std::string>();
  // The first in list order, whatever order the host keeps.
  return std::optional<std::string>(std::move(found->front()));
}

Result<uint32_t> PosixFileSystem::GetAttributes(std::string_view path) {
  Result<Located> located = Locate(path);
  if (!located.ok()) return located.status();
  const char* host = located->host.c_str();
  std::optional<EntryKind> kind = KindByStat(sys_, AT_FDCWD, host);
  if (!kind) return StatusFromErrno(errno, located->model);
  uint32_t attributes = KindBits(*kind);
  if (*kind == EntryKind::kFile) {
    struct stat target;
    bool regular = sys_.fstatat(AT_FDCWD, host, &target, 0) == 0 &&
                   S_ISREG(target.st_mode);
    if (regular) attributes |= kAttrArchive;
  }
  const std::vector<std::string>& components = located->resolved.components;
  if (!components.empty() && components.back().front() == '.') {
    attributes |= kAttrHidden;
  }
  if (sys_.faccessat(AT_FDCWD, host, W_OK, AT_EACCESS) != 0 &&
      (errno == EACCES || errno == EROFS || errno == EPERM)) {
    attributes |= kAttrReadOnly;
  }
  return attributes;
}

Status PosixFileSystem::MakeFolder(std::string_view path) {
  Result<Located> located = Locate(path);
  if (!located.ok()) return located.status();
  if (located->resolved.components.empty()) {
    return Status(Error::kAlreadyExists, located->model,
                  "The drive's root exists.");
  }
  if (sys_.mkdirat(AT_FDCWD, located->host.c_str(), 0777) == 0) {
    return Status();
  }
  return FolderStatus(errno, located->model);
}

}  // namespace platform::posix

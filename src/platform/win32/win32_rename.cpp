#include <atomic>
#include <string>
#include <vector>

#include "platform/drive_path.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_file_system.h"

namespace platform::win32 {
namespace {

constexpr DWORD kCopyChunk = 1 << 20;
constexpr int kTemporaryNameTries = 16;
// The attributes a copy takes over from its source.
constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A handle, closed when the object goes.
class Handle {
 public:
  Handle(const Win32Calls& calls, HANDLE handle)
      : calls_(calls), handle_(handle) {}
  ~Handle() {
    if (valid()) calls_.close_handle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now. Whatever CloseHandle reports, the handle is gone, so there
  // is nothing to report.
  void Close() {
    if (valid()) calls_.close_handle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  const Win32Calls& calls_;
  HANDLE handle_;
};

// Marks the file of an open handle for deletion when it closes: the very
// file the handle was opened on, whatever name it has by then.
bool DeleteOnClose(const Win32Calls& calls, HANDLE handle) {
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = TRUE;
  return calls.set_file_information_by_handle(handle, FileDispositionInfo,
                                              &disposition,
                                              sizeof disposition) != 0;
}

bool SetAttributes(const Win32Calls& calls, HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO basic = {};  // zero times: left as they are
  basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
  return calls.set_file_information_by_handle(handle, FileBasicInfo, &basic,
                                              sizeof basic) != 0;
}

bool SetTimes(const Win32Calls& calls, HANDLE handle,
              const BY_HANDLE_FILE_INFORMATION& source) {
  auto ticks = [](const FILETIME& time) {
    LARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return value;
  };
  FILE_BASIC_INFO basic = {};  // zero attributes: left as they are
  basic.CreationTime = ticks(source.ftCreationTime);
  basic.LastAccessTime = ticks(source.ftLastAccessTime);
  basic.LastWriteTime = ticks(source.ftLastWriteTime);
  return calls.set_file_information_by_handle(handle, FileBasicInfo, &basic,
                                              sizeof basic) != 0;
}

// Renames the file of an open handle, never over an existing entry.
bool RenameNoReplace(const Win32Calls& calls, HANDLE handle,
                     const std::wstring& to) {
  size_t name_bytes = to.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name_bytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name_bytes);
  std::copy(to.begin(), to.end(), info->FileName);
  return calls.set_file_information_by_handle(
             handle, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) !=
         0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a,
              const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool SameFileUnchanged(const BY_HANDLE_FILE_INFORMATION& a,
                       const BY_HANDLE_FILE_INFORMATION& b) {
  return SameFile(a, b) && a.nFileSizeHigh == b.nFileSizeHigh &&
         a.nFileSizeLow == b.nFileSizeLow &&
         a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
         a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime;
}

// A name for the copy in progress, hidden in the destination folder until
// it is whole.
std::wstring TemporaryName() {
  static std::atomic<unsigned> counter{0};
  return L"~pelloquin-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(counter++) + L".tmp";
}

Status Failed(std::string_view path) {
  return StatusFromWin32Error(::GetLastError(), path);
}

// Removes what stands under a temporary name whose creation reported
// failure: a create can take effect and its reply still be lost. The name
// holds this process's id and a count it hands out once, so whatever bears
// it is this call's, or left by a process that no longer runs. Keeps the
// creation's error.
void RemoveFailedTemporary(const Win32Calls& calls,
                           const std::wstring& temporary) {
  DWORD error = ::GetLastError();
  HANDLE handle = calls.create_file(
      temporary.c_str(), DELETE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    if (SetAttributes(calls, handle, FILE_ATTRIBUTE_NORMAL)) {
      DeleteOnClose(calls, handle);
    }
    calls.close_handle(handle);
  }
  ::SetLastError(error);
}

// A new hidden file under a temporary name in `folder` (ending in "\\"),
// open for writing and deleting, and its name; INVALID_HANDLE_VALUE and
// GetLastError when the host refuses.
HANDLE CreateTemporaryIn(const Win32Calls& calls, const std::wstring& folder,
                         std::wstring& name) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    name = TemporaryName();
    std::wstring temporary = folder + name;
    HANDLE handle =
        calls.create_file(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    bool taken = ::GetLastError() == ERROR_FILE_EXISTS;
    RemoveFailedTemporary(calls, temporary);
    if (!taken) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

// Copies everything from `from` to `to`, from where each stands.
bool CopyContent(const Win32Calls& calls, HANDLE from, HANDLE to) {
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    DWORD got = 0;
    if (!calls.read_file(from, buffer.data(), kCopyChunk, &got, nullptr)) {
      return false;
    }
    if (got == 0) return true;
    DWORD done = 0;
    while (done < got) {
      DWORD wrote = 0;
      if (!calls.write_file(to, buffer.data() + done, got - done, &wrote,
                            nullptr)) {
        return false;
      }
      if (wrote == 0) {
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
      }
      done += wrote;
    }
  }
}

}  // namespace

Status Win32FileSystem::RenameFile(std::string_view from, std::string_view to) {
  Result<Resolved> source = Resolve(from);
  if (!source.ok()) return source.status();
  if (source->components.empty()) {
    return Status(Error::kUnsupported, source->Model(),
                  "A drive's root cannot be renamed.");
  }
  Result<Resolved> target = ResolveNewEntry(to);
  if (!target.ok()) return target.status();
  Resolved folder = *target;
  folder.components.pop_back();
  Result<std::wstring> host_from = HostPathOf(*source);
  if (!host_from.ok()) return host_from.status();
  Result<std::wstring> host_to = HostPathOf(*target);
  if (!host_to.ok()) return host_to.status();
  Result<std::wstring> host_folder = HostPathOf(folder);
  if (!host_folder.ok()) return host_folder.status();

  // The destination folder first: a missing folder and a missing source
  // would otherwise look alike.
  if (!IsFolder(*host_folder)) {
    return Status(Error::kPathNotFound, folder.Model(),
                  "The destination folder does not exist.");
  }
  DWORD attributes = calls_.get_file_attributes(host_from->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Status status = Failed(source->Model());
    if (status.code() == Error::kPathNotFound) {
      return Status(Error::kNotFound, source->Model(), status.message());
    }
    return status;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Status(Error::kUnsupported, source->Model(),
                  "It is a folder, not a file.");
  }
  // The name is taken also when it is the source's own under another
  // spelling (the same path, or one differing in case only).
  if (calls_.get_file_attributes(host_to->c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Status(Error::kAlreadyExists, target->Model(),
                  "A file of that name exists.");
  }
  if (calls_.move_file_ex(host_from->c_str(), host_to->c_str(), 0)) {
    return CheckArrival(*host_from, *host_to, source->Model(), target->Model());
  }
  DWORD error = ::GetLastError();
  if (MovedAfterAll(*host_from, *host_to)) {
    return CheckArrival(*host_from, *host_to, source->Model(), target->Model());
  }
  if (error != ERROR_NOT_SAME_DEVICE) {
    Error kind = ErrorOfWin32(error);
    bool about_target = kind == Error::kAlreadyExists ||
                        kind == Error::kAccessDenied || kind == Error::kNoSpace;
    return StatusFromWin32Error(
        error, about_target ? target->Model() : source->Model());
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return Status(Error::kUnsupported, source->Model(),
                  "A link cannot be moved to another drive.");
  }
  return CopyAcrossVolumes(*host_from, *host_to, *source, *target);
}

// A move can take effect and its reply still be lost: when the source's
// name is gone and the new name, free before, now stands, the move took
// place. Keeps the move's error.
bool Win32FileSystem::MovedAfterAll(const std::wstring& from,
                                    const std::wstring& to) {
  DWORD error = ::GetLastError();
  bool moved =
      calls_.get_file_attributes(from.c_str()) == INVALID_FILE_ATTRIBUTES &&
      ::GetLastError() == ERROR_FILE_NOT_FOUND &&
      calls_.get_file_attributes(to.c_str()) != INVALID_FILE_ATTRIBUTES;
  ::SetLastError(error);
  return moved;
}

// MoveFileExW moves folders too, and a folder can be swapped in for the
// file between the look at the source and the move: what now stands under
// the new name is looked at, and a folder goes back and is refused. Unseen,
// it stands (as far as anyone can tell it was the file).
Status Win32FileSystem::CheckArrival(const std::wstring& from,
                                     const std::wstring& to,
                                     const std::string& source_model,
                                     const std::string& target_model) {
  DWORD arrived = calls_.get_file_attributes(to.c_str());
  if (arrived == INVALID_FILE_ATTRIBUTES ||
      (arrived & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return Status();
  }
  Status refusal(Error::kUnsupported, source_model,
                 "It is a folder, not a file.");
  if (calls_.move_file_ex(to.c_str(), from.c_str(), 0)) return refusal;
  return Status(refusal.code(), refusal.path(),
                refusal.message() + " It could not be put back and stands at " +
                    target_model + ".");
}

// Across volumes: the copy is made under a hidden temporary name, flushed,
// renamed into place without replacing anything, and only then is the
// source deleted. Every clean-up goes through the handles this call opened,
// so it removes exactly what this call created.
Status Win32FileSystem::CopyAcrossVolumes(const std::wstring& from,
                                          const std::wstring& to,
                                          const Resolved& source,
                                          const Resolved& target) {
  std::string source_model = source.Model();
  std::string target_model = target.Model();
  // Readers may share the source; writers may not, so it cannot change
  // while it is copied.
  Handle in(
      calls_,
      calls_.create_file(
          from.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES,
          FILE_SHARE_READ, nullptr, OPEN_EXISTING,
          FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!in.valid()) return Failed(source_model);
  BY_HANDLE_FILE_INFORMATION before;
  if (!calls_.get_file_information_by_handle(in.get(), &before)) {
    return Failed(source_model);
  }

  std::wstring folder = to.substr(0, to.rfind(L'\\') + 1);
  std::wstring temporary;
  Handle out(calls_, CreateTemporaryIn(calls_, folder, temporary));
  if (!out.valid()) return Failed(target_model);

  // The attributes the file keeps. A read-only file cannot be deleted until
  // it is writable.
  DWORD attributes = before.dwFileAttributes & kCopiedAttributes;
  bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;

  // From here on, a failure removes the copy through its handle: once marked
  // for deletion, it goes when the handle closes, whatever the close
  // reports. Once the copy bears the final name, a copy that cannot be
  // removed means the file now exists twice.
  bool published = false;
  bool copy_read_only = false;
  auto abandon_copy = [&](Status status) {
    bool removed =
        (!copy_read_only || SetAttributes(calls_, out.get(), writable)) &&
        DeleteOnClose(calls_, out.get());
    out.Close();
    if (removed) return status;
    if (published) {
      return Status(Error::kDuplicated, target_model,
                    status.message() + " The copy could not be removed.");
    }
    return Status(status.code(), status.path(),
                  status.message() + " The temporary copy " +
                      ToUtf8(temporary) + " could not be removed.");
  };
  if (!CopyContent(calls_, in.get(), out.get()) ||
      !SetTimes(calls_, out.get(), before) ||
      !calls_.flush_file_buffers(out.get())) {
    return abandon_copy(Failed(target_model));
  }
  if (!RenameNoReplace(calls_, out.get(), to)) {
    return abandon_copy(Failed(target_model));
  }
  published = true;
  // The copy takes its attributes, the read-only mark too, before the
  // source goes: afterwards a failure could no longer be taken back.
  if (!SetAttributes(calls_, out.get(), attributes)) {
    return abandon_copy(Failed(target_model));
  }
  copy_read_only = read_only;
  BY_HANDLE_FILE_INFORMATION after;
  if (!calls_.get_file_information_by_handle(in.get(), &after)) {
    return abandon_copy(Failed(target_model));
  }
  if (!SameFileUnchanged(before, after)) {
    return abandon_copy(Status(Error::kIo, source_model,
                               "The file changed while it was copied."));
  }

  // A change that reports failure may have taken effect all the same: the
  // mark is put back, and the copy is taken back only when the source is
  // seen to stand as it was.
  if (read_only && !SetAttributes(calls_, in.get(), writable)) {
    Status status = Failed(source_model);
    SetAttributes(calls_, in.get(), attributes);
    return abandon_copy(status);
  }
  if (!DeleteOnClose(calls_, in.get())) {
    Status status = Failed(source_model);
    if (read_only) SetAttributes(calls_, in.get(), attributes);
    in.Close();
    switch (SourceAfterClose(from, before)) {
      case Source::kStands:
        return abandon_copy(status);
      case Source::kGone:
        break;  // the deletion took place: the move is done
      case Source::kUnknown:
        out.Close();
        return Status(
            Error::kDuplicated, target_model,
            status.message() + " The file may now stand at both paths.");
    }
  }
  // Marked for deletion, the source goes when its handle closes, whatever
  // the close reports: the file is whole at its new path alone.
  in.Close();
  out.Close();
  return Status();
}

// Whether the source, its handle closed, still stands under its name as
// the file that was copied (changed or not): gone when its name is free or
// holds another file (then the copy is the file), unknown when it cannot
// be looked at.
Win32FileSystem::Source Win32FileSystem::SourceAfterClose(
    const std::wstring& from, const BY_HANDLE_FILE_INFORMATION& before) {
  Handle source(
      calls_,
      calls_.create_file(from.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                         nullptr));
  if (!source.valid()) {
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? Source::kGone
               : Source::kUnknown;
  }
  BY_HANDLE_FILE_INFORMATION now;
  if (!calls_.get_file_information_by_handle(source.get(), &now)) {
    return Source::kUnknown;
  }
  return SameFile(before, now) ? Source::kStands : Source::kGone;
}

}  // namespace platform::win32

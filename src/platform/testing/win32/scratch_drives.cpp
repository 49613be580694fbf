#include "platform/testing/scratch_drives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/drive_path.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::testing {
namespace {

namespace fs = std::filesystem;
using win32::ToUtf8;
using win32::ToWide;

// The process's current folder and the drives' remembered folders ("=C:").
struct ProcessFolders {
  std::wstring cwd;
  std::vector<std::pair<std::wstring, std::wstring>> variables;
};

ProcessFolders SaveProcessFolders() {
  ProcessFolders saved;
  wchar_t buffer[32768];
  DWORD length = ::GetCurrentDirectoryW(32768, buffer);
  if (length > 0 && length < 32768) saved.cwd.assign(buffer, length);
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    std::wstring name{L'=', letter, L':'};
    length = ::GetEnvironmentVariableW(name.c_str(), buffer, 32768);
    bool set = length > 0 && length < 32768;
    saved.variables.emplace_back(name,
                                 set ? std::wstring(buffer, length) : L"");
  }
  return saved;
}

void RestoreProcessFolders(const ProcessFolders& saved) {
  if (!saved.cwd.empty()) ::SetCurrentDirectoryW(saved.cwd.c_str());
  for (const auto& [name, value] : saved.variables) {
    ::SetEnvironmentVariableW(name.c_str(),
                              value.empty() ? nullptr : value.c_str());
  }
}

fs::path HostPath(std::string_view model) { return fs::path(*ToWide(model)); }

// A new empty folder named after the process in `parent` ("C:\" or
// "C:\x\"), as a model path.
std::string MakeUniqueFolder(std::wstring parent) {
  static int counter = 0;
  if (parent.empty() || parent.back() != L'\\') parent += L'\\';
  for (;;) {
    std::wstring folder = parent + L"pelloquin-test-" +
                          std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(counter++);
    if (::CreateDirectoryW(folder.c_str(), nullptr)) {
      Result<ParsedPath> parsed = ParsePath(ToUtf8(folder));
      return FormatFolderPath(parsed->drive,
                              ResolveComponents({}, parsed->components));
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot make a scratch folder in " << ToUtf8(parent);
      return "";
    }
  }
}

void RemoveTree(const std::string& model) {
  if (model.empty()) return;
  std::error_code ignored;
  // Read-only files would keep their folders alive.
  for (auto it = fs::recursive_directory_iterator(HostPath(model), ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  fs::remove_all(HostPath(model), ignored);
}

// A scratch folder in the temporary folder, and one in the root of the
// drive that PELLOQUIN_TEST_SECOND_DRIVE names ("D:"), if set.
class Win32ScratchDrives final : public ScratchDrives {
 public:
  Win32ScratchDrives() : saved_(SaveProcessFolders()) {
    file_system_.set_answer_wait(kScratchAnswerWait);
    wchar_t temp[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    folders_[0] = MakeUniqueFolder(std::wstring(temp, length));
    wchar_t second[8];
    length =
        ::GetEnvironmentVariableW(L"PELLOQUIN_TEST_SECOND_DRIVE", second, 8);
    if (length == 2 && second[1] == L':') {
      folders_[1] = MakeUniqueFolder(std::wstring(second, 2) + L"\\");
    }
  }
  ~Win32ScratchDrives() override {
    RestoreProcessFolders(saved_);
    RemoveTree(folders_[0]);
    RemoveTree(folders_[1]);
  }

  FileSystem& file_system() override { return file_system_; }
  std::string Folder(int drive) const override { return folders_[drive]; }

  void WriteFile(std::string_view path, std::string_view content) override {
    HANDLE file =
        ::CreateFileW(HostPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()),
                    &wrote, nullptr) &&
        wrote == content.size();
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (!ok) ADD_FAILURE() << "cannot write " << path;
  }
  std::optional<std::string> ReadFile(std::string_view path) override {
    HANDLE file =
        ::CreateFileW(HostPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      content.append(buffer, got);
    }
    ::CloseHandle(file);
    return content;
  }
  bool Exists(std::string_view path) override {
    return ::GetFileAttributesW(HostPath(path).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
  }
  void MakeFolder(std::string_view path) override {
    std::error_code error;
    fs::create_directories(HostPath(path), error);
    if (error) ADD_FAILURE() << "cannot make " << path;
  }
  std::vector<std::string> List(std::string_view folder) override {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry :
         fs::directory_iterator(HostPath(folder), ignored)) {
      names.push_back(ToUtf8(entry.path().filename().wstring()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string MakeHidden(std::string_view folder, std::string_view base,
                         bool is_folder) override {
    std::string path = JoinPath(folder, base);
    if (is_folder) {
      MakeFolder(path);
    } else {
      WriteFile(path, "hidden");
    }
    ::SetFileAttributesW(HostPath(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    return std::string(base);
  }

 private:
  ProcessFolders saved_;
  std::string folders_[2];
  win32::Win32FileSystem file_system_;
};

}  // namespace

std::unique_ptr<ScratchDrives> MakeScratchDrives() {
  return std::make_unique<Win32ScratchDrives>();
}

}  // namespace platform::testing

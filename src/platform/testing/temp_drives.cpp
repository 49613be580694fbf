#include "platform/testing/temp_drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace platform::testing {
namespace {

namespace fs = std::filesystem;

std::string TempBase() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

dev_t DeviceOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

std::string MakeTempFolder(const std::string& base) {
  std::string pattern = base + "/pelloquin-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder under " + base);
  }
  return pattern;
}

}  // namespace

TempDrives::TempDrives(std::string_view letters,
                       std::string_view other_file_system) {
  std::string base = TempBase();
  std::string root = MakeTempFolder(base);
  roots_.push_back(root);
  std::string other_root;
  bool have_other =
      DeviceOf("/dev/shm") != 0 && DeviceOf("/dev/shm") != DeviceOf(base);
  for (char letter : letters) {
    std::string folder;
    if (have_other &&
        other_file_system.find(letter) != std::string_view::npos) {
      if (other_root.empty()) {
        other_root = MakeTempFolder("/dev/shm");
        roots_.push_back(other_root);
      }
      folder = other_root + "/" + letter;
    } else {
      folder = root + "/" + letter;
    }
    fs::create_directories(folder);
    mappings_.push_back(posix::DriveMapping{letter, folder, ""});
  }
}

TempDrives::~TempDrives() {
  for (const std::string& root : roots_) {
    std::error_code ignored;
    // Folders a test made unreadable must not keep their files alive.
    for (auto it = fs::recursive_directory_iterator(root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add,
                        ignored);
      }
    }
    fs::remove_all(root, ignored);
  }
}

const std::string& TempDrives::HostFolder(char letter) const {
  for (const posix::DriveMapping& mapping : mappings_) {
    if (mapping.letter == letter) return mapping.host_folder;
  }
  throw std::out_of_range(std::string("no drive ") + letter);
}

bool TempDrives::CrossesDevice(char letter) const {
  return DeviceOf(HostFolder(letter)) !=
         DeviceOf(HostFolder(mappings_.front().letter));
}

std::string TempDrives::Host(char letter, std::string_view relative) const {
  std::string path = HostFolder(letter);
  if (!relative.empty()) path += "/" + std::string(relative);
  return path;
}

void TempDrives::WriteFile(char letter, std::string_view relative,
                           std::string_view content) const {
  std::ofstream out(Host(letter, relative), std::ios::binary);
  out << content;
  if (!out) ADD_FAILURE() << "cannot write " << Host(letter, relative);
}

std::string TempDrives::ReadFile(char letter, std::string_view relative) const {
  std::ifstream in(Host(letter, relative), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TempDrives::Exists(char letter, std::string_view relative) const {
  struct stat st;
  return ::lstat(Host(letter, relative).c_str(), &st) == 0;
}

void TempDrives::MakeFolder(char letter, std::string_view relative) const {
  fs::create_directories(Host(letter, relative));
}

std::vector<std::string> TempDrives::List(char letter,
                                          std::string_view relative) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Host(letter, relative))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace platform::testing

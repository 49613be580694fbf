#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/drive_path.h"
#include "platform/name_order.h"
#include "platform/posix/posix_file_system.h"
#include "platform/testing/temp_drives.h"
#include "platform/wildcard.h"

namespace platform::posix {
namespace {

using Names = std::vector<std::string>;

// U+F000 + byte, as UTF-8: how a host byte the model cannot hold is listed.
std::string Escaped(unsigned char byte) {
  return std::string{static_cast<char>(0xEF),
                     static_cast<char>(0x80 | (byte >> 6)),
                     static_cast<char>(0x80 | (byte & 0x3F))};
}

// A system call table that counts stats and can fail the access check and
// folder making, as a root test cannot arrange with chmod.
std::atomic<int> stat_calls{0};
std::atomic<int> access_error{0};
std::atomic<int> mkdir_error{0};

int CountingFstatat(int dir_fd, const char* path, struct stat* st, int flags) {
  ++stat_calls;
  return ::fstatat(dir_fd, path, st, flags);
}

int FaultyFaccessat(int dir_fd, const char* path, int mode, int flags) {
  if (access_error != 0) {
    errno = access_error;
    return -1;
  }
  return ::faccessat(dir_fd, path, mode, flags);
}

int FaultyMkdirat(int dir_fd, const char* path, mode_t mode) {
  if (mkdir_error != 0) {
    errno = mkdir_error;
    return -1;
  }
  return ::mkdirat(dir_fd, path, mode);
}

// Entry types blanked, as file systems without d_type give them; or a read
// that fails, as a medium that goes away does.
std::atomic<bool> blank_types{false};
std::atomic<int> readdir_error{0};

struct dirent* FaultyReaddir(DIR* dir) {
  if (readdir_error != 0) {
    errno = readdir_error;
    return nullptr;
  }
  struct dirent* entry = ::readdir(dir);
  if (entry != nullptr && blank_types) entry->d_type = DT_UNKNOWN;
  return entry;
}

const SysCalls& TestSysCalls() {
  static const SysCalls table = [] {
    SysCalls calls = RealSysCalls();
    calls.fstatat = CountingFstatat;
    calls.faccessat = FaultyFaccessat;
    calls.mkdirat = FaultyMkdirat;
    calls.readdir = FaultyReaddir;
    return calls;
  }();
  return table;
}

// One drive C: holding a folder of every kind of entry:
//   b.txt  A.TXT  c.jpg  README  .hidden  .hidden_dir/  Folder/  sub/
//   link_to_folder -> Folder  link_to_file -> b.txt  dangling -> nowhere
//   fifo (a named pipe)  socket
class ListingTest : public ::testing::Test {
 protected:
  ListingTest() : temp_("C"), fs_(temp_.mappings(), TestSysCalls()) {
    access_error = 0;
    mkdir_error = 0;
    blank_types = false;
    readdir_error = 0;
    for (const char* name : {"b.txt", "A.TXT", "c.jpg", "README", ".hidden"}) {
      temp_.WriteFile('C', name, "x");
    }
    for (const char* name : {".hidden_dir", "Folder", "sub"}) {
      temp_.MakeFolder('C', name);
    }
    Link("Folder", "link_to_folder");
    Link("b.txt", "link_to_file");
    Link("nowhere", "dangling");
    EXPECT_EQ(::mkfifo(temp_.Host('C', "fifo").c_str(), 0644), 0);
    MakeSocket(temp_.Host('C', "socket"));
  }

  void Link(const char* target, const char* name) {
    EXPECT_EQ(::symlink(target, temp_.Host('C', name).c_str()), 0) << name;
  }

  static void MakeSocket(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address),
              0);
    ::close(fd);
  }

  Names Files(std::string_view pattern, uint32_t include = kAttrNormal) {
    Result<Names> names = fs_.ListFiles("C:\\", pattern, include);
    EXPECT_TRUE(names.ok()) << names.status().ToString();
    return names.ok() ? *names : Names{};
  }

  std::optional<std::string> Find(std::string_view name, uint32_t mask) {
    Result<std::optional<std::string>> found =
        fs_.FindFirst(JoinPath("C:\\", name), mask);
    EXPECT_TRUE(found.ok()) << found.status().ToString();
    return found.ok() ? *found : std::nullopt;
  }

  testing::TempDrives temp_;
  PosixFileSystem fs_;
};

TEST_F(ListingTest, FilesAreSortedAndLeaveOutFoldersHiddenAndSystemEntries) {
  EXPECT_EQ(Files("*.*"), (Names{"A.TXT", "b.txt", "c.jpg", "dangling",
                                 "link_to_file", "README"}));
  EXPECT_EQ(Files("*.*", kAttrHidden),
            (Names{".hidden", "A.TXT", "b.txt", "c.jpg", "dangling",
                   "link_to_file", "README"}));
  EXPECT_EQ(Files("*.*", kAttrSystem),
            (Names{"A.TXT", "b.txt", "c.jpg", "dangling", "fifo",
                   "link_to_file", "README", "socket"}));
}

TEST_F(ListingTest, FilterPatterns) {
  const struct {
    const char* pattern;
    Names names;
  } cases[] = {
      {"*.txt", {"A.TXT", "b.txt"}},
      {"*.", {"dangling", "link_to_file", "README"}},
      {"*.jpg;*.TXT", {"A.TXT", "b.txt", "c.jpg"}},
      {"?.*", {"A.TXT", "b.txt", "c.jpg"}},
      {"readme", {"README"}},
      {"*.gif", {}},
      {"link*", {"link_to_file"}},  // never the link to a folder
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Files(c.pattern), c.names) << c.pattern;
  }
}

TEST_F(ListingTest, FoldersIncludeLinksToFoldersButNotHiddenOnes) {
  EXPECT_EQ(fs_.ListFolders("C:\\").value(),
            (Names{"Folder", "link_to_folder", "sub"}));
  temp_.MakeFolder('C', "sub/inner");
  EXPECT_EQ(fs_.ListFolders("C:\\sub").value(), Names{"inner"});
  EXPECT_EQ(fs_.ListFolders("C:\\link_to_folder").value(), Names{});
}

TEST_F(ListingTest, AFolderThatIsNotThereIsPathNotFound) {
  for (const char* folder : {"C:\\missing", "C:\\b.txt", "C:\\dangling"}) {
    Result<Names> files = fs_.ListFiles(folder, "*.*");
    EXPECT_EQ(files.status().code(), Error::kPathNotFound) << folder;
    EXPECT_EQ(files.status().path(), folder);
    EXPECT_FALSE(files.status().message().empty());
    EXPECT_EQ(fs_.ListFolders(folder).status().code(), Error::kPathNotFound)
        << folder;
    EXPECT_EQ(fs_.FindFirst(JoinPath(folder, "x"), 31).status().code(),
              Error::kPathNotFound)
        << folder;
  }
}

TEST_F(ListingTest, OnlyLinksAreStatedAndOnlyWhenTheyMatch) {
  stat_calls = 0;
  EXPECT_EQ(Files("*.jpg"), Names{"c.jpg"});
  EXPECT_EQ(stat_calls, 0);
  Files("*.*");
  // dangling, link_to_file and link_to_folder: one stat each, through the
  // link, to tell a link to a folder.
  EXPECT_EQ(stat_calls, 3);
  stat_calls = 0;
  fs_.ListFolders("C:\\");
  EXPECT_EQ(stat_calls, 3);
}

TEST_F(ListingTest, WithoutEntryTypesEveryEntryIsStatedToTheSameLists) {
  Names files = Files("*.*", kAttrHidden | kAttrSystem);
  Names folders = fs_.ListFolders("C:\\").value();
  std::optional<std::string> hidden_folder = Find(".hidden_*", 18);
  blank_types = true;
  EXPECT_EQ(Files("*.*", kAttrHidden | kAttrSystem), files);
  EXPECT_EQ(fs_.ListFolders("C:\\").value(), folders);
  EXPECT_EQ(Find(".hidden_*", 18), hidden_folder);
  EXPECT_EQ(Find("fi*", 0), std::nullopt);
}

TEST_F(ListingTest, AFailedReadIsReportedNotAShortList) {
  readdir_error = EIO;
  Result<Names> files = fs_.ListFiles("C:\\", "*.*");
  EXPECT_EQ(files.status().code(), Error::kIo);
  EXPECT_EQ(files.status().path(), "C:\\");
  EXPECT_EQ(files.status().message(), "Input/output error");
  EXPECT_EQ(fs_.ListFolders("C:\\").status().code(), Error::kIo);
  EXPECT_EQ(fs_.FindFirst("C:\\*", 31).status().code(), Error::kIo);
}

TEST_F(ListingTest, LookupsUnderAnAttributeMask) {
  const struct {
    const char* name;
    uint32_t mask;
    bool found;
  } cases[] = {
      {"b.txt", 0, true},           {"Folder", 0, false},
      {"Folder", 16, true},         {"link_to_folder", 16, true},
      {"link_to_folder", 0, false}, {".hidden", 0, false},
      {".hidden", 16, false},       {".hidden", 2, true},
      {".hidden_dir", 16, false},   {".hidden_dir", 18, true},
      {"fifo", 16, false},          {"fifo", 4, true},
      {"socket", 31, true},         {"dangling", 0, true},
      {"missing", 31, false},       {"b.txt", 8 | 16, true},
  };
  for (const auto& c : cases) {
    std::optional<std::string> found = Find(c.name, c.mask);
    EXPECT_EQ(found.has_value(), c.found) << c.name << " mask " << c.mask;
    if (found) {
      EXPECT_EQ(*found, c.name);
    }
  }
  // Every entry is found with mask 31.
  for (const char* name :
       {".hidden", ".hidden_dir", "Folder", "fifo", "README"}) {
    EXPECT_EQ(Find(name, 31), name);
  }
}

TEST_F(ListingTest, LookupsFollowHostCaseButWildcardsIgnoreCase) {
  EXPECT_EQ(Find("folder", 31), std::nullopt);
  EXPECT_EQ(Find("FOLD*", 16), "Folder");
  EXPECT_EQ(Find("*.TXT", 0), "A.TXT");  // the first in list order
  EXPECT_EQ(Find("?.txt", 0), "A.TXT");
  EXPECT_EQ(Find("*", 2), ".hidden");
  EXPECT_EQ(Find("*hidden*", 16), std::nullopt);
  EXPECT_EQ(Find("fi*", 0), std::nullopt);
  EXPECT_EQ(Find("fi*", 4), "fifo");
  // A name the model cannot hold names no entry.
  EXPECT_EQ(Find("a\"b", 31), std::nullopt);
  EXPECT_EQ(fs_.FindFirst("C:\\", 31).value(), std::nullopt);
}

TEST_F(ListingTest, TheVolumeMaskAloneFindsTheDriveLabel) {
  std::vector<DriveMapping> mappings = temp_.mappings();
  mappings[0].label = "Backup";
  PosixFileSystem labelled(mappings);
  EXPECT_EQ(labelled.FindFirst("C:\\*.*", kAttrVolume).value(), "Backup");
  EXPECT_EQ(fs_.FindFirst("C:\\*.*", kAttrVolume).value(), std::nullopt);
}

TEST_F(ListingTest, AttributesOfEveryKindOfEntry) {
  const struct {
    const char* path;
    uint32_t attributes;
  } cases[] = {
      {"C:\\b.txt", kAttrArchive},
      {"C:\\.hidden", kAttrArchive | kAttrHidden},
      {"C:\\Folder", kAttrFolder},
      {"C:\\.hidden_dir", kAttrFolder | kAttrHidden},
      {"C:\\link_to_folder", kAttrFolder},
      {"C:\\link_to_file", kAttrArchive},
      {"C:\\dangling", 0},
      {"C:\\fifo", kAttrSystem},
      {"C:\\socket", kAttrSystem},
      {"C:\\", kAttrFolder},
      {"C:\\\\b.txt", kAttrArchive},
  };
  for (const auto& c : cases) {
    Result<uint32_t> attributes = fs_.GetAttributes(c.path);
    ASSERT_TRUE(attributes.ok()) << c.path << attributes.status().ToString();
    EXPECT_EQ(*attributes, c.attributes) << c.path;
  }
  EXPECT_EQ(fs_.GetAttributes("C:\\missing").status().code(), Error::kNotFound);
  EXPECT_EQ(fs_.GetAttributes("C:\\b.txt\\x").status().code(),
            Error::kPathNotFound);
}

TEST_F(ListingTest, ReadOnlyMeansNotWritableByThisUser) {
  // Tests run as root, for whom every mode bit allows writing: the access
  // check is failed through the system call table instead.
  for (int error : {EACCES, EROFS}) {
    access_error = error;
    EXPECT_EQ(fs_.GetAttributes("C:\\b.txt").value(),
              kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(fs_.GetAttributes("C:\\Folder").value(),
              kAttrFolder | kAttrReadOnly);
  }
  // Read-only files are still found by every mask.
  EXPECT_EQ(Find("b.txt", 0), "b.txt");
  access_error = EIO;  // no answer about writing: not marked read-only
  EXPECT_EQ(fs_.GetAttributes("C:\\b.txt").value(), kAttrArchive);
}

TEST_F(ListingTest, MakeFolder) {
  EXPECT_TRUE(fs_.MakeFolder("C:\\new").ok());
  EXPECT_EQ(Find("new", 16), "new");
  // Blanks and a trailing dot are kept as typed.
  EXPECT_TRUE(fs_.MakeFolder("C:\\   ").ok());
  EXPECT_TRUE(fs_.MakeFolder("C:\\dots.").ok());
  EXPECT_TRUE(temp_.Exists('C', "   "));
  EXPECT_TRUE(temp_.Exists('C', "dots."));
  EXPECT_TRUE(fs_.MakeFolder("C:\\\\sub\\inner").ok());
  EXPECT_TRUE(temp_.Exists('C', "sub/inner"));

  EXPECT_EQ(fs_.MakeFolder("C:\\Folder").code(), Error::kAlreadyExists);
  EXPECT_EQ(fs_.MakeFolder("C:\\b.txt").code(), Error::kAlreadyExists);
  EXPECT_EQ(fs_.MakeFolder("C:\\dangling").code(), Error::kAlreadyExists);
  EXPECT_EQ(fs_.MakeFolder("C:\\").code(), Error::kAlreadyExists);
  EXPECT_EQ(fs_.MakeFolder("C:\\missing\\x").code(), Error::kPathNotFound);
  EXPECT_EQ(fs_.MakeFolder("C:\\b.txt\\x").code(), Error::kPathNotFound);
  EXPECT_EQ(fs_.MakeFolder("C:\\a*b").code(), Error::kInvalidName);
  EXPECT_FALSE(temp_.Exists('C', "a*b"));
}

TEST_F(ListingTest, AFolderTheHostRefusesNamesThePathAndTheReason) {
  mkdir_error = EACCES;
  Status status = fs_.MakeFolder("C:\\sub\\refused");
  EXPECT_EQ(status.code(), Error::kAccessDenied);
  EXPECT_EQ(status.path(), "C:\\sub\\refused");
  EXPECT_EQ(status.message(), "Permission denied");
  mkdir_error = ENOSPC;
  EXPECT_EQ(fs_.MakeFolder("C:\\full").code(), Error::kNoSpace);
  EXPECT_FALSE(temp_.Exists('C', "full"));
}

// Host names the model cannot hold as they are: each is listed escaped, and
// the listed name, joined into a path, names the same host file again.
TEST(EscapedNamesTest, ListedNamesRoundTripThroughPaths) {
  testing::TempDrives temp("C");
  PosixFileSystem fs(temp.mappings());
  const struct {
    std::string host;
    std::string model;
  } cases[] = {
      {"back\\slash", "back" + Escaped('\\') + "slash"},
      {"co:lon", "co" + Escaped(':') + "lon"},
      {"st*r?", "st" + Escaped('*') + "r" + Escaped('?')},
      {"ctl\x01\x1F", "ctl" + Escaped(0x01) + Escaped(0x1F)},
      {"bad\xFF", "bad" + Escaped(0xFF)},
      {"\xEF\x80\x81priv",
       Escaped(0xEF) + Escaped(0x80) + Escaped(0x81) + "priv"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
  };
  Names expected;
  for (const auto& c : cases) {
    temp.WriteFile('C', c.host, c.host);
    temp.MakeFolder('C', "dir " + c.host);
    expected.push_back(c.model);
  }
  Result<Names> files = fs.ListFiles("C:\\", "*.*");
  ASSERT_TRUE(files.ok()) << files.status().ToString();
  Names sorted = expected;
  SortNames(sorted);
  EXPECT_EQ(*files, sorted);

  for (const auto& c : cases) {
    std::string path = JoinPath("C:\\", c.model);
    EXPECT_EQ(fs.ToHostPath(path).value(), temp.Host('C', c.host));
    EXPECT_EQ(fs.GetAttributes(path).value(), kAttrArchive) << c.host;
    EXPECT_EQ(fs.FindFirst(path, 0).value(), c.model) << c.host;
    // The listed name works as a pattern that finds just that file.
    EXPECT_EQ(fs.ListFiles("C:\\", c.model).value(), Names{c.model});
    // Folders of such names can be listed into.
    std::string folder = JoinPath("C:\\", "dir " + c.model);
    EXPECT_TRUE(fs.ListFiles(folder, "*.*").ok()) << c.host;
    EXPECT_TRUE(fs.MakeFolder(JoinPath(folder, c.model)).ok()) << c.host;
    EXPECT_TRUE(temp.Exists('C', "dir " + c.host + "/" + c.host)) << c.host;
  }
}

}  // namespace
}  // namespace platform::posix

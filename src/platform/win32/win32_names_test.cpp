// The names the Win32 backend lets the host hold, and what a rename makes
// of the new name.

#include "platform/win32/win32_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/drive_path.h"
#include "platform/testing/scratch_drives.h"

namespace platform::win32 {
namespace {

std::string Repeat(std::string_view text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

struct NewNameCase {
  std::string given;
  const char* made;  // nullptr: refused as kInvalidName
};

TEST(NewEntryNameTest, DropsTrailingDotsAndSpacesAndRefusesDevices) {
  const NewNameCase kCases[] = {
      {"a.jpg", "a.jpg"},
      {"a.jpg.", "a.jpg"},
      {"a.jpg . .", "a.jpg"},
      {"  a.jpg", "  a.jpg"},  // leading spaces stay
      {"...", nullptr},
      {" . ", nullptr},
      // Devices, also in lower case, with an extension, or with spaces or
      // dots that Windows drops.
      {"CON", nullptr},
      {"con", nullptr},
      {"nul.txt", nullptr},
      {"COM1 .log", nullptr},
      {"LPT9", nullptr},
      {"aux.tar.gz", nullptr},
      {"PRN.", nullptr},
      // Names that only look like devices.
      {"COM0", "COM0"},
      {"LPT10", "LPT10"},
      {"CONSOLE", "CONSOLE"},
      {"con1", "con1"},
      {"xnul.txt", "xnul.txt"},
      {".con", ".con"},
      // The rules for every host name hold as well.
      {"a?.jpg", nullptr},
      {"a:b.jpg", nullptr},
  };
  for (const NewNameCase& c : kCases) {
    Result<std::string> name = NewEntryName(c.given);
    if (c.made == nullptr) {
      EXPECT_EQ(name.status().code(), Error::kInvalidName)
          << '"' << c.given << '"';
    } else {
      EXPECT_EQ(name.ok() ? *name : "refused: " + name.status().ToString(),
                c.made);
    }
  }
}

struct HostNameCase {
  std::string name;
  bool allow_wildcards;
  Error expected;
};

TEST(CheckHostNameTest, RefusesWhatTheHostCannotHold) {
  const HostNameCase kCases[] = {
      {"photo 01.jpg", false, Error::kNone},
      {"<", false, Error::kInvalidName},
      {"a>b", false, Error::kInvalidName},
      {"a:b", false, Error::kInvalidName},
      {"a\"b", false, Error::kInvalidName},
      {"a|b", false, Error::kInvalidName},
      {"tab\there", false, Error::kInvalidName},
      {"\x01", false, Error::kInvalidName},
      {"a\x1f", false, Error::kInvalidName},
      {"del\x7f", false, Error::kNone},  // not a control character to Windows
      {"\xff.jpg", false, Error::kInvalidName},  // no UTF-8
      // Wildcards only where a pattern is meant; the other characters stay
      // refused there.
      {"a*b", false, Error::kInvalidName},
      {"a?b", false, Error::kInvalidName},
      {"*.jp?", true, Error::kNone},
      {"a|*", true, Error::kInvalidName},
      // The limit counts UTF-16 units, not bytes.
      {Repeat("a", 255), false, Error::kNone},
      {Repeat("a", 256), false, Error::kNameTooLong},
      {Repeat("\xc3\xa9", 255), false, Error::kNone},  // é: 2 bytes, 1 unit
      {Repeat("\xf0\x9f\x98\x80", 127) + "a", false, Error::kNone},  // 2 units
      {Repeat("\xf0\x9f\x98\x80", 128), false, Error::kNameTooLong},
  };
  for (const HostNameCase& c : kCases) {
    EXPECT_EQ(CheckHostName(c.name, c.allow_wildcards).code(), c.expected)
        << '"' << c.name << "\" wildcards " << c.allow_wildcards;
  }
}

// What a rename makes of the new name: the name Windows would make of it,
// or a refusal that leaves the file where it was.
struct RenameNameCase {
  const char* to;
  Error expected;
  const char* listed;  // what the folder then holds
};

TEST(RenameNameTest, RenamesToTheNameWindowsMakesOrRefuses) {
  const RenameNameCase kCases[] = {
      {"b.jpg. .", Error::kNone, "b.jpg"},
      {"CON.jpg", Error::kInvalidName, "a.jpg"},
  };
  for (const RenameNameCase& c : kCases) {
    std::unique_ptr<testing::ScratchDrives> drives =
        testing::MakeScratchDrives();
    std::string folder = drives->Folder(0);
    drives->WriteFile(JoinPath(folder, "a.jpg"), "x");
    Status status = drives->file_system().RenameFile(JoinPath(folder, "a.jpg"),
                                                     JoinPath(folder, c.to));
    EXPECT_EQ(status.code(), c.expected) << c.to << ": " << status.ToString();
    EXPECT_EQ(drives->List(folder), std::vector<std::string>{c.listed}) << c.to;
    EXPECT_EQ(drives->ReadFile(JoinPath(folder, c.listed)), "x") << c.to;
  }
}

}  // namespace
}  // namespace platform::win32

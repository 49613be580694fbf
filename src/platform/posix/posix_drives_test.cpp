#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/stalled_drive.h"
#include "platform/testing/temp_drives.h"

namespace platform::posix {
namespace {

struct Drive {
  char letter;
  std::string host_folder;
  std::string label;
  bool operator==(const Drive&) const = default;
};

std::vector<Drive> Simplified(const std::vector<DriveMapping>& mappings) {
  std::vector<Drive> drives;
  for (const DriveMapping& m : mappings) {
    drives.push_back(Drive{m.letter, m.host_folder, m.label});
  }
  return drives;
}

void PrintTo(const Drive& d, std::ostream* os) {
  *os << d.letter << ": " << d.host_folder << " [" << d.label << "]";
}

TEST(DrivesFromMountTableTest, RootThenRemovableMountsInTableOrder) {
  const char* table =
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "proc /proc proc rw,nosuid 0 0\n"
      "/dev/sdb1 /run/media/ann/USB\\040STICK vfat rw 0 0\n"
      "/dev/sdc1 /mnt/backup ext4 rw 0 0\n"
      "tmpfs /run tmpfs rw 0 0\n"
      "/dev/sdd1 /media/cdrom iso9660 ro 0 0\n"
      "/dev/sde1 /mediaplayer ext4 rw 0 0\n"
      "/dev/sdf1 /home/mnt ext4 rw 0 0\n";
  EXPECT_EQ(Simplified(DrivesFromMountTable(table)),
            (std::vector<Drive>{
                {'C', "/", ""},
                {'D', "/run/media/ann/USB STICK", "USB STICK"},
                {'E', "/mnt/backup", "backup"},
                {'F', "/media/cdrom", "cdrom"},
            }));
}

TEST(DrivesFromMountTableTest, OddTablesStillGiveTheRootDrive) {
  EXPECT_EQ(Simplified(DrivesFromMountTable("")),
            (std::vector<Drive>{{'C', "/", ""}}));
  // Blank and truncated lines, a mount point given twice (stacked mounts),
  // a trailing slash and the mount folder itself used as a mount point.
  const char* table =
      "\n"
      "garbage\n"
      "/dev/sdb1 /mnt/a ext4 rw 0 0\n"
      "/dev/sdc1 /mnt/a/ ext4 rw 0 0\n"
      "/dev/sdd1 /mnt ext4 rw 0 0\n"
      "/dev/sde1\t/media/tab\\011name\tvfat rw 0 0";
  EXPECT_EQ(
      Simplified(DrivesFromMountTable(table)),
      (std::vector<Drive>{{'C', "/", ""},
                          {'D', "/mnt/a", "a"},
                          {'E', "/mnt", "mnt"},
                          {'F', "/media/tab\tname", "tab\xEF\x80\x89name"}}));
}

TEST(DrivesFromMountTableTest, LettersEndAtZ) {
  std::string table;
  for (int i = 0; i < 40; ++i) {
    table += "/dev/x /media/disk" + std::to_string(i) + " ext4 rw 0 0\n";
  }
  std::vector<DriveMapping> drives = DrivesFromMountTable(table);
  ASSERT_EQ(drives.size(), 24u);  // C: to Z:
  EXPECT_EQ(drives.back().letter, 'Z');
  EXPECT_EQ(drives.back().host_folder, "/media/disk22");
}

TEST(DrivesFromMountTableTest, LabelsWithInvalidUtf8AreEscaped) {
  std::vector<DriveMapping> drives =
      DrivesFromMountTable("/dev/x /media/caf\\351 vfat rw 0 0\n");
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[1].host_folder, "/media/caf\xE9");
  EXPECT_EQ(drives[1].label, "caf\xEF\x83\xA9");
}

TEST(ListDrivesTest, NamesDrivesWithoutTouchingThem) {
  testing::TempDrives temp("CDE");
  std::vector<DriveMapping> mappings = temp.mappings();
  mappings[1].label = "Photos 2024";
  PosixFileSystem file_system(mappings);
  std::filesystem::remove_all(temp.HostFolder('E'));

  std::vector<DriveInfo> drives = file_system.ListDrives();
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].name, "c:");
  EXPECT_EQ(drives[1].name, "d: [Photos 2024]");
  EXPECT_EQ(drives[1].label, "Photos 2024");
  EXPECT_EQ(drives[1].letter, 'D');
  EXPECT_EQ(drives[2].name, "e:");

  // A drive whose folder is gone is listed, but cannot be made current;
  // the current one stays.
  char before = file_system.CurrentDrive();
  EXPECT_EQ(file_system.ChangeDrive("e:").code(), Error::kNotReady);
  EXPECT_EQ(file_system.ChangeDrive("q:").code(), Error::kNotReady);
  EXPECT_EQ(file_system.CurrentDrive(), before);
}

TEST(StalledDriveTest, IsListedAtOnceAndEveryReadOfItGivesUpAfterTheWait) {
  testing::TempDrives temp("CD");
  temp.MakeFolder('D', "sub");
  testing::StalledDrive stalled(temp.HostFolder('D'));
  PosixFileSystem file_system(temp.mappings(), stalled.calls());
  constexpr auto kWait = std::chrono::milliseconds(200);
  file_system.set_answer_wait(kWait);

  auto started = std::chrono::steady_clock::now();
  std::vector<DriveInfo> drives = file_system.ListDrives();
  EXPECT_LT(std::chrono::steady_clock::now() - started, kWait);
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[1].name, "d:");
  EXPECT_EQ(stalled.blocked(), 0);

  struct Read {
    const char* what;
    std::function<Status()> read;
  };
  const Read reads[] = {
      {"ChangeDrive", [&] { return file_system.ChangeDrive("d:"); }},
      {"ChangeFolder", [&] { return file_system.ChangeFolder("D:\\sub"); }},
      {"ListFolders", [&] { return file_system.ListFolders("D:\\").status(); }},
      {"ListFiles",
       [&] { return file_system.ListFiles("D:\\sub", "*.*").status(); }},
  };
  for (const Read& read : reads) {
    started = std::chrono::steady_clock::now();
    Status status = read.read();
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(status.code(), Error::kNotReady) << read.what;
    EXPECT_EQ(status.message(), "The drive does not answer.") << read.what;
    EXPECT_GE(took, kWait) << read.what;
    EXPECT_LT(took, 5 * kWait) << read.what;
  }
  EXPECT_EQ(file_system.CurrentDrive(), 'C');
  EXPECT_EQ(file_system.CurrentFolder('D').value(), "D:\\");
  EXPECT_GE(stalled.blocked(), 4);

  // Once the mount answers again, so does the drive.
  stalled.Release();
  EXPECT_TRUE(file_system.ChangeFolder("D:\\sub").ok());
  EXPECT_EQ(file_system.ListFolders("D:\\").value(),
            std::vector<std::string>{"sub"});
}

TEST(ListDrivesTest, TheHostTableStartsWithTheRoot) {
  PosixFileSystem file_system;
  std::vector<DriveInfo> drives = file_system.ListDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_EQ(drives[0].name, "c:");
  for (size_t i = 1; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i].letter, drives[i - 1].letter + 1);
  }
}

}  // namespace
}  // namespace platform::posix

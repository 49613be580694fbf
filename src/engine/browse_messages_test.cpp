#include "engine/browse_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {
namespace {

TEST(BrowseMessagesTest, NameTheDriveOrFolderAndTheHostsReason) {
  const platform::Status no_medium(platform::Error::kNotReady, "E:\\",
                                   "No medium found");
  const platform::Status no_reason(platform::Error::kNotReady, "E:\\", "");
  struct Case {
    const char* name;
    std::string prompt;
    std::string expected;
  } cases[] = {
      {"drive", DriveNotReadyPrompt("e: [usb]", no_medium),
       "The drive e: [usb] cannot be opened.\r\n\r\nNo medium found"},
      {"drive with the folder still shown",
       DriveNotReadyPrompt("e: [usb]", no_medium, "C:\\Photos"),
       "The drive e: [usb] cannot be opened.\r\n\r\nNo medium found"
       "\r\n\r\nThe lists stay on C:\\Photos."},
      {"folder", FolderNotOpenedPrompt("D:\\Photos\\old", no_medium),
       "The folder D:\\Photos\\old cannot be opened.\r\n\r\nNo medium found"},
      {"folder with the one the lists show instead",
       FolderNotOpenedPrompt("D:\\Photos\\old", no_medium, "D:\\Photos"),
       "The folder D:\\Photos\\old cannot be opened.\r\n\r\nNo medium found"
       "\r\n\r\nThe lists show D:\\Photos."},
      {"files", FilesNotListedPrompt("D:\\Photos", no_medium),
       "The files of the folder D:\\Photos cannot be listed.\r\n\r\n"
       "No medium found"},
      {"no reason from the host: the error's kind",
       FolderNotOpenedPrompt("E:\\", no_reason),
       "The folder E:\\ cannot be opened.\r\n\r\n" + no_reason.ToString()},
  };
  for (const Case& c : cases) EXPECT_EQ(c.prompt, c.expected) << c.name;
  EXPECT_EQ(kDriveNotReadyTitle, "Drive Not Ready");
  EXPECT_EQ(kFolderNotOpenedTitle, "Folder Not Opened");
  EXPECT_EQ(kFilesNotListedTitle, "Files Not Listed");
}

}  // namespace
}  // namespace engine

#include "platform/drive_path.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Components = std::vector<std::string>;

TEST(DriveNameLetterTest, ReadsTheFormsADriveListShows) {
  EXPECT_EQ(DriveNameLetter("c:"), 'C');
  EXPECT_EQ(DriveNameLetter("D:"), 'D');
  EXPECT_EQ(DriveNameLetter("d: [Photos 2024]"), 'D');
  EXPECT_EQ(DriveNameLetter("d:\\"), std::nullopt);
  EXPECT_EQ(DriveNameLetter("d:name"), std::nullopt);
  EXPECT_EQ(DriveNameLetter("1:"), std::nullopt);
  EXPECT_EQ(DriveNameLetter("d: [unclosed"), std::nullopt);
}

TEST(ParsePathTest, SplitsDriveRootAndComponents) {
  struct Case {
    const char* text;
    char drive;
    bool rooted;
    Components components;
  } cases[] = {
      {"C:\\", 'C', true, {}},
      {"c:\\Photos\\2024", 'C', true, {"Photos", "2024"}},
      {"C:\\\\a.jpg", 'C', true, {"a.jpg"}},
      {"C:/x//y\\\\z", 'C', true, {"x", "y", "z"}},
      {"D:name", 'D', false, {"name"}},
      {"\\name", 0, true, {"name"}},
      {"name", 0, false, {"name"}},
      {"d: [label]", 'D', false, {}},
      {"a\\..\\.\\b", 0, false, {"a", "..", ".", "b"}},
      {"C:\\trailing. ", 'C', true, {"trailing. "}},
  };
  for (const Case& c : cases) {
    Result<ParsedPath> parsed = ParsePath(c.text);
    ASSERT_TRUE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed->drive, c.drive) << c.text;
    EXPECT_EQ(parsed->rooted, c.rooted) << c.text;
    EXPECT_EQ(parsed->components, c.components) << c.text;
  }
}

TEST(ParsePathTest, RefusesEmptyTextAndNul) {
  EXPECT_EQ(ParsePath("").status().code(), Error::kInvalidName);
  EXPECT_EQ(ParsePath(std::string_view("a\0b", 3)).status().code(),
            Error::kInvalidName);
}

TEST(ResolveComponentsTest, DotsResolveLexicallyAndStopAtTheRoot) {
  EXPECT_EQ(ResolveComponents({"a", "b"}, {"..", "c", ".", "d"}),
            (Components{"a", "c", "d"}));
  EXPECT_EQ(ResolveComponents({"a"}, {"..", "..", "..", "x"}), Components{"x"});
  EXPECT_EQ(ResolveComponents({}, {".."}), Components{});
  EXPECT_EQ(ResolveComponents({}, {"...", "a."}), (Components{"...", "a."}));
}

TEST(FormatFolderPathTest, KeepsTheRootBackslashOnly) {
  EXPECT_EQ(FormatFolderPath('C', {}), "C:\\");
  EXPECT_EQ(FormatFolderPath('D', {"Photos", "2024"}), "D:\\Photos\\2024");
}

TEST(JoinPathTest, AddsOneSeparatorWhereNoneEnds) {
  EXPECT_EQ(JoinPath("C:\\a", "x"), "C:\\a\\x");
  EXPECT_EQ(JoinPath("C:\\", "x"), "C:\\x");
}

}  // namespace
}  // namespace platform

#include "engine/name_template.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/number_format.h"

namespace engine {
namespace {

TEST(ComposeNewPathTest, ConcatenatesThePiecesAsTheyStand) {
  struct Case {
    const char* folder;
    const char* base;
    const char* padding;
    const char* number;
    const char* extension;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\Photos", "Img", "", "1", "txt", "C:\\Photos\\Img1.txt"},
      {"D:\\Photos", "Holiday", "00", "7", "jpg", "D:\\Photos\\Holiday007.jpg"},
      // A root keeps its backslash and gets one more.
      {"C:\\", "Img", "", "1", "txt", "C:\\\\Img1.txt"},
      // The dot stays when the extension is empty.
      {"C:\\Photos", "Img", "", "1", "", "C:\\Photos\\Img1."},
      // The number exactly as typed, blanks and leading zeros kept.
      {"C:\\a", "x", "0", " 007 ", "jpg", "C:\\a\\x0 007 .jpg"},
      {"C:\\a", "my photo", "", "1.5", "tar.gz", "C:\\a\\my photo1.5.tar.gz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        ComposeNewPath(c.folder, c.base, c.padding, c.number, c.extension),
        c.expected);
  }
}

TEST(CheckBaseNameTest, RefusesEveryForbiddenCharacterAnywhere) {
  ASSERT_EQ(kForbiddenNameCharacters.size(), 15u);
  for (char forbidden : kForbiddenNameCharacters) {
    std::string c(1, forbidden);
    EXPECT_FALSE(CheckBaseName(c)) << c;
    EXPECT_FALSE(CheckBaseName(c + "abc")) << c;
    EXPECT_FALSE(CheckBaseName("ab" + c + "c")) << c;
    EXPECT_FALSE(CheckBaseName("abc" + c)) << c;
  }
}

TEST(CheckBaseNameTest, AcceptsEverythingElse) {
  for (const char* name :
       {"", "my photo", "a.b", "a-b", "a_b", "Ünïcødé", "x[1]{2}", "a'b!@#$%~",
        " lead and trail ", "trailing dot."}) {
    EXPECT_TRUE(CheckBaseName(name)) << name;
  }
}

TEST(BadCharactersPromptTest, NamesTheWholeSetInItsSpacedForm) {
  EXPECT_EQ(BadCharactersPrompt(),
            "A file name may not contain any of the following:\r\n\r\n"
            "     \\ / : * ? \" < > | & ; , ^ ( )");
}

struct AdvanceCase {
  const char* separator;
  const char* number;
  std::optional<std::string> expected;
};

TEST(AdvanceRunningNumberTest, AddsOneAndWritesTheShortForm) {
  const AdvanceCase cases[] = {
      {".", "1", "2"},
      {".", "9", "10"},
      {".", "007", "8"},
      {".", " 41 ", "42"},
      {".", "-2", "-1"},
      {".", "-1", "0"},
      {".", "-0.5", "0.5"},
      {".", "1.5", "2.5"},
      {",", "1,5", "2,5"},
      {".", "1e3", "1001"},
      {".", "99999", "100000"},
      {".", "abc", std::nullopt},
      {".", "", std::nullopt},
      {",", "1.5", std::nullopt},
      {".", "12a", std::nullopt},
  };
  for (const AdvanceCase& c : cases) {
    EXPECT_EQ(
        AdvanceRunningNumber(c.number, platform::NumberFormat(c.separator)),
        c.expected)
        << "'" << c.number << "' with '" << c.separator << "'";
  }
}

TEST(NumbersStayDistinctTest, RefusesNumbersThatAddingOneNoLongerChanges) {
  struct Case {
    const char* number;
    size_t count;
    bool distinct;
  };
  const Case cases[] = {
      {"1", 32767, true},
      {"-5", 10, true},
      {"1.5", 3, true},
      {"9007199254740990", 2, true},   // 990, 991
      {"9007199254740990", 3, true},   // 990, 991, 992 = 2^53
      {"9007199254740990", 4, false},  // 2^53 + 1 is 2^53 again
      {"9007199254740992", 1, false},
      {"9007199254740993", 1, false},  // reads as 2^53
      {"-9007199254740992", 2, true},  // counts up, away from the edge
      {"1e20", 1, false},
      {"1e20", 3, false},
      {"-1e20", 2, false},
      {"1e15", 5, true},
      {"abc", 2, false},
  };
  const platform::NumberFormat numbers(".");
  for (const Case& c : cases) {
    EXPECT_EQ(NumbersStayDistinct(c.number, c.count, numbers), c.distinct)
        << c.number << " x " << c.count;
  }
}

TEST(StepPaddingTest, TakesOneZeroAtEachThresholdExactly) {
  struct Case {
    const char* advanced;
    int index;
    int expected;
  };
  const Case cases[] = {
      {"10", 1, 0},
      {"10", 2, 1},
      {"100", 3, 2},
      {"1000", 4, 3},
      {"10000", 5, 4},
      {"100000", 5, 4},
      {"100000", 1, 0},
      // Nothing left to take, or nothing chosen.
      {"10", 0, 0},
      {"100000", 0, 0},
      {"10", -1, -1},
      // Passing a threshold without equalling it, or above the last one.
      {"11", 1, 1},
      {"10.5", 2, 2},
      {"99", 2, 2},
      {"1000000", 5, 5},
      // Any spelling of the value counts.
      {"1e1", 2, 1},
      {"10.0", 2, 1},
      // Text that is no number leaves the padding alone.
      {"abc", 3, 3},
  };
  platform::NumberFormat numbers;
  for (const Case& c : cases) {
    EXPECT_EQ(StepPadding(c.advanced, c.index, numbers), c.expected)
        << c.advanced << " at index " << c.index;
  }
}

TEST(StepPaddingTest, ReadsTheNumberWithTheUsersSeparator) {
  EXPECT_EQ(StepPadding("10,0", 2, platform::NumberFormat(",")), 1);
  EXPECT_EQ(StepPadding("10,0", 2, platform::NumberFormat(".")), 2);
}

// The names a batch gets, run through the increment and the padding step as
// a run applies them after each file.
std::vector<std::string> NumberedNames(std::string number, int index,
                                       int files) {
  platform::NumberFormat numbers;
  std::vector<std::string> names;
  for (int i = 0; i < files; ++i) {
    names.push_back(std::string(kPaddingChoices[index]) + number);
    number = *AdvanceRunningNumber(number, numbers);
    index = StepPadding(number, index, numbers);
  }
  return names;
}

TEST(NumberingTest, KeepsOneWidthAcrossTheThresholds) {
  std::vector<std::string> names = NumberedNames("8", 2, 93);
  EXPECT_EQ(names[0], "008");
  EXPECT_EQ(names[1], "009");
  EXPECT_EQ(names[2], "010");
  EXPECT_EQ(names[91], "099");
  EXPECT_EQ(names[92], "100");

  names = NumberedNames("1", 3, 10000);
  EXPECT_EQ(names[8], "0009");
  EXPECT_EQ(names[9], "0010");
  EXPECT_EQ(names[99], "0100");
  EXPECT_EQ(names[998], "0999");
  EXPECT_EQ(names[999], "1000");
  EXPECT_EQ(names[9998], "9999");
  EXPECT_EQ(NumberedNames("9999", 0, 2)[1], "10000");
}

TEST(NumberingTest, StartsAsTypedAndSteppedOnlyByEquality) {
  EXPECT_EQ(NumberedNames("007", 0, 2), (std::vector<std::string>{"007", "8"}));
  EXPECT_EQ(NumberedNames("10", 1, 2),
            (std::vector<std::string>{"010", "011"}));
  EXPECT_EQ(NumberedNames("99", 2, 2),
            (std::vector<std::string>{"0099", "0100"}));
  EXPECT_EQ(NumberedNames("-2", 0, 4),
            (std::vector<std::string>{"-2", "-1", "0", "1"}));
  EXPECT_EQ(NumberedNames("9.5", 1, 2),
            (std::vector<std::string>{"09.5", "010.5"}));
}

TEST(RunningNumberBoxTextTest, OnlyAnEmptyBoxBecomesOne) {
  EXPECT_EQ(RunningNumberBoxText(""), "1");
  EXPECT_EQ(RunningNumberBoxText(" "), " ");
  EXPECT_EQ(RunningNumberBoxText("0"), "0");
  EXPECT_EQ(RunningNumberBoxText("abc"), "abc");
}

}  // namespace
}  // namespace engine

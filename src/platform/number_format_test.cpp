#include "platform/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace platform {
namespace {

struct ParseCase {
  const char* separator;
  const char* text;
  std::optional<double> expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << "'" << c.text << "' with separator '" << c.separator << "'";
}

class NumberFormatParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumberFormatParseTest, ReadsExactlyTheAllowedForms) {
  const ParseCase& c = GetParam();
  std::optional<double> value = NumberFormat(c.separator).Parse(c.text);
  if (!c.expected) {
    EXPECT_FALSE(value.has_value()) << "read as " << *value;
  } else {
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, *c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, NumberFormatParseTest,
    ::testing::Values(ParseCase{".", "1", 1}, ParseCase{".", "007", 7},
                      ParseCase{".", "-2", -2}, ParseCase{".", "+3", 3},
                      ParseCase{".", "  12\t ", 12}, ParseCase{".", "1.5", 1.5},
                      ParseCase{",", "1,5", 1.5}, ParseCase{".", ".5", 0.5},
                      ParseCase{".", "5.", 5}, ParseCase{".", "1e3", 1000},
                      ParseCase{".", "1E+3", 1000},
                      ParseCase{",", "2,5e-1", 0.25}, ParseCase{".", "-0", 0},
                      ParseCase{".", "1e-310", 1e-310},
                      ParseCase{".", "1.7976931348623157e308", DBL_MAX}));

INSTANTIATE_TEST_SUITE_P(
    Refused, NumberFormatParseTest,
    ::testing::Values(
        ParseCase{".", "", std::nullopt}, ParseCase{".", "   ", std::nullopt},
        ParseCase{".", "abc", std::nullopt}, ParseCase{".", "1a", std::nullopt},
        ParseCase{".", ".", std::nullopt}, ParseCase{".", "-", std::nullopt},
        ParseCase{".", "--1", std::nullopt},
        ParseCase{".", "- 1", std::nullopt},
        ParseCase{".", "1 2", std::nullopt},
        ParseCase{".", "1.2.3", std::nullopt},
        // The other locale's separator is a group separator here.
        ParseCase{".", "1,5", std::nullopt},
        ParseCase{",", "1.5", std::nullopt},
        ParseCase{".", "1,000", std::nullopt},
        ParseCase{".", "1e", std::nullopt}, ParseCase{".", "1e+", std::nullopt},
        ParseCase{".", "e5", std::nullopt}, ParseCase{".", "inf", std::nullopt},
        ParseCase{".", "-infinity", std::nullopt},
        ParseCase{".", "nan", std::nullopt},
        ParseCase{".", "0x10", std::nullopt},
        ParseCase{".", "1e400", std::nullopt},
        ParseCase{".", "-1e400", std::nullopt},
        ParseCase{".", "1e-400", std::nullopt}));

TEST(NumberFormatTest, SeparatorOfSeveralCharacters) {
  NumberFormat numbers("::");
  EXPECT_EQ(numbers.Parse("1::25"), 1.25);
  EXPECT_EQ(numbers.Parse("1:25"), std::nullopt);
}

struct FormatCase {
  const char* separator;
  double value;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.value << " as " << c.expected;
}

class NumberFormatFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatFormatTest, WritesTheShortForm) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(NumberFormat(c.separator).Format(c.value), c.expected)
      << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    All, NumberFormatFormatTest,
    ::testing::Values(FormatCase{".", 8, "8"}, FormatCase{".", -1, "-1"},
                      FormatCase{".", 0, "0"}, FormatCase{".", -0.0, "0"},
                      FormatCase{",", 100000, "100000"},
                      FormatCase{".", 1e15, "1000000000000000"},
                      FormatCase{".", 9007199254740992.0, "9007199254740992"},
                      FormatCase{".", 2.5, "2.5"}, FormatCase{",", 2.5, "2,5"},
                      FormatCase{".", -0.5, "-0.5"},
                      FormatCase{".", 0.1 + 0.2,
                                 "0.3"},  // 15 digits hide the binary error
                      FormatCase{",", 1.0 / 3, "0,333333333333333"},
                      FormatCase{".", 1e20, "1e+20"},
                      FormatCase{",", 1.5e-7, "1,5e-07"}));

TEST(NumberFormatRoundTripTest, EveryWrittenNumberReadsBack) {
  for (const char* separator : {".", ","}) {
    NumberFormat numbers(separator);
    for (double value : {0.0, 1.0, -7.0, 2.5, 1.0 / 3, 1e15, 1e16 + 2, 1e300,
                         DBL_MAX, -DBL_MAX, 1e-300, DBL_MIN}) {
      std::string text = numbers.Format(value);
      std::optional<double> back = numbers.Parse(text);
      ASSERT_TRUE(back.has_value()) << text;
      EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14) << text;
    }
  }
}

}  // namespace
}  // namespace platform

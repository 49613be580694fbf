#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

void ExpectMatches(const WildcardPattern& pattern, const MatchCase& c) {
  EXPECT_EQ(pattern.Matches(c.name), c.matches)
      << "pattern \"" << c.pattern << "\", name \"" << c.name << "\"";
}

TEST(WildcardPatternTest, ClassicFilterRules) {
  const MatchCase cases[] = {
      // "*.*" matches every name, with or without a dot.
      {"*.*", "photo.jpg", true},
      {"*.*", "README", true},
      {"*.*", "archive.tar.gz", true},
      {"*.*", "trailing.", true},
      // "*." matches names without a dot (the filter with an empty
      // extension) and names whose extension is empty.
      {"*.", "README", true},
      {"*.", "photo.jpg", false},
      {"*.", "a.b.c", false},
      {"*.", "trailing.", true},
      // A chosen extension.
      {"*.txt", "notes.txt", true},
      {"*.txt", "notes.TXT", true},
      {"*.txt", "notes.txt.bak", false},
      {"*.txt", "notes.txtx", false},
      {"*.txt", "txt", false},
      {"*.txt", "a.b.txt", true},
      // An extension typed with a blank is taken as it is.
      {"*. txt", "a. txt", true},
      {"*. txt", "a.txt", false},
      // "?" is exactly one character, also one of several bytes.
      {"IMG_????.jpg", "IMG_0001.jpg", true},
      {"IMG_????.jpg", "IMG_001.jpg", false},
      {"IMG_????.jpg", "IMG_00001.jpg", false},
      {"?.txt", "\xC3\xA9.txt", true},          // é
      {"?.txt", "\xF0\x9F\x93\xB7.txt", true},  // a four-byte character
      {"??.txt", "\xC3\xA9.txt", false},
      // "*" anywhere, with backtracking.
      {"*a*b*", "xxaxxbxx", true},
      {"*a*b*", "xxbxxaxx", false},
      {"a*a*a", "aaaa", true},
      {"a*a*a", "aa", false},
      {"*ab", "ab", true},
      {"*ab", "b", false},
      {"*.JPG", "x.jpg", true},
      {"*", "", true},
      {"", "x", false},
      // A pattern ending in ".*" also matches without the dot.
      {"photo.*", "photo", true},
      {"photo.*", "photo.jpg", true},
      {"photo.*", "photos", false},
      // A pattern ending in "." also matches the name without a dot.
      {"readme.", "README", true},
      {"readme.", "readme.md", false},
  };
  for (const MatchCase& c : cases) {
    ExpectMatches(WildcardPattern::One(c.pattern), c);
  }
}

TEST(WildcardPatternTest, SeveralPatternsSeparatedBySemicolons) {
  WildcardPattern pattern = WildcardPattern::List("*.jpg;*.PNG;;");
  EXPECT_TRUE(pattern.Matches("a.jpg"));
  EXPECT_TRUE(pattern.Matches("b.png"));
  EXPECT_FALSE(pattern.Matches("c.gif"));
  EXPECT_FALSE(pattern.MatchesEverything());

  EXPECT_TRUE(WildcardPattern::List("*.gif;*.*").MatchesEverything());
  EXPECT_TRUE(WildcardPattern::List("").Matches("anything"));
  EXPECT_TRUE(WildcardPattern::List(";").Matches("anything"));
  // In a single pattern ";" is a character like any other.
  EXPECT_TRUE(WildcardPattern::One("a;*").Matches("a;b"));
  EXPECT_FALSE(WildcardPattern::One("a;*").Matches("a"));
}

TEST(WildcardPatternTest, EscapedCharactersInNamesAreLiterals) {
  // U+F02A stands for a host "*" in a name: no wildcard, only itself.
  const std::string escaped_star = "\xEF\x80\xAA";
  WildcardPattern pattern = WildcardPattern::One("a" + escaped_star + ".txt");
  EXPECT_TRUE(pattern.Matches("a" + escaped_star + ".txt"));
  EXPECT_FALSE(pattern.Matches("abc.txt"));
  EXPECT_TRUE(WildcardPattern::One("?.txt").Matches(escaped_star + ".txt"));
}

TEST(FoldCaseTest, FoldsLettersOfTheSimpleAlphabets) {
  const struct {
    const char* text;
    const char* folded;
  } cases[] = {
      {"ABC xyz 123", "abc xyz 123"},
      {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},  // ÉTÉ
      {"\xC3\x97", "\xC3\x97"},                    // ×, no letter
      {"\xC3\x9F", "\xC3\x9F"},                    // ß stays
      {"\xC5\x81\xC3\x93"
       "D\xC5\xB9",
       "\xC5\x82\xC3\xB3"
       "d\xC5\xBA"},                                             // ŁÓDŹ
      {"\xC5\xB8", "\xC3\xBF"},                                  // Ÿ
      {"\xC5\xBF", "s"},                                         // long s
      {"\xCE\xA3\xCE\xBF\xCF\x82", "\xCF\x83\xCE\xBF\xCF\x83"},  // Σος
      {"\xD0\x81\xD0\xA9", "\xD1\x91\xD1\x89"},                  // ЁЩ
      {"\xEF\x80\xAA", "\xEF\x80\xAA"},                          // escaped byte
      {"\xC0\xAF\xFF", "\xC0\xAF\xFF"},  // no valid UTF-8: left alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FoldCase(c.text), c.folded) << c.text;
  }
}

}  // namespace
}  // namespace platform

#ifndef PELLOQUIN_PLATFORM_WILDCARD_H_
#define PELLOQUIN_PLATFORM_WILDCARD_H_

#include <string>
#include <string_view>
#include <vector>

// Name patterns as the file and folder lists use them, on any host. Names
// and patterns are UTF-8 model names.
namespace platform {

// The text with every letter replaced by its simple case folding: ASCII,
// Latin-1, Latin Extended-A, basic Greek and basic Cyrillic letters (the
// alphabets where folding is one letter to one letter). Other characters,
// and bytes that are no valid UTF-8, stay as they are.
std::string FoldCase(std::string_view text);
// The same into `out` (replacing its text), so a loop can reuse one buffer.
void FoldCaseInto(std::string_view text, std::string& out);

// True when the text holds "*" or "?".
bool HasWildcards(std::string_view text);

// A wildcard pattern, case-insensitive: "*" matches any run of characters,
// "?" exactly one character, everything else itself. As on the classic
// desktop, a pattern ending in ".*" also matches the names its part before
// ".*" matches ("*.*" matches every name, "photo.*" matches "photo"), and a
// pattern ending in "." also matches the names without a dot that its part
// before the dot matches ("*." matches names without a dot).
class WildcardPattern {
 public:
  // Several patterns separated by ";": a name matches when one of them
  // does. Empty pieces are ignored; text of no pieces at all matches every
  // name, like "*.*".
  static WildcardPattern List(std::string_view patterns);
  // One pattern; ";" is an ordinary character in it.
  static WildcardPattern One(std::string_view pattern);

  bool Matches(std::string_view name) const;
  // The same for a name already passed through FoldCase.
  bool MatchesFolded(std::string_view folded_name) const;
  // True when every name matches, so a caller can skip the matching.
  bool MatchesEverything() const { return matches_everything_; }

 private:
  WildcardPattern() = default;
  void Add(std::string_view pattern);

  struct Piece {
    std::string folded;   // the pattern, case-folded
    bool suffix = false;  // "*" then a plain ending: a name ending so matches
  };
  std::vector<Piece> pieces_;
  bool matches_everything_ = false;
};

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_WILDCARD_H_

#include "platform/wildcard.h"

#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the character at `pos`: the bytes of its UTF-8 sequence, or
// 1 for a byte that starts none.
size_t CharLength(std::string_view text, size_t pos) {
  unsigned char lead = static_cast<unsigned char>(text[pos]);
  size_t length = lead < 0x80             ? 1
                  : (lead & 0xE0) == 0xC0 ? 2
                  : (lead & 0xF0) == 0xE0 ? 3
                  : (lead & 0xF8) == 0xF0 ? 4
                                          : 1;
  if (pos + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return 1;
  }
  return length;
}

uint32_t DecodeTwoBytes(std::string_view bytes) {
  return ((static_cast<unsigned char>(bytes[0]) & 0x1Fu) << 6) |
         (static_cast<unsigned char>(bytes[1]) & 0x3Fu);
}

// Appends a code point below U+0800, the only ones folding yields.
void AppendUtf8(std::string& out, uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

bool InRange(uint32_t c, uint32_t first, uint32_t last) {
  return c >= first && c <= last;
}

// Pairs where the capital sits on even (or odd) code points and its small
// letter right after it.
uint32_t FoldPair(uint32_t c, bool capital_is_even) {
  return ((c % 2 == 0) == capital_is_even) ? c + 1 : c;
}

// Simple case folding of a code point below U+0800.
uint32_t FoldCodePoint(uint32_t c) {
  if (c == 0xB5) return 0x3BC;  // micro sign
  if (InRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;
  if (InRange(c, 0x100, 0x12F)) return FoldPair(c, true);
  if (InRange(c, 0x132, 0x137)) return FoldPair(c, true);
  if (InRange(c, 0x139, 0x148)) return FoldPair(c, false);
  if (InRange(c, 0x14A, 0x177)) return FoldPair(c, true);
  if (c == 0x178) return 0xFF;
  if (InRange(c, 0x179, 0x17E)) return FoldPair(c, false);
  if (c == 0x17F) return 's';  // long s
  if (c == 0x386) return 0x3AC;
  if (InRange(c, 0x388, 0x38A)) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (InRange(c, 0x38E, 0x38F)) return c + 0x3F;
  if (InRange(c, 0x391, 0x3AB) && c != 0x3A2) return c + 0x20;
  if (c == 0x3C2) return 0x3C3;  // final sigma
  if (InRange(c, 0x400, 0x40F)) return c + 0x50;
  if (InRange(c, 0x410, 0x42F)) return c + 0x20;
  return c;
}

// Plain wildcard matching of a folded name against a folded pattern, one
// character (not byte) for "?", backtracking to the last "*".
bool Glob(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t star_p = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_n = n;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
      continue;
    }
    if (p < pattern.size()) {
      size_t length = CharLength(pattern, p);
      if (name.substr(n, length) == pattern.substr(p, length)) {
        p += length;
        n += length;
        continue;
      }
    }
    if (star_p == std::string_view::npos) return false;
    star_n += CharLength(name, star_n);
    n = star_n;
    p = star_p;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

bool MatchesPiece(std::string_view pattern, std::string_view name) {
  if (Glob(pattern, name)) return true;
  if (EndsWith(pattern, ".*")) {
    return Glob(pattern.substr(0, pattern.size() - 2), name);
  }
  if (EndsWith(pattern, ".") && name.find('.') == std::string_view::npos) {
    return Glob(pattern.substr(0, pattern.size() - 1), name);
  }
  return false;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out;
  FoldCaseInto(text, out);
  return out;
}

void FoldCaseInto(std::string_view text, std::string& out) {
  bool ascii = std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  });
  if (ascii) {
    out.assign(text);
    for (char& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return;
  }
  out.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    unsigned char byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      out += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + 0x20)
                                          : static_cast<char>(byte);
      ++pos;
      continue;
    }
    size_t length = CharLength(text, pos);
    std::string_view sequence = text.substr(pos, length);
    pos += length;
    uint32_t code_point = length == 2 ? DecodeTwoBytes(sequence) : 0;
    uint32_t folded = code_point >= 0x80 ? FoldCodePoint(code_point) : 0;
    if (folded != 0 && folded != code_point) {
      AppendUtf8(out, folded);
    } else {
      out.append(sequence);
    }
  }
}

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

WildcardPattern WildcardPattern::List(std::string_view patterns) {
  WildcardPattern result;
  size_t pos = 0;
  while (pos <= patterns.size()) {
    size_t end = std::min(patterns.find(';', pos), patterns.size());
    if (end > pos) result.Add(patterns.substr(pos, end - pos));
    pos = end + 1;
  }
  if (result.pieces_.empty()) result.matches_everything_ = true;
  return result;
}

WildcardPattern WildcardPattern::One(std::string_view pattern) {
  WildcardPattern result;
  result.Add(pattern);
  return result;
}

void WildcardPattern::Add(std::string_view pattern) {
  Piece piece{FoldCase(pattern)};
  const std::string& folded = piece.folded;
  bool only_stars =
      !folded.empty() && folded.find_first_not_of('*') == std::string::npos;
  if (only_stars || folded == "*.*") matches_everything_ = true;
  // The common filter "*.jpg": a plain ending, tested without backtracking.
  if (folded.size() > 1 && folded.front() == '*') {
    std::string_view ending = std::string_view(folded).substr(1);
    piece.suffix = !HasWildcards(ending) && ending.back() != '.';
  }
  pieces_.push_back(std::move(piece));
}

bool WildcardPattern::Matches(std::string_view name) const {
  return matches_everything_ || MatchesFolded(FoldCase(name));
}

bool WildcardPattern::MatchesFolded(std::string_view folded_name) const {
  if (matches_everything_) return true;
  return std::any_of(pieces_.begin(), pieces_.end(), [&](const Piece& piece) {
    if (piece.suffix) {
      return EndsWith(folded_name, std::string_view(piece.folded).substr(1));
    }
    return MatchesPiece(piece.folded, folded_name);
  });
}

}  // namespace platform

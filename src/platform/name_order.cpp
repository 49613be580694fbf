#include "platform/name_order.h"

#include <algorithm>
#include <cstdint>

#include "platform/wildcard.h"

namespace platform {
namespace {

// Leads a run of digits in a key. It is the byte of "0", so a number sorts
// where digits do among the other characters; no other character of a key
// is this byte, since every digit belongs to a run.
constexpr char kNumberMark = '0';
// A run's length is written as this many times the byte 255 as it holds
// whole 255s, then the rest: one byte for any name a file system allows,
// and in value order for any length.
constexpr size_t kLengthStep = 255;

struct BaseRange {
  uint32_t first, last;
  std::string_view base;
};

// Small letters (names are folded first) with accents or ligatures, and the
// letters they sort with. Capitals that folding leaves alone (dotted I)
// are here too.
constexpr BaseRange kBaseLetters[] = {
    {0xDF, 0xDF, "ss"},
    {0xE0, 0xE5, "a"},
    {0xE6, 0xE6, "ae"},
    {0xE7, 0xE7, "c"},
    {0xE8, 0xEB, "e"},
    {0xEC, 0xEF, "i"},
    {0xF0, 0xF0, "d"},
    {0xF1, 0xF1, "n"},
    {0xF2, 0xF6, "o"},
    {0xF8, 0xF8, "o"},
    {0xF9, 0xFC, "u"},
    {0xFD, 0xFD, "y"},
    {0xFE, 0xFE, "th"},
    {0xFF, 0xFF, "y"},
    {0x100, 0x105, "a"},
    {0x106, 0x10D, "c"},
    {0x10E, 0x111, "d"},
    {0x112, 0x11B, "e"},
    {0x11C, 0x123, "g"},
    {0x124, 0x127, "h"},
    {0x128, 0x131, "i"},
    {0x132, 0x133, "ij"},
    {0x134, 0x135, "j"},
    {0x136, 0x138, "k"},
    {0x139, 0x142, "l"},
    {0x143, 0x14B, "n"},
    {0x14C, 0x151, "o"},
    {0x152, 0x153, "oe"},
    {0x154, 0x159, "r"},
    {0x15A, 0x161, "s"},
    {0x162, 0x167, "t"},
    {0x168, 0x173, "u"},
    {0x174, 0x175, "w"},
    {0x176, 0x178, "y"},
    {0x179, 0x17E, "z"},
    {0x17F, 0x17F, "s"},
    // Greek vowels with tonos or dialytika.
    {0x390, 0x390, "\xCE\xB9"},
    {0x3AC, 0x3AC, "\xCE\xB1"},
    {0x3AD, 0x3AD, "\xCE\xB5"},
    {0x3AE, 0x3AE, "\xCE\xB7"},
    {0x3AF, 0x3AF, "\xCE\xB9"},
    {0x3B0, 0x3B0, "\xCF\x85"},
    {0x3CA, 0x3CA, "\xCE\xB9"},
    {0x3CB, 0x3CB, "\xCF\x85"},
    {0x3CC, 0x3CC, "\xCE\xBF"},
    {0x3CD, 0x3CD, "\xCF\x85"},
    {0x3CE, 0x3CE, "\xCF\x89"},
    // Cyrillic io sorts with ie.
    {0x451, 0x451, "\xD0\xB5"},
};

// The letters a two-byte character sorts with; empty when it sorts as
// itself.
std::string_view BaseOf(uint32_t code_point) {
  for (const BaseRange& range : kBaseLetters) {
    if (code_point < range.first) break;
    if (code_point <= range.last) return range.base;
  }
  return {};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsContinuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Appends the run of digits that starts at `pos` and returns its end: the
// mark, the number of significant digits, the digits. Leading zeros only
// tell names apart when all else is equal.
size_t AppendNumber(std::string_view text, size_t pos, std::string& out) {
  while (pos < text.size() && text[pos] == '0') ++pos;
  const size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  out += kNumberMark;
  size_t length = pos - start;
  for (; length >= kLengthStep; length -= kLengthStep) {
    out += static_cast<char>(kLengthStep);
  }
  out += static_cast<char>(length);
  out.append(text.substr(start, pos - start));
  return pos;
}

// Appends the character of two bytes at `pos`, or its base letters.
void AppendTwoByteChar(std::string_view text, size_t pos, std::string& out) {
  const uint32_t code_point =
      ((static_cast<unsigned char>(text[pos]) & 0x1Fu) << 6) |
      (static_cast<unsigned char>(text[pos + 1]) & 0x3Fu);
  std::string_view base = BaseOf(code_point);
  if (base.empty()) base = text.substr(pos, 2);
  out.append(base);
}

// The key of a name whose letters are folded, but for ASCII capitals.
void KeyOfFolded(std::string_view folded, std::string& out) {
  out.clear();
  size_t pos = 0;
  while (pos < folded.size()) {
    const char c = folded[pos];
    if (IsDigit(c)) {
      pos = AppendNumber(folded, pos, out);
      continue;
    }
    const unsigned char lead = static_cast<unsigned char>(c);
    const bool two_bytes = (lead & 0xE0) == 0xC0 && pos + 1 < folded.size() &&
                           IsContinuation(folded[pos + 1]);
    if (two_bytes) {
      AppendTwoByteChar(folded, pos, out);
      pos += 2;
      continue;
    }
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    ++pos;
  }
}

}  // namespace

void NameKeyInto(std::string_view name, std::string& out) {
  const bool ascii = std::all_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  });
  if (ascii) {
    KeyOfFolded(name, out);
  } else {
    KeyOfFolded(FoldCase(name), out);
  }
}

bool NameLess(std::string_view a, std::string_view b) {
  std::string key_a, key_b;
  NameKeyInto(a, key_a);
  NameKeyInto(b, key_b);
  if (key_a != key_b) return key_a < key_b;
  return a < b;
}

void SortNames(std::vector<std::string>& names) {
  std::vector<KeyedName> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) {
    KeyedName entry{std::string(), std::move(name)};
    NameKeyInto(entry.name, entry.key);
    keyed.push_back(std::move(entry));
  }
  names = SortKeyedNames(std::move(keyed));
}

std::vector<std::string> SortKeyedNames(std::vector<KeyedName> names) {
  std::sort(names.begin(), names.end(),
            [](const KeyedName& a, const KeyedName& b) {
              int order = a.key.compare(b.key);
              return order != 0 ? order < 0 : a.name < b.name;
            });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (KeyedName& keyed : names) sorted.push_back(std::move(keyed.name));
  return sorted;
}

}  // namespace platform

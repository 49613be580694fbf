#ifndef PELLOQUIN_PLATFORM_NAME_ORDER_H_
#define PELLOQUIN_PLATFORM_NAME_ORDER_H_

#include <string>
#include <string_view>
#include <vector>

// The order in which the file and folder lists show names, on any host, as
// the desktop's file managers sort: runs of digits by their value ("img2"
// before "img10"), letters case-insensitively, and accented Latin, Greek
// and Cyrillic letters beside their base letters ("ecole", "école",
// "zebra"). Names are UTF-8 model names.
namespace platform {

// The key of a name whose plain byte order is that order, into `out`
// (replacing its text). Names whose keys are equal differ only in case,
// accents or leading zeros.
void NameKeyInto(std::string_view name, std::string& out);

// True when `a` comes before `b` in a name list; names of equal key go by
// their exact text, so the order is total.
bool NameLess(std::string_view a, std::string_view b);

// Sorts names as NameLess orders them.
void SortNames(std::vector<std::string>& names);

// A name with its NameKeyInto key, for sorting many names keyed once.
struct KeyedName {
  std::string key;
  std::string name;
};

// The names in NameLess order.
std::vector<std::string> SortKeyedNames(std::vector<KeyedName> names);

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_NAME_ORDER_H_

#include "platform/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace platform {
namespace {

using Names = std::vector<std::string>;

TEST(NameOrderTest, OrdersPairsAsTheDesktopsFileManagersDo) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {"img2", "img10"},                 // digits by value
      {"img9.jpg", "img10.jpg"},         //
      {"IMG_0099", "img_100"},           // leading zeros, case
      {"a1b2", "a1b10"},                 // every run counts
      {"a2b1", "a10b0"},                 //
      {"v1.9", "v1.10"},                 //
      {"img", "img1"},                   // a prefix first
      {"img.jpg", "img1.jpg"},           // "." before digits
      {"9 lives", "Apple"},              // digits before letters
      {"a 1", "a1"},                     // blank before digits
      {"photo001", "photo1"},            // equal numbers: exact text
      {"apple", "Banana"},               // case aside
      {"A.jpg", "a.jpg"},                // equal but for case: exact text
      {"ecole", "école"},                // accents beside their letters
      {"école", "zebra"},                //
      {"École", "école"},                // equal but for case: exact text
      {"été", "f"},                      //
      {"ño", "o"},                       // as "no"
      {"straße", "strat"},               // as "strasse"
      {"Łódź", "m"},                     // as "lodz"
      {"ά", "β"},                        // Greek
      {"ёж", "ез"},                      // Cyrillic
      {"z", "日"},                       // other scripts after Latin
      {"10", "1000000000000000000000"},  // beyond any integer type
      {"99999999999999999999", "100000000000000000000"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(NameLess(c.before, c.after)) << c.before << " < " << c.after;
    EXPECT_FALSE(NameLess(c.after, c.before)) << c.after << " !< " << c.before;
  }
  EXPECT_FALSE(NameLess("same", "same"));
}

TEST(NameOrderTest, SortsAListTotally) {
  Names names = {"img10.jpg", "zebra", "Img2.jpg", "école",
                 "img1.jpg",  "ecole", "IMG1.jpg", "img02.jpg",
                 "_x",        "10",    "9"};
  SortNames(names);
  EXPECT_EQ(names,
            (Names{"9", "10", "_x", "ecole", "école", "IMG1.jpg", "img1.jpg",
                   "Img2.jpg", "img02.jpg", "img10.jpg", "zebra"}));
  Names shuffled = names;
  std::reverse(shuffled.begin(), shuffled.end());
  SortNames(shuffled);
  EXPECT_EQ(shuffled, names) << "the order does not depend on the input's";
}

TEST(NameOrderTest, AVeryLongDigitRunStillSortsByValue) {
  const std::string long_run(300, '7');
  EXPECT_TRUE(NameLess("x" + long_run, "x" + long_run + "1"));
  EXPECT_TRUE(NameLess("x" + long_run, "x1" + long_run));
  EXPECT_TRUE(NameLess("x8" + std::string(253, '0'), "x" + long_run));
}

}  // namespace
}  // namespace platform

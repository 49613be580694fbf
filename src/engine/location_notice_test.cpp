#include "engine/location_notice.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {
namespace {

TEST(LocationNoticeTest, CaptionsAsTheUserReadsThem) {
  struct Case {
    std::string caption;
    std::string expected;
  } cases[] = {
      {std::string(kNoticeInPlace),
       "Files will be renamed and located at: (original path)"},
      {RelocatedNotice("D:\\Photos"),
       "Files will be renamed and re-located at: D:\\Photos"},
      {RelocatedNotice("D:\\"),
       "Files will be renamed and re-located at: D:\\"},
      // Line feed before carriage return, as the notice has always had it.
      {BrowseFolderNotice("C:\\In"),
       "NOTE THIS!\n\rFiles will be renamed and located at: C:\\In"},
      {BrowseFolderNotice("C:\\"),
       "NOTE THIS!\n\rFiles will be renamed and located at: C:\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.caption, c.expected);
}

}  // namespace
}  // namespace engine

#include "platform/answer_within.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace {

using std::chrono::milliseconds;

TEST(AnswerWithinTest, GivesTheAnswerOfWorkThatFinishesInTime) {
  std::optional<std::vector<std::string>> answer =
      AnswerWithin(milliseconds(2000), [] {
        return std::vector<std::string>{"a", "b"};
      });
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, (std::vector<std::string>{"a", "b"}));
}

TEST(AnswerWithinTest, GivesUpOnWorkThatHangsAndDropsItsLateAnswer) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  // What the worker still holds when it answers late: shared with the test
  // only to see that it finished and let go.
  auto owned = std::make_shared<std::atomic<bool>>(false);
  std::weak_ptr<std::atomic<bool>> watch = owned;

  auto started = std::chrono::steady_clock::now();
  std::optional<std::string> answer =
      AnswerWithin(milliseconds(100), [released, owned = std::move(owned)] {
        released.wait();
        owned->store(true);
        return std::string(1000, 'x');
      });
  auto took = std::chrono::steady_clock::now() - started;
  EXPECT_FALSE(answer.has_value());
  EXPECT_GE(took, milliseconds(100));
  EXPECT_LT(took, milliseconds(1000));

  // The caller's frame is gone by now as far as the worker knows; it
  // finishes on what it owns, and lets go of it.
  release.set_value();
  for (int i = 0; i < 200 && !watch.expired(); ++i) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace platform

#ifndef PELLOQUIN_PLATFORM_ANSWER_WITHIN_H_
#define PELLOQUIN_PLATFORM_ANSWER_WITHIN_H_

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace platform {

// How long the window waits for a drive that it reads: a mount that has not
// answered by then (a stalled network or FUSE mount, a pulled stick) counts
// as not ready.
inline constexpr std::chrono::milliseconds kDriveAnswerWait{2000};

// Runs `work` on a thread of its own and waits at most `wait` for its
// answer; nullopt when it has not answered by then. A late answer is thrown
// away when it comes. The thread may outlive this call, so `work` must own
// everything it touches: capture by value, never a reference or a pointer
// to the caller's state.
template <typename Work>
auto AnswerWithin(std::chrono::milliseconds wait, Work work)
    -> std::optional<decltype(work())> {
  using Answer = decltype(work());
  struct Slot {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<Answer> answer;
  };
  auto slot = std::make_shared<Slot>();
  std::thread([slot, work = std::move(work)]() mutable {
    Answer answer = work();
    const std::lock_guard<std::mutex> lock(slot->mutex);
    slot->answer.emplace(std::move(answer));
    slot->answered.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(slot->mutex);
  if (!slot->answered.wait_for(lock, wait,
                               [&] { return slot->answer.has_value(); })) {
    return std::nullopt;
  }
  return std::move(slot->answer);
}

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_ANSWER_WITHIN_H_

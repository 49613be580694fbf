#ifndef PELLOQUIN_PLATFORM_TESTING_SCRIPTED_MESSAGE_BOX_H_
#define PELLOQUIN_PLATFORM_TESTING_SCRIPTED_MESSAGE_BOX_H_

#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace platform::testing {

// A message box for tests: records every call and answers from a queue.
// With the queue empty it answers OK for an OK box and No for a Yes/No box.
class ScriptedMessageBox : public MessageBox {
 public:
  struct Call {
    std::string prompt;
    int style = 0;
    std::string title;
    bool operator==(const Call&) const = default;
  };

  void QueueAnswer(int answer) { answers_.push_back(answer); }
  int Show(std::string_view prompt, int style, std::string_view title) override;

  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<Call> calls_;
};

}  // namespace platform::testing

#endif  // PELLOQUIN_PLATFORM_TESTING_SCRIPTED_MESSAGE_BOX_H_

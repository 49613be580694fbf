#include "platform/testing/scripted_message_box.h"

namespace platform::testing {

int ScriptedMessageBox::Show(std::string_view prompt, int style,
                             std::string_view title) {
  calls_.push_back(Call{std::string(prompt), style, std::string(title)});
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return (style & 7) == kButtonsYesNo ? kAnswerNo : kAnswerOk;
}

}  // namespace platform::testing

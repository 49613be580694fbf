#ifndef PELLOQUIN_PLATFORM_MESSAGE_BOX_H_
#define PELLOQUIN_PLATFORM_MESSAGE_BOX_H_

#include <string_view>

namespace platform {

// Style values of a message box, as the classic desktop adds them up.
inline constexpr int kButtonsOk = 0;
inline constexpr int kButtonsYesNo = 4;
inline constexpr int kIconError = 16;
inline constexpr int kIconInformation = 64;
inline constexpr int kDefaultSecondButton = 256;

inline constexpr int kStyleError = kButtonsOk + kIconError;              // 16
inline constexpr int kStyleInformation = kButtonsOk + kIconInformation;  // 64
inline constexpr int kStyleQuestion =
    kButtonsYesNo + kIconInformation + kDefaultSecondButton;  // 324

// Answers.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// A modal message box: shows the prompt under the title with the buttons and
// icon the style names, and returns the button the user chose.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual int Show(std::string_view prompt, int style,
                   std::string_view title) = 0;
};

// Shows `prompt` under `title` with the error icon and an OK button.
inline void ShowError(MessageBox& message_box, std::string_view prompt,
                      std::string_view title) {
  message_box.Show(prompt, kStyleError, title);
}

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_MESSAGE_BOX_H_

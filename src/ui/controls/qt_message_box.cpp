#include "ui/controls/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "ui/controls/text.h"

namespace ui {
namespace {

struct Button {
  QMessageBox::StandardButton qt;
  int answer;
};

constexpr int kAnswerCancel = 2;
constexpr int kAnswerAbort = 3;
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;

// The buttons of the low three bits of a style value, left to right.
std::vector<Button> ButtonsOf(int style) {
  using B = QMessageBox;
  switch (style & 7) {
    case 1:
      return {{B::Ok, platform::kAnswerOk}, {B::Cancel, kAnswerCancel}};
    case 2:
      return {{B::Abort, kAnswerAbort},
              {B::Retry, kAnswerRetry},
              {B::Ignore, kAnswerIgnore}};
    case 3:
      return {{B::Yes, platform::kAnswerYes},
              {B::No, platform::kAnswerNo},
              {B::Cancel, kAnswerCancel}};
    case 4:
      return {{B::Yes, platform::kAnswerYes}, {B::No, platform::kAnswerNo}};
    case 5:
      return {{B::Retry, kAnswerRetry}, {B::Cancel, kAnswerCancel}};
    default:
      return {{B::Ok, platform::kAnswerOk}};
  }
}

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The button Esc and the close box choose: Cancel where there is one,
// otherwise the last button (OK alone, or No).
QMessageBox::StandardButton EscapeOf(const std::vector<Button>& buttons) {
  for (const Button& button : buttons) {
    if (button.qt == QMessageBox::Cancel) return button.qt;
  }
  return buttons.back().qt;
}

}  // namespace

int QtMessageBox::Show(std::string_view prompt, int style,
                       std::string_view title) {
  // Over the dialog that is open, if any: the box belongs to its handler.
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr)
    owner = owner_ ? owner_.data() : QApplication::activeWindow();
  QMessageBox box(IconOf(style), ToQt(title), ToQt(prompt),
                  QMessageBox::NoButton, owner);
  box.setWindowModality(Qt::ApplicationModal);
  const std::vector<Button> buttons = ButtonsOf(style);
  for (const Button& button : buttons) box.addButton(button.qt);
  const size_t default_index = static_cast<size_t>((style >> 8) & 3);
  box.setDefaultButton(
      buttons[default_index < buttons.size() ? default_index : 0].qt);
  box.setEscapeButton(EscapeOf(buttons));
  box.exec();

  QAbstractButton* chosen = box.clickedButton();
  const QMessageBox::StandardButton answered =
      chosen ? box.standardButton(chosen) : EscapeOf(buttons);
  for (const Button& button : buttons) {
    if (button.qt == answered) return button.answer;
  }
  return buttons.back().answer;
}

}  // namespace ui

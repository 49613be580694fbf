#ifndef PELLOQUIN_UI_CONTROLS_QT_MESSAGE_BOX_H_
#define PELLOQUIN_UI_CONTROLS_QT_MESSAGE_BOX_H_

#include <QPointer>
#include <QWidget>
#include <string_view>

#include "platform/message_box.h"

namespace ui {

// The message box on screen: modal over the dialog that is open, otherwise
// over its owner (or the active window),
// with the buttons, icon and default button the classic style value names,
// answering with the classic value of the button chosen.
class QtMessageBox : public platform::MessageBox {
 public:
  explicit QtMessageBox(QWidget* owner = nullptr) : owner_(owner) {}

  void set_owner(QWidget* owner) { owner_ = owner; }
  int Show(std::string_view prompt, int style, std::string_view title) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_QT_MESSAGE_BOX_H_

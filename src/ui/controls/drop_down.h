#ifndef PELLOQUIN_UI_CONTROLS_DROP_DOWN_H_
#define PELLOQUIN_UI_CONTROLS_DROP_DOWN_H_

#include <QComboBox>

namespace ui {

// A drop-down list or box that the mouse wheel changes only while it has
// the focus: scrolling over the window never picks an item by accident.
// A click or Tab gives it the focus; the wheel does not.
class DropDown : public QComboBox {
  Q_OBJECT

 public:
  explicit DropDown(QWidget* parent = nullptr);

 protected:
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_DROP_DOWN_H_

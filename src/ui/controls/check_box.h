#ifndef PELLOQUIN_UI_CONTROLS_CHECK_BOX_H_
#define PELLOQUIN_UI_CONTROLS_CHECK_BOX_H_

#include <QCheckBox>

namespace ui {

// A check box whose caption wraps over as many lines as its box is high,
// and which toggles on a click anywhere in its box.
class CheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& position) const override;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_CHECK_BOX_H_

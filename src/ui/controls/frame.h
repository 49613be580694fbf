#ifndef PELLOQUIN_UI_CONTROLS_FRAME_H_
#define PELLOQUIN_UI_CONTROLS_FRAME_H_

#include <QGroupBox>

namespace ui {

// A captioned frame drawn the classic way: its line runs through the middle
// of the caption's first line, so controls placed from the frame's top at
// the caption's height sit below the line whatever the style.
class Frame : public QGroupBox {
  Q_OBJECT

 public:
  explicit Frame(const QString& caption, QWidget* parent = nullptr);

  // The row of the frame's top line, in the frame's pixels.
  int LineTop() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_FRAME_H_

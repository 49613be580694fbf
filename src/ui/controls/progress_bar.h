#ifndef PELLOQUIN_UI_CONTROLS_PROGRESS_BAR_H_
#define PELLOQUIN_UI_CONTROLS_PROGRESS_BAR_H_

#include <QProgressBar>

namespace ui {

// A horizontal progress bar over 0 to 100 that keeps the single-precision
// value it was given and draws it to a hundredth. Setting the value only
// schedules a repaint; a caller that must show it at once repaints. It
// reports that value to assistive technology.
class ProgressBar : public QProgressBar {
  Q_OBJECT

 public:
  explicit ProgressBar(QWidget* parent = nullptr);

  float Value() const { return value_; }
  // Values outside 0 to 100 are drawn at the nearer end.
  void SetValue(float value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  float value_ = 0;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_PROGRESS_BAR_H_

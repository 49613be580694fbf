#ifndef PELLOQUIN_UI_CONTROLS_LABEL_H_
#define PELLOQUIN_UI_CONTROLS_LABEL_H_

#include <QColor>
#include <QLabel>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// A classic colour value: with the top bit set, the system colour whose
// index is in the low byte; otherwise red in the low byte, then green, blue.
QColor ToQColor(uint32_t classic_color);

// A label whose caption, text colour and bold flag change at run time, and
// whose caption wraps within its box. The caption is kept exactly as set.
class Label : public QLabel {
  Q_OBJECT

 public:
  explicit Label(std::string_view caption = "", QWidget* parent = nullptr);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);

  uint32_t ForeColor() const { return fore_color_; }
  void SetForeColor(uint32_t classic_color);

  bool Bold() const { return font().bold(); }
  void SetBold(bool bold);

  // From now on the caption shows on one line, cut in the middle with "..."
  // where it is too long for the box, and whole as the hint.
  void ElideInTheMiddle();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Shows the caption as the box and the font allow.
  void ShowCaption();

  std::string caption_;
  bool elide_middle_ = false;
  uint32_t fore_color_ = 0x80000012;  // the system button-text colour
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_LABEL_H_

#ifndef PELLOQUIN_UI_CONTROLS_PICTURE_BUTTON_H_
#define PELLOQUIN_UI_CONTROLS_PICTURE_BUTTON_H_

#include <QPixmap>
#include <QPushButton>

namespace ui {

// A push button that shows its picture, at the picture's own size, centred
// above its caption.
class PictureButton : public QPushButton {
  Q_OBJECT

 public:
  PictureButton(const QString& caption, const QPixmap& picture,
                QWidget* parent = nullptr);

  const QPixmap& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_PICTURE_BUTTON_H_

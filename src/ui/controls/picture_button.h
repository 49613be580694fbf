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

// The picture at `path` (a PNG), or its twice-as-dense twin beside it
// (name@2x.png) when the screen has more than one device pixel to a logical
// one: either way it takes the same logical size.
QPixmap LoadPicture(const QString& path, qreal device_pixel_ratio);

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_PICTURE_BUTTON_H_

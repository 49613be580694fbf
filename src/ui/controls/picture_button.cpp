#include "ui/controls/picture_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace ui {
namespace {
constexpr int kMargin = 2;  // pixels between the frame, picture and caption
}  // namespace

QPixmap LoadPicture(const QString& path, qreal device_pixel_ratio) {
  if (device_pixel_ratio > 1 && path.endsWith(".png")) {
    QPixmap sharp(path.chopped(4) + "@2x.png");
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2);
      return sharp;
    }
  }
  return QPixmap(path);
}

PictureButton::PictureButton(const QString& caption, const QPixmap& picture,
                             QWidget* parent)
    : QPushButton(caption, parent), picture_(picture) {
  setAutoDefault(false);
  setDefault(false);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton frame;
  initStyleOption(&frame);
  frame.text.clear();
  frame.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, frame);

  const int shift = isDown() ? 1 : 0;
  const QFontMetrics metrics = fontMetrics();
  const QSize picture_size = picture_.deviceIndependentSize().toSize();
  const int block = picture_size.height() + kMargin + metrics.height();
  const int top = std::max(kMargin, (height() - block) / 2) + shift;
  painter.drawPixmap((width() - picture_size.width()) / 2 + shift, top,
                     picture_);
  const QRect caption_box(shift, top + picture_size.height() + kMargin, width(),
                          metrics.height());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                      QPalette::ButtonText));
  painter.drawText(caption_box, Qt::AlignHCenter | Qt::AlignTop, text());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

}  // namespace ui

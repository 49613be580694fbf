#include "ui/main/caption_fit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QStyle>

#include "ui/controls/check_box.h"
#include "ui/controls/label.h"
#include "ui/controls/picture_button.h"

namespace ui {
namespace {

constexpr int kButtonMargin = 8;     // a push button's frame and padding
constexpr int kFrameTitleMargin = 16;
constexpr int kDropDownArrow = 26;   // the arrow box and the frame
constexpr int kIndicatorAndGap = 22;

bool Fits(const QWidget& widget, const QFontMetrics& metrics) {
  const int width = widget.width();
  const int height = widget.height();
  if (const auto* picture = qobject_cast<const PictureButton*>(&widget)) {
    const int needed = picture->picture().height() + metrics.height() + 6;
    return metrics.horizontalAdvance(picture->text()) + 4 <= width &&
           needed <= height;
  }
  if (const auto* check = qobject_cast<const CheckBox*>(&widget)) {
    const QRect box(0, 0, width - kIndicatorAndGap, height);
    const QRect used =
        metrics.boundingRect(box, Qt::TextWordWrap, check->text());
    return used.width() <= box.width() && used.height() <= height;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
    return metrics.horizontalAdvance(button->text()) + kButtonMargin <= width &&
           metrics.height() + 4 <= height;
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) {
    return metrics.horizontalAdvance(frame->title()) + kFrameTitleMargin <=
           width;
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
    for (int i = 0; i < combo->count(); ++i) {
      if (metrics.horizontalAdvance(combo->itemText(i)) + kDropDownArrow >
          width) {
        return false;
      }
    }
    return metrics.height() + 4 <= height;
  }
  if (const auto* label = qobject_cast<const Label*>(&widget)) {
    // A caption beside a control stays on one line; a tall label wraps.
    if (height >= 2 * metrics.height()) return true;
    return metrics.horizontalAdvance(label->text()) <= width &&
           metrics.height() <= height;
  }
  return true;
}

}  // namespace

QString CutCaptions(const QWidget& window, const QFont& font) {
  const QFontMetrics metrics(font);
  QString cut;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    // Controls below the client area are never seen.
    if (widget->parentWidget() == &window && widget->y() >= window.height()) {
      continue;
    }
    if (!Fits(*widget, metrics)) {
      cut += widget->objectName() + ": " + widget->accessibleName() + "\n";
    }
  }
  return cut;
}

QFont FittingFont(const QWidget& window, const QFont& base,
                  int smallest_pixels) {
  const int largest = QFontInfo(base).pixelSize();
  for (int pixels = largest; pixels >= smallest_pixels; --pixels) {
    for (int stretch : {QFont::Unstretched, QFont::SemiCondensed,
                        QFont::Condensed}) {
      QFont candidate = base;
      candidate.setPixelSize(pixels);
      candidate.setStretch(stretch);
      if (CutCaptions(window, candidate).isEmpty()) return candidate;
    }
  }
  QFont smallest = base;
  smallest.setPixelSize(smallest_pixels);
  return smallest;
}

}  // namespace ui

#include "ui/main/caption_fit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "ui/controls/check_box.h"
#include "ui/controls/label.h"
#include "ui/controls/picture_button.h"

namespace ui {
namespace {

constexpr int kButtonMargin = 8;  // a push button's frame and padding
constexpr int kFrameTitleMargin = 16;
constexpr int kDropDownArrow = 26;  // the arrow box and the frame
constexpr int kIndicatorAndGap = 22;

// The room a caption takes in its control and the room it has. Fixed parts
// (margins, pictures) are on the "available" side, so the text's share
// scales with the font.
struct Room {
  int text_width = 0, width = 0;
  int text_height = 0, height = 0;
  bool Fits() const { return text_width <= width && text_height <= height; }
  // How much larger (>1) or smaller (<1) the text could be and still fit.
  double Scale() const {
    double scale = std::numeric_limits<double>::max();
    if (text_width > 0) scale = std::min(scale, double(width) / text_width);
    if (text_height > 0) scale = std::min(scale, double(height) / text_height);
    return scale;
  }
};

int WidestItem(const QComboBox& combo, const QFontMetrics& metrics) {
  int widest = 0;
  for (int i = 0; i < combo.count(); ++i) {
    widest = std::max(widest, metrics.horizontalAdvance(combo.itemText(i)));
  }
  return widest;
}

// The room of a widget's caption; nullopt for widgets without one.
std::optional<Room> RoomOf(const QWidget& widget, const QFontMetrics& metrics) {
  const int width = widget.width();
  const int height = widget.height();
  const int line = metrics.height();
  if (const auto* picture = qobject_cast<const PictureButton*>(&widget)) {
    return Room{metrics.horizontalAdvance(picture->text()), width - 4, line,
                height - picture->picture().height() - 6};
  }
  if (const auto* check = qobject_cast<const CheckBox*>(&widget)) {
    const QRect box(0, 0, width - kIndicatorAndGap, height);
    const QRect used =
        metrics.boundingRect(box, Qt::TextWordWrap, check->text());
    return Room{used.width(), box.width(), used.height(), height};
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
    return Room{metrics.horizontalAdvance(button->text()),
                width - kButtonMargin, line, height - 4};
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) {
    return Room{metrics.horizontalAdvance(frame->title()),
                width - kFrameTitleMargin, 0, 0};
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
    return Room{WidestItem(*combo, metrics), width - kDropDownArrow, line,
                height - 4};
  }
  if (const auto* label = qobject_cast<const Label*>(&widget)) {
    // A caption beside a control stays on one line; a tall label wraps.
    if (height >= 2 * line) return std::nullopt;
    return Room{metrics.horizontalAdvance(label->text()), width, line, height};
  }
  return std::nullopt;
}

// The controls whose captions the user sees: not those below the client
// area, and not the parts inside a control.
std::vector<const QWidget*> SeenControls(const QWidget& window) {
  std::vector<const QWidget*> seen;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->parentWidget() == &window && widget->y() >= window.height()) {
      continue;
    }
    seen.push_back(widget);
  }
  return seen;
}

double FitScale(const QWidget& window, const QFont& font) {
  const QFontMetrics metrics(font);
  double scale = std::numeric_limits<double>::max();
  for (const QWidget* widget : SeenControls(window)) {
    if (std::optional<Room> room = RoomOf(*widget, metrics)) {
      scale = std::min(scale, room->Scale());
    }
  }
  return scale;
}

QFont Sized(const QFont& base, int pixels, int stretch) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setStretch(stretch);
  return font;
}

}  // namespace

QString CutCaptions(const QWidget& window, const QFont& font) {
  const QFontMetrics metrics(font);
  QString cut;
  for (const QWidget* widget : SeenControls(window)) {
    std::optional<Room> room = RoomOf(*widget, metrics);
    if (room && !room->Fits()) {
      cut += widget->objectName() + ": " + widget->accessibleName() + "\n";
    }
  }
  return cut;
}

QFont FittingFont(const QWidget& window, const QFont& base,
                  int smallest_pixels) {
  // Each font tried costs a font load, the bulk of the work here: estimate
  // each width's size from one measure, then check only the best estimate.
  const int largest = QFontInfo(base).pixelSize();
  int best_pixels = 0;
  int best_stretch = QFont::Unstretched;
  for (int stretch :
       {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed}) {
    const double scale = FitScale(window, Sized(base, largest, stretch));
    const int pixels =
        std::min(largest, static_cast<int>(std::floor(largest * scale)));
    if (pixels > best_pixels) {
      best_pixels = pixels;
      best_stretch = stretch;
    }
    if (best_pixels == largest) break;
  }
  for (int pixels = std::max(best_pixels, smallest_pixels);
       pixels >= smallest_pixels; --pixels) {
    const QFont candidate = Sized(base, pixels, best_stretch);
    if (CutCaptions(window, candidate).isEmpty()) return candidate;
  }
  return Sized(base, smallest_pixels, QFont::Unstretched);
}

}  // namespace ui

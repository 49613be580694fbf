#include "ui/main/caption_fit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <vector>

#include "ui/controls/check_box.h"
#include "ui/controls/drive_list_box.h"
#include "ui/controls/label.h"
#include "ui/controls/picture_button.h"

namespace ui {
namespace {

constexpr int kButtonMargin = 12;  // a push button's frame and padding
constexpr int kFrameTitleMargin = 16;
constexpr int kDropDownArrow = 26;  // the arrow box and the frame
constexpr int kIndicatorAndGap = 22;
constexpr int kTextBoxFrame =
    4;  // a text box's or drop-down's frame, in height

// The room a caption takes in its control and the room it has. Fixed parts
// (margins, pictures) are on the "available" side.
struct Room {
  int text_width = 0, width = 0;
  int text_height = 0, height = 0;
  bool Fits() const { return text_width <= width && text_height <= height; }
};

int WidestItem(const QComboBox& combo, const QFontMetrics& metrics) {
  int widest = 0;
  for (int i = 0; i < combo.count(); ++i) {
    widest = std::max(widest, metrics.horizontalAdvance(combo.itemText(i)));
  }
  return widest;
}

// The room of a widget's caption under `font`; nullopt for widgets without
// one, and for the parts inside a control.
std::optional<Room> RoomOf(const QWidget& widget, const QFont& font) {
  const QFontMetrics metrics(font);
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
    // The caption stands above the frame's first row.
    int first_row = height;
    for (const QWidget* inside :
         frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      first_row = std::min(first_row, inside->y());
    }
    return Room{metrics.horizontalAdvance(frame->title()),
                width - kFrameTitleMargin, line, first_row};
  }
  // A drive list's pop-up widens to its longest name.
  if (qobject_cast<const DriveListBox*>(&widget) != nullptr) {
    return std::nullopt;
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
    return Room{WidestItem(*combo, metrics), width - kDropDownArrow, line,
                height - kTextBoxFrame};
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
    // A drop-down's own text box is measured with the drop-down.
    if (qobject_cast<const QComboBox*>(edit->parentWidget()) != nullptr) {
      return std::nullopt;
    }
    return Room{0, width, line, height - kTextBoxFrame};
  }
  if (const auto* label = qobject_cast<const Label*>(&widget)) {
    // A caption beside a control stays on one line; a tall label wraps; a
    // label that cuts its caption in the middle needs only its height.
    if (height >= 2 * line) return std::nullopt;
    const int text_width =
        label->wordWrap() ? metrics.horizontalAdvance(label->text()) : 0;
    return Room{text_width, width, line, height};
  }
  return std::nullopt;
}

// The controls whose captions the user sees: not the hidden ones. A frame
// comes before the controls inside it.
std::vector<QWidget*> SeenControls(const QWidget& window) {
  std::vector<QWidget*> seen;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->isVisibleTo(&window)) seen.push_back(widget);
  }
  return seen;
}

QFont Sized(const QFont& base, int pixels, int stretch) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setStretch(stretch);
  return font;
}

// The largest font of the base's family, not below `smallest_pixels`, at
// which the control's caption fits; the base font when it fits already,
// the smallest when none does.
QFont FittingFont(const QWidget& widget, const QFont& base,
                  int smallest_pixels) {
  if (RoomOf(widget, base)->Fits()) return base;
  const int largest = QFontInfo(base).pixelSize();
  for (int pixels = largest; pixels >= smallest_pixels; --pixels) {
    for (int stretch : {QFont::Unstretched, QFont::SemiCondensed}) {
      const QFont candidate = Sized(base, pixels, stretch);
      if (RoomOf(widget, candidate)->Fits()) return candidate;
    }
  }
  return Sized(base, smallest_pixels, QFont::SemiCondensed);
}

int Stretch(const QFont& font) {
  return font.stretch() == QFont::AnyStretch ? int(QFont::Unstretched)
                                             : font.stretch();
}

// True when `a` is smaller than `b`, or as large and narrower.
bool Tighter(const QFont& a, const QFont& b) {
  const int a_pixels = QFontInfo(a).pixelSize();
  const int b_pixels = QFontInfo(b).pixelSize();
  if (a_pixels != b_pixels) return a_pixels < b_pixels;
  return Stretch(a) < Stretch(b);
}

}  // namespace

QString CutCaptions(const QWidget& window) {
  QString cut;
  for (const QWidget* widget : SeenControls(window)) {
    std::optional<Room> room = RoomOf(*widget, widget->font());
    if (room && !room->Fits()) {
      cut += widget->objectName() + ": " + widget->accessibleName() + "\n";
    }
  }
  return cut;
}

void FitCaptions(QWidget& window, int smallest_pixels,
                 const std::vector<std::vector<QWidget*>>& groups) {
  const QFont users = window.font();
  // Frames before the controls inside them. Controls without a caption to
  // fit (lists, a tall label) keep the user's font, also inside a frame
  // whose caption shrinks; the parts inside a control follow the control.
  std::vector<std::pair<QWidget*, QFont>> fitted;
  for (QWidget* widget : SeenControls(window)) {
    const QWidget* parent = widget->parentWidget();
    const bool control =
        parent == &window || qobject_cast<const QGroupBox*>(parent) != nullptr;
    if (RoomOf(*widget, users)) {
      fitted.emplace_back(widget, FittingFont(*widget, users, smallest_pixels));
    } else if (control) {
      fitted.emplace_back(widget, users);
    }
  }
  auto font_of = [&fitted](QWidget* widget) -> QFont* {
    for (auto& [control, font] : fitted) {
      if (control == widget) return &font;
    }
    return nullptr;
  };
  for (const std::vector<QWidget*>& group : groups) {
    QFont tightest = users;
    for (QWidget* member : group) {
      const QFont* font = font_of(member);
      if (font != nullptr && Tighter(*font, tightest)) tightest = *font;
    }
    for (QWidget* member : group) {
      if (QFont* font = font_of(member)) *font = tightest;
    }
  }
  // Each control is set against the window's font, not its frame's: a
  // frame whose caption had to shrink does not shrink what is inside it.
  for (auto& [widget, font] : fitted) {
    if (font == widget->font()) continue;
    font.setResolveMask(QFont::AllPropertiesResolved);
    widget->setFont(font);
  }
}

}  // namespace ui

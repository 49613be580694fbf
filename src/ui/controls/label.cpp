#include "ui/controls/label.h"

#include <QApplication>
#include <QPalette>

#include "ui/controls/text.h"

namespace ui {
namespace {

// The classic system colour indexes this program meets, as palette roles.
QPalette::ColorRole SystemColorRole(uint32_t index) {
  switch (index) {
    case 5:
      return QPalette::Base;  // window background
    case 8:
      return QPalette::Text;  // window text
    case 13:
      return QPalette::Highlight;
    case 14:
      return QPalette::HighlightedText;
    case 15:
      return QPalette::Button;  // button face
    case 18:
      return QPalette::ButtonText;
    default:
      return QPalette::WindowText;
  }
}

// Line breaks as a classic label shows them: CR LF, LF CR, LF or CR alone
// each break the line once.
QString DisplayText(const QString& caption) {
  QString shown;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    const QChar c = caption[i];
    if (c == u'\n' || c == u'\r') {
      shown += u'\n';
      const bool pair = i + 1 < caption.size() && caption[i + 1] != c &&
                        (caption[i + 1] == u'\n' || caption[i + 1] == u'\r');
      if (pair) ++i;
      continue;
    }
    shown += c;
  }
  return shown;
}

}  // namespace

QColor ToQColor(uint32_t classic_color) {
  if (classic_color & 0x80000000u) {
    return QApplication::palette().color(
        QPalette::Active, SystemColorRole(classic_color & 0xFFu));
  }
  return QColor(classic_color & 0xFF, (classic_color >> 8) & 0xFF,
                (classic_color >> 16) & 0xFF);
}

Label::Label(std::string_view caption, QWidget* parent) : QLabel(parent) {
  setWordWrap(true);
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetCaption(caption);
}

void Label::SetCaption(std::string_view caption) {
  caption_ = std::string(caption);
  setAccessibleName(ToQt(caption_));
  ShowCaption();
}

void Label::ElideInTheMiddle() {
  elide_middle_ = true;
  setWordWrap(false);
  ShowCaption();
}

void Label::ShowCaption() {
  const QString shown = DisplayText(ToQt(caption_));
  if (!elide_middle_) {
    setText(shown);
    return;
  }
  QString one_line = shown;
  one_line.replace(u'\n', u' ');
  setText(fontMetrics().elidedText(one_line, Qt::ElideMiddle, width()));
  setToolTip(text() == one_line ? QString() : one_line);
}

void Label::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  if (elide_middle_) ShowCaption();
}

void Label::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (elide_middle_ && event->type() == QEvent::FontChange) ShowCaption();
}

void Label::SetForeColor(uint32_t classic_color) {
  fore_color_ = classic_color;
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, ToQColor(classic_color));
  setPalette(colours);
}

void Label::SetBold(bool bold) {
  // Only the weight changes: a family or size the label was given stays,
  // and what it inherits stays inherited.
  QFont weighted = font();
  weighted.setBold(bold);
  setFont(weighted);
}

}  // namespace ui

#include "ui/controls/frame.h"

#include <qdrawutil.h>

#include <QPainter>

namespace ui {
namespace {
constexpr int kCaptionLeft = 8;  // pixels from the frame's left edge
constexpr int kCaptionGap = 2;   // blank pixels on each side of the caption
}  // namespace

Frame::Frame(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {}

int Frame::LineTop() const { return fontMetrics().height() / 2; }

void Frame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int caption_width = metrics.horizontalAdvance(title());

  // The frame's line: an etched rectangle, as a classic frame draws it.
  // (A style's group-box frame would start below the caption again.)
  qDrawShadeRect(&painter, QRect(0, LineTop(), width(), height() - LineTop()),
                 palette(), /*sunken=*/true, /*lineWidth=*/1);

  // The caption over the line, on the window's background.
  const QRect caption(kCaptionLeft, 0, caption_width + 2 * kCaptionGap,
                      metrics.height());
  painter.fillRect(caption, palette().color(backgroundRole()));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(caption.adjusted(kCaptionGap, 0, -kCaptionGap, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   title());
}

}  // namespace ui

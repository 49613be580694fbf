#include "ui/controls/check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace ui {
namespace {
constexpr int kGap = 4;  // pixels between the indicator and the caption
}  // namespace

CheckBox::CheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {}

void CheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const int indicator_width =
      style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
  const int indicator_height =
      style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);

  QStyleOptionButton indicator = option;
  indicator.rect = QRect(0, (height() - indicator_height) / 2, indicator_width,
                         indicator_height);
  painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);

  const QRect caption_box(indicator_width + kGap, 0,
                          width() - indicator_width - kGap, height());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(caption_box,
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.boundingRect(
        caption_box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
        text());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool CheckBox::hitButton(const QPoint& position) const {
  return rect().contains(position);
}

}  // namespace ui

#include "ui/controls/progress_bar.h"

#include <QAccessible>
#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>
#include <cmath>

#include "ui/controls/accessible.h"

namespace ui {
namespace {
constexpr int kStepsPerUnit = 100;
}  // namespace

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
  InstallAccessibleInterfaces();
  setOrientation(Qt::Horizontal);
  setRange(0, 100);
  setValue(0);
  setTextVisible(false);
}

void ProgressBar::SetValue(float value) {
  if (value == value_) return;
  value_ = value;
  update();
  if (QAccessible::isActive()) {
    QAccessibleValueChangeEvent changed(this, value_);
    QAccessible::updateAccessibility(&changed);
  }
}

void ProgressBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionProgressBar option;
  initStyleOption(&option);
  option.minimum = 0;
  option.maximum = 100 * kStepsPerUnit;
  const float drawn = std::clamp(value_, 0.0f, 100.0f);
  option.progress = static_cast<int>(std::lround(drawn * kStepsPerUnit));
  painter.drawControl(QStyle::CE_ProgressBar, option);
}

}  // namespace ui

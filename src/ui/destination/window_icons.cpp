#include "ui/destination/window_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui {
namespace {

constexpr int kSize = 32;

// A yellow folder with a tab, filling most of the icon.
void DrawFolder(QPainter& painter) {
  QPainterPath folder;
  folder.moveTo(2, 8);
  folder.lineTo(12, 8);
  folder.lineTo(15, 11);
  folder.lineTo(29, 11);
  folder.lineTo(29, 27);
  folder.lineTo(2, 27);
  folder.closeSubpath();
  painter.setPen(QPen(QColor(140, 100, 10), 1.5));
  painter.setBrush(QColor(240, 200, 70));
  painter.drawPath(folder);
}

QIcon DrawIcon(void (*draw_mark)(QPainter&)) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawFolder(painter);
  draw_mark(painter);
  painter.end();
  return QIcon(pixmap);
}

void DrawArrow(QPainter& painter) {
  painter.setPen(QPen(QColor(20, 90, 180), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(9, 19, 21, 19);
  painter.drawLine(17, 15, 21, 19);
  painter.drawLine(17, 23, 21, 19);
}

void DrawPlus(QPainter& painter) {
  painter.setPen(QPen(QColor(30, 140, 40), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(15, 14, 15, 24);
  painter.drawLine(10, 19, 20, 19);
}

}  // namespace

QIcon TargetFolderIcon() { return DrawIcon(&DrawArrow); }
QIcon NewFolderIcon() { return DrawIcon(&DrawPlus); }

}  // namespace ui

#include "ui/controls/drop_down.h"

#include <QWheelEvent>

#include "ui/controls/accessible.h"

namespace ui {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
  InstallAccessibleInterfaces();
  setFocusPolicy(Qt::StrongFocus);
}

void DropDown::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();  // left to the window
    return;
  }
  QComboBox::wheelEvent(event);
}

}  // namespace ui

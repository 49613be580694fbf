#include "ui/controls/accessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

#include "ui/controls/drop_down.h"
#include "ui/controls/progress_bar.h"

namespace ui {
namespace {

const QString kShowMenu = QAccessibleActionInterface::showMenuAction();

// A drop-down: named by its accessible name, its text as its value, its
// pop-up list as its one child, opened by the "show menu" action.
class DropDownAccessible : public QAccessibleWidget {
 public:
  explicit DropDownAccessible(DropDown* drop_down)
      : QAccessibleWidget(drop_down, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return dropDown()->currentText();
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    if (index != 0) return nullptr;
    return QAccessible::queryAccessibleInterface(dropDown()->view());
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == dropDown()->view() ? 0 : -1;
  }
  QStringList actionNames() const override {
    return QStringList{kShowMenu} << QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == kShowMenu) {
      dropDown()->showPopup();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  DropDown* dropDown() const { return static_cast<DropDown*>(widget()); }
};

// A progress bar that reports the value it draws, which QProgressBar's own
// value does not hold.
class ProgressBarAccessible : public QAccessibleWidget,
                              public QAccessibleValueInterface {
 public:
  explicit ProgressBarAccessible(ProgressBar* bar)
      : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) {
      return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(bar()->Value());
    return QAccessibleWidget::text(t);
  }
  QVariant currentValue() const override { return bar()->Value(); }
  void setCurrentValue(const QVariant&) override {}  // the run sets it
  QVariant maximumValue() const override { return bar()->maximum(); }
  QVariant minimumValue() const override { return bar()->minimum(); }
  QVariant minimumStepSize() const override { return 0; }

 private:
  ProgressBar* bar() const { return static_cast<ProgressBar*>(widget()); }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* drop_down = qobject_cast<DropDown*>(object)) {
    return new DropDownAccessible(drop_down);
  }
  if (auto* bar = qobject_cast<ProgressBar*>(object)) {
    return new ProgressBarAccessible(bar);
  }
  // Qt calls a top-level window made straight from QWidget a client area,
  // which assistive technology hears as a "filler"; it is a frame.
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget != nullptr && widget->isWindow() &&
      object->metaObject()->superClass() == &QWidget::staticMetaObject) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace ui

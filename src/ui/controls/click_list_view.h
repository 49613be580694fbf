#ifndef PELLOQUIN_UI_CONTROLS_CLICK_LIST_VIEW_H_
#define PELLOQUIN_UI_CONTROLS_CLICK_LIST_VIEW_H_

#include <QListView>

namespace ui {

// A single-selection list view that raises Click the way a classic list box
// does: on every mouse click on an item, also on the item already selected,
// and whenever a key moves the selection; never twice for one action.
class ClickListView : public QListView {
  Q_OBJECT

 public:
  explicit ClickListView(QWidget* parent = nullptr);

  // The selected row, or -1.
  int ListIndex() const;
  // Selects the row (-1 clears the selection) without raising Click, as
  // the program's own code does.
  void SetListIndex(int row);
  // Selects the row and raises Click, as a mouse click on it does.
  void ClickItem(int row);

 signals:
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The second press of a double click: its release is no new click.
  bool in_double_click_ = false;
  // The selected row before the latest press, or -1.
  int selected_before_press_ = -1;
};

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_CLICK_LIST_VIEW_H_

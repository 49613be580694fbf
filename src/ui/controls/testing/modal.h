#ifndef PELLOQUIN_UI_CONTROLS_TESTING_MODAL_H_
#define PELLOQUIN_UI_CONTROLS_TESTING_MODAL_H_

#include <QWidget>
#include <functional>

namespace ui::testing {

// Runs `act` on the modal widget once it is open: from a queued call that
// finds QApplication::activeModalWidget(), retried until the widget is up
// (at most a few seconds). Call before the code that opens the dialog.
void WhenModalOpens(std::function<void(QWidget* modal)> act);

// The top-level widgets that are still visible or not yet deleted, other
// than those the test harness keeps.
int CountTopLevelWidgets();

}  // namespace ui::testing

#endif  // PELLOQUIN_UI_CONTROLS_TESTING_MODAL_H_

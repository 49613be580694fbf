#ifndef PELLOQUIN_UI_CONTROLS_ACCESSIBLE_H_
#define PELLOQUIN_UI_CONTROLS_ACCESSIBLE_H_

namespace ui {

// Installs, once, what assistive technology reads of the program's own
// controls where Qt's defaults mislead: a drop-down is named by its
// accessible name (not by its current text) and gives its text as its
// value; a progress bar reports the value it draws; a top-level window that
// is no dialog is a frame. Every such control calls it when it is made.
void InstallAccessibleInterfaces();

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_ACCESSIBLE_H_

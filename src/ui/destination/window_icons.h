#ifndef PELLOQUIN_UI_DESTINATION_WINDOW_ICONS_H_
#define PELLOQUIN_UI_DESTINATION_WINDOW_ICONS_H_

#include <QIcon>

namespace ui {

// The 32 x 32 window icons of the destination dialogs, drawn in code: a
// folder with an arrow into it (target folder), a folder with a plus (new
// folder).
QIcon TargetFolderIcon();
QIcon NewFolderIcon();

}  // namespace ui

#endif  // PELLOQUIN_UI_DESTINATION_WINDOW_ICONS_H_

#ifndef PELLOQUIN_UI_MAIN_CAPTION_FIT_H_
#define PELLOQUIN_UI_MAIN_CAPTION_FIT_H_

#include <QString>
#include <QWidget>
#include <vector>

namespace ui {

// The captions of `window`'s labels, buttons, check boxes, frames, text
// boxes and drop-downs that would be cut off in their fixed boxes under
// the font each control has, one per line; empty when all fit. A label
// tall enough for two lines may wrap; a drive list is left out (its
// pop-up widens to its longest drive name).
QString CutCaptions(const QWidget& window);

// Makes every caption of `window` fit its fixed box: a control whose
// caption would be cut off under the window's font (the user's) gets a
// font of its own, of the same family, at the largest size, not below
// `smallest_pixels`, at which it fits, preferring the normal width to a
// narrower one at the same size. The controls of one group (a row of
// buttons, the captions of a column) share the font the tightest of them
// needs, so they look alike. Every other control keeps the window's font.
// Call it once the controls have their captions and items.
void FitCaptions(QWidget& window, int smallest_pixels,
                 const std::vector<std::vector<QWidget*>>& groups = {});

}  // namespace ui

#endif  // PELLOQUIN_UI_MAIN_CAPTION_FIT_H_

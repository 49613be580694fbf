#ifndef PELLOQUIN_UI_MAIN_CAPTION_FIT_H_
#define PELLOQUIN_UI_MAIN_CAPTION_FIT_H_

#include <QFont>
#include <QString>
#include <QWidget>

namespace ui {

// The captions of `window`'s labels, buttons, check boxes, frames and
// drop-downs that would be cut off in their fixed boxes under `font`, one
// per line; empty when all fit. A label tall enough for two lines may wrap.
QString CutCaptions(const QWidget& window, const QFont& font);

// A font of the base font's family, at most its size and not smaller than
// `smallest_pixels`, at which every caption of the window fits: of the
// family's normal and narrower widths, the one that allows the largest size
// by estimate, at the largest size that fits. The base font at the smallest
// size when none fits.
QFont FittingFont(const QWidget& window, const QFont& base,
                  int smallest_pixels);

}  // namespace ui

#endif  // PELLOQUIN_UI_MAIN_CAPTION_FIT_H_

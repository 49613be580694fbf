#ifndef PELLOQUIN_UI_CONTROLS_TWIPS_H_
#define PELLOQUIN_UI_CONTROLS_TWIPS_H_

#include <QRect>
#include <QWidget>

namespace ui {

// Twips per logical pixel; Qt scales logical pixels on high-density screens.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }

// A rectangle given as Left, Top, Width, Height in twips.
inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

// Places the widget at a fixed geometry given in twips.
inline void PlaceInTwips(QWidget* widget, int left, int top, int width,
                         int height) {
  widget->setGeometry(TwipsRect(left, top, width, height));
}

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_TWIPS_H_

#ifndef PELLOQUIN_UI_CONTROLS_TEXT_H_
#define PELLOQUIN_UI_CONTROLS_TEXT_H_

#include <QString>
#include <string>
#include <string_view>

namespace ui {

// The one conversion between the platform's UTF-8 text and Qt's strings.
inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace ui

#endif  // PELLOQUIN_UI_CONTROLS_TEXT_H_

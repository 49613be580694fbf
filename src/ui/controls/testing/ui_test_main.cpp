// The window tests' main: a QApplication on the offscreen platform (set here,
// so the tests need no display) with DejaVu Sans at 9 pt, then every
// GoogleTest test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The tests measure captions against their boxes: they draw with one
  // font, whatever the machine's default sans serif (fontconfig may pick
  // Noto Sans, whose lines are taller).
  QApplication::setFont(QFont("DejaVu Sans", 9));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

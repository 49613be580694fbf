// Pelloquin: creates the main window over the host's file system, centres
// it on the screen, shows it and runs until it closes.
#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <memory>

#include "platform/file_system.h"
#include "ui/controls/qt_message_box.h"
#include "ui/main/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::unique_ptr<platform::FileSystem> file_system =
      platform::DefaultFileSystem();
  ui::QtMessageBox message_box;
  ui::Form1 form(*file_system, message_box);
  message_box.set_owner(&form);
  form.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                       form.size(),
                                       form.screen()->availableGeometry()));
  form.show();
  return app.exec();
}

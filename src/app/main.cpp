// Pelloquin: creates the main window over the host's file system, centres
// it on the screen, shows it and runs until it closes.
#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "ui/controls/qt_message_box.h"
#include "ui/main/form1.h"

namespace {

// What Qt says while it connects to the display, held back until it is known
// whether the connection succeeds.
QtMessageHandler g_qt_handler = nullptr;
std::vector<std::pair<QtMsgType, QString>> g_held_messages;

// Passes the held messages on to Qt's own handler and hands it back.
void ReleaseHeldMessages() {
  qInstallMessageHandler(g_qt_handler);
  for (const auto& [type, message] : g_held_messages) {
    g_qt_handler(type, QMessageLogContext(), message);
  }
  g_held_messages.clear();
}

// True when what Qt said before giving up was that it found no display.
bool DisplayWasMissing() {
  for (const auto& held : g_held_messages) {
    if (held.second.contains("display", Qt::CaseInsensitive)) return true;
  }
  return false;
}

// Qt ends the program with an abort and a hint to reinstall it when it can
// reach no display; say in one line what is missing instead. Any other
// failure (a platform without a display server, such as Windows) keeps
// Qt's own words.
void HoldOrExplain(QtMsgType type, const QMessageLogContext& context,
                   const QString& message) {
  if (type != QtFatalMsg) {
    g_held_messages.emplace_back(type, message);
    return;
  }
  if (!DisplayWasMissing()) {
    ReleaseHeldMessages();
    g_qt_handler(type, context, message);
    return;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display == nullptr || *display == '\0') &&
      (wayland == nullptr || *wayland == '\0')) {
    std::fputs(
        "pelloquin: needs a graphical desktop session (DISPLAY and "
        "WAYLAND_DISPLAY are not set)\n",
        stderr);
  } else {
    std::fprintf(stderr,
                 "pelloquin: needs a graphical desktop session (could not "
                 "open the display %s)\n",
                 display != nullptr && *display != '\0' ? display : wayland);
  }
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  g_qt_handler = qInstallMessageHandler(&HoldOrExplain);
  QApplication app(argc, argv);
  ReleaseHeldMessages();
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

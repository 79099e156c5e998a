#include "platform/qt/tray_backend.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "platform/qt/product_icon.h"
#include "platform/qt/qt_main_loop.h"
#include "platform/qt/tray_probe.h"
#include "platform/qt/tray_ui.h"

namespace hovra::platform::qt {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Qt ends the process when its platform cannot start, so the display is checked first.
bool DisplayUsable(std::string& error) {
  if (!Env("QT_QPA_PLATFORM").empty() || !Env("WAYLAND_DISPLAY").empty()) return true;
  std::string display = Env("DISPLAY");
  if (display.empty()) {
    error = "the tray needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return false;
  }
  if (!X11DisplayReachable(display)) {
    error = "the tray cannot reach the X display " + display;
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<TrayBackend> TrayBackend::Open(std::string& error) {
  if (!DisplayUsable(error)) return nullptr;
  // QApplication keeps references to these for its whole life.
  static int argc = 1;
  static char name[] = "hovra-server";
  static char* argv[] = {name, nullptr};

  std::unique_ptr<TrayBackend> tray(new TrayBackend);
  // Qt adopts the user's locale for the C library; the program's number formatting (the
  // journal, the protocol) must stay the C locale's.
  std::string locale = std::setlocale(LC_ALL, nullptr);
  tray->app_ = std::make_unique<QApplication>(argc, argv);
  std::setlocale(LC_ALL, locale.c_str());
  QApplication::setApplicationName("hovra-server");
  QApplication::setApplicationDisplayName("Hovra Server");
  QApplication::setDesktopFileName("hovra-server");
  QApplication::setQuitOnLastWindowClosed(false);  // closing a window never ends the server
  QApplication::setWindowIcon(ProductIcon());
  tray->loop_ = std::make_unique<QtMainLoop>();
  tray->ui_ = std::make_unique<TrayUi>();
  return tray;
}

TrayBackend::~TrayBackend() {
  ui_.reset();
  loop_.reset();
  app_.reset();
}

MainLoop& TrayBackend::Loop() { return *loop_; }
UserInterface& TrayBackend::Ui() { return *ui_; }
void TrayBackend::SetDesktopNotices(DesktopNotices notices) {
  ui_->SetDesktopNotices(std::move(notices));
}
void TrayBackend::SetNoticeRecord(NoticeRecord record) { ui_->SetNoticeRecord(std::move(record)); }

}  // namespace hovra::platform::qt
